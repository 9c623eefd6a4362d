#pragma once
// The names of every result series a study keeps, defined once: each series
// is an enumerator with its document name, kind and starting value beside it
// in one table (ResultNames.cpp), so a misspelt name cannot compile and every
// writer and reader spells it the same way.
//
//   results.appendPoint(Result::BpmTrend, time, bpm);
//   results.perStage(ResultName(LeadResult::StLevelPerStage, lead), stage);

#include <QString>
#include <optional>
#include <vector>

enum class ResultKind { Trend, PerStage, Scalar, List };

// Series of the study as a whole. Document names in the comments.
enum class Result {
    BpmTrend,         // "BPMTrend"
    SysBpTrend,       // "sysBPTrend"
    DiaBpTrend,       // "diaBPTrend"
    MetsTrend,        // "METSTrend"
    DpTrend,          // "DPTrend"
    BpmPerStage,      // "BPMPerStage"
    SysBpPerStage,    // "sysBPPerStage"
    DiaBpPerStage,    // "diaBPPerStage"
    DpPerStage,       // "DPPerStage"
    MetsPerStage,     // "METSPerStage"
    MaxBpm,           // "maxBPM"
    MaxSysBp,         // "maxSysBP"
    MaxDiaBp,         // "maxDiaBP"
    MaxMets,          // "maxMETS"
    MaxDp,            // "maxDP"
    MaxVo2,           // "maxVO2"
    PacemakerPulses,  // "pacemakerPulses"
    // The resting measurement of the measurement lead (times in seconds
    // relative to R, 0 when not found).
    MeasurementChannel,  // "measurementChannel", starts at -1
    POnset,              // "POnset"
    PPeak,               // "PPeak"
    POffset,             // "POffset"
    QrsOnset,            // "QRSOnset"
    QrsOffset,           // "QRSOffset"
    TOnset,              // "TOnset"
    TPeak,               // "TPeak"
    TOffset,             // "TOffset"
    PAmp,                // "PAmp"
    QrsAmp,              // "QRSAmp"
    TAmp,                // "TAmp"
    AvgRrInterval,       // "avgRRInterval"
    QrsAxis,             // "QRSAxis", starts at -999
    // The global 12-lead measurement of a resting ECG. These series exist in
    // a study only once written (a stress test's document keeps exactly its
    // members); readers that do not know them ignore them. Times are seconds
    // relative to the average beat's R, intervals seconds (0: not measured),
    // the rate beats per minute (0: none), axes degrees (-999: none).
    GlobalPOnset,         // "globalPOnset"
    GlobalPOffset,        // "globalPOffset"
    GlobalQrsOnset,       // "globalQRSOnset"
    GlobalQrsOffset,      // "globalQRSOffset"
    GlobalTOffset,        // "globalTOffset"
    GlobalPr,             // "globalPRInterval"
    GlobalPDuration,      // "globalPDuration"
    GlobalQrsDuration,    // "globalQRSDuration"
    GlobalQt,             // "globalQTInterval"
    GlobalQtcBazett,      // "globalQTcBazett"
    GlobalQtcFridericia,  // "globalQTcFridericia"
    GlobalHeartRate,      // "globalHeartRate"
    GlobalPAxis,          // "globalPAxis", starts at -999
    GlobalQrsAxis,        // "globalQRSAxis", starts at -999
    GlobalTAxis,          // "globalTAxis", starts at -999
};

// Series kept per lead, "STLevelTrend(0)" .. "STLevelTrend(15)" and so on.
enum class LeadResult { StLevelTrend, StSlopeTrend, StLevelPerStage, StSlopePerStage };

class ResultName {
public:
    static constexpr int kLeadSlots = 16;

    ResultName(Result result);  // NOLINT: implicit, so a Result reads as a name
    // Throws std::out_of_range for a lead outside 0..15.
    ResultName(LeadResult series, int lead);

    // The name in the study document.
    QString text() const;
    ResultKind kind() const;
    // The value a scalar starts with.
    double initial() const;
    // Whether the series exists only once written.
    bool optional() const;
    // Position in the fixed order of the study document.
    int slot() const { return slot_; }

    bool operator==(const ResultName &other) const { return slot_ == other.slot_; }
    bool operator!=(const ResultName &other) const { return slot_ != other.slot_; }

    // The series a document name stands for; none for a name no series has.
    static std::optional<ResultName> find(const QString &text);

    // Every name in document order: the series of every study first, then
    // the optional ones.
    static const std::vector<ResultName> &all();

private:
    explicit ResultName(int slot) : slot_(slot) {}
    int slot_;
};
