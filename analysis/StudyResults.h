#pragma once
// The named result series every study carries (trends, per-stage values,
// maxima, pacemaker pulses, resting measurements), created empty with defaults,
// and the optional series of the global resting measurement once written.
// Series are named by ResultName only.

#include "analysis/ResultNames.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

class StudyResults {
public:
    static constexpr int kLeadSlots = ResultName::kLeadSlots;

    using Kind = ResultKind;

    // One series: a trend holds (times[i], values[i]) points; a per-stage
    // series one value per executed stage; a scalar exactly one value; a
    // list the values alone.
    struct Series {
        QString name;
        Kind kind = Kind::Scalar;
        std::vector<double> times;
        std::vector<double> values;
    };

    // Every series of a study, in this fixed order (the study document writes
    // them so):
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
    // Scalars other than those two start at 0. The optional series (see
    // ResultNames.h) follow, in their own order, once written.
    StudyResults();

    // Back to the state of a new study.
    void clear();

    static ResultName stLevelTrend(int lead) { return {LeadResult::StLevelTrend, lead}; }
    static ResultName stSlopeTrend(int lead) { return {LeadResult::StSlopeTrend, lead}; }
    static ResultName stLevelPerStage(int lead) { return {LeadResult::StLevelPerStage, lead}; }
    static ResultName stSlopePerStage(int lead) { return {LeadResult::StSlopePerStage, lead}; }

    int size() const { return static_cast<int>(series_.size()); }
    const Series &at(int index) const { return series_[static_cast<std::size_t>(index)]; }
    QStringList names() const;
    bool contains(const ResultName &name) const { return index_.contains(name.slot()); }
    // Null when the series does not exist (yet).
    const Series *find(const ResultName &name) const;

    // Writing with a name of another kind is a programming error and throws
    // std::logic_error. Writing an optional series creates it.
    void appendPoint(const ResultName &trend, double time, double value);
    // Grows the series with zeros up to `stage` when needed; a negative stage
    // is ignored.
    void setPerStage(const ResultName &series, int stage, double value);
    void setScalar(const ResultName &name, double value);
    void appendToList(const ResultName &name, double value);

    // Values of a trend, per-stage series or list (empty when absent).
    const std::vector<double> &values(const ResultName &name) const;
    const std::vector<double> &times(const ResultName &trend) const;
    // A per-stage value, 0 beyond the series.
    double perStage(const ResultName &series, int stage) const;
    // A scalar's value; its starting value while an optional one is absent.
    double scalar(const ResultName &name) const;

private:
    void add(const ResultName &name);
    Series &writable(const ResultName &name, Kind kind);

    std::vector<Series> series_;
    QHash<int, int> index_;  // slot -> position in series_
};
