#pragma once
// The named result series every study carries (trends, per-stage values,
// maxima, pacemaker pulses, resting measurements), created empty with defaults.

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

class StudyResults {
public:
    static constexpr int kLeadSlots = 16;

    enum class Kind { Trend, PerStage, Scalar, List };

    // One series: a trend holds (times[i], values[i]) points; a per-stage
    // series one value per executed stage; a scalar exactly one value; a
    // list the values alone.
    struct Series {
        QString name;
        Kind kind = Kind::Scalar;
        std::vector<double> times;
        std::vector<double> values;
    };

    // Every series, in this fixed order (the study document writes them so):
    //  1. trends "BPMTrend", "sysBPTrend", "diaBPTrend", "METSTrend", "DPTrend";
    //  2. "STLevelTrend(0)".."STLevelTrend(15)", then "STSlopeTrend(0)"..(15);
    //  3. per stage "BPMPerStage", "sysBPPerStage", "diaBPPerStage",
    //     "DPPerStage", "METSPerStage";
    //  4. "STLevelPerStage(0)"..(15), then "STSlopePerStage(0)"..(15);
    //  5. scalars "maxBPM", "maxSysBP", "maxDiaBP", "maxMETS", "maxDP", "maxVO2";
    //  6. the list "pacemakerPulses";
    //  7. resting scalars "measurementChannel" (-1), "POnset", "PPeak",
    //     "POffset", "QRSOnset", "QRSOffset", "TOnset", "TPeak", "TOffset",
    //     "PAmp", "QRSAmp", "TAmp", "avgRRInterval", "QRSAxis" (-999).
    // Scalars other than those two start at 0.
    StudyResults();

    // Back to the state of a new study.
    void clear();

    static QString stLevelTrend(int lead);
    static QString stSlopeTrend(int lead);
    static QString stLevelPerStage(int lead);
    static QString stSlopePerStage(int lead);

    int size() const { return static_cast<int>(series_.size()); }
    const Series &at(int index) const { return series_[static_cast<std::size_t>(index)]; }
    QStringList names() const;
    bool contains(const QString &name) const { return index_.contains(name); }
    // Null when there is no such series.
    const Series *find(const QString &name) const;

    // The writers below ignore names that do not exist or are of another
    // kind, so a caller's typo cannot create a series the document lacks.
    void appendPoint(const QString &trend, double time, double value);
    // Grows the series with zeros up to `stage` when needed.
    void setPerStage(const QString &series, int stage, double value);
    void setScalar(const QString &name, double value);
    void appendToList(const QString &name, double value);

    // Values of a trend, per-stage series or list (empty when unknown).
    const std::vector<double> &values(const QString &name) const;
    const std::vector<double> &times(const QString &trend) const;
    // A per-stage value, 0 beyond the series.
    double perStage(const QString &series, int stage) const;
    // A scalar's value, 0 when unknown.
    double scalar(const QString &name) const;

private:
    void add(const QString &name, Kind kind, double initial = 0.0);
    Series *writable(const QString &name, Kind kind);

    std::vector<Series> series_;
    QHash<QString, int> index_;
};
