#pragma once
// The results a stress test accumulates while it records: heart-rate, METS and
// ST trends per beat, per-stage values at every stage change, maxima at the end.

#include "StMeasurement.h"
#include "StageMets.h"

#include <array>
#include <cstdint>
#include <vector>

class AverageBeatBuilder;
class StudyResults;
struct BeatRecord;

class StageResults {
public:
    static constexpr int kLeads = 16;
    // A stage left sooner than this is merged into the one before it.
    static constexpr int kShortestStageSeconds = 5;

    struct Settings {
        double patientWeightKg = 0.0;
        double sampleUnitMv = 0.0;  // value of one sample unit of the averages
        int deviceRate = 0;         // samples/s of the device (pacemaker pulses)
    };
    // A stage the test went through: which protocol stage, for how long.
    struct ExecutedStage {
        int protocolStage = 0;
        int durationSeconds = 0;
    };
    // Display marker positions in samples of the lead's average (0 = none).
    struct Markers {
        int isoelectric = 0;
        int j = 0;
        int st = 0;
    };
    // A lead's latest smoothed ST values, as shown beside its average beat.
    struct StReading {
        bool valid = false;  // false until a beat was measured on this lead
        double level = 0.0;  // mV
        double slope = 0.0;  // mV/s
    };

    // `results` receives every value; `averages` (may be null: no ST) gives
    // the current average beats. Both must outlive this object.
    StageResults(StudyResults &results, AverageBeatBuilder *averages, const Settings &settings,
                 std::vector<StageLoad> stages);

    // Recording starts in protocol stage `firstStage` at `nowSeconds`; all
    // accumulators restart. `recordingStartSeconds` is the device time of
    // the recording's first sample.
    void start(int firstStage, double nowSeconds, double recordingStartSeconds = 0.0);

    // A valid beat, its times already relative to the recording start.
    void onBeat(const BeatRecord &beat);
    // A pacemaker pulse at device sample `sampleIndex`.
    void onPacemakerPulse(std::int64_t sampleIndex);
    // Pressures entered at `timeSeconds` (recording time) for this stage.
    void onBloodPressure(double systolic, double diastolic, double timeSeconds);
    // Keeps the current averages as the baseline later ST changes are shown
    // against; the run control does so when the operator leaves the first stage.
    void takeStReference();
    // Leaves the current stage for `nextStage` at `nowSeconds`.
    void closeStage(int nextStage, double nowSeconds);
    // Closes the last stage and derives the maxima.
    void finish(double nowSeconds);
    // The maxima from the per-stage series: the largest entry of each (0 when
    // none is above 0), "maxVO2" = "maxMETS" × 3.5. Also after a review edit.
    static void deriveMaxima(StudyResults &results);

    double mets(int stage) const;

    double heartRate() const { return heartRate_; }
    int currentStage() const { return currentStage_; }
    int beatsInStage() const { return beatsInStage_; }
    const std::vector<ExecutedStage> &executedStages() const { return executed_; }
    const Markers &markers(int lead) const { return markers_[static_cast<std::size_t>(lead)]; }
    const StReading &latestSt(int lead) const { return latest_[static_cast<std::size_t>(lead)]; }

private:
    void measureLead(int lead, const BeatRecord &beat, int rate);

    StudyResults &results_;
    AverageBeatBuilder *averages_;
    Settings settings_;
    std::vector<StageLoad> stages_;

    double recordingStart_ = 0.0;
    double heartRate_ = 0.0;
    double systolic_ = 0.0;
    double diastolic_ = 0.0;
    int beatsInStage_ = 0;
    int currentStage_ = 0;
    int stageStart_ = 0;
    std::array<double, kLeads> levelMean_{};
    std::array<double, kLeads> slopeMean_{};
    std::array<int, kLeads> measuredInStage_{};
    std::array<StSmoother, kLeads> levelSmoother_{};
    std::array<StSmoother, kLeads> slopeSmoother_{};
    std::array<Markers, kLeads> markers_{};
    std::array<StReading, kLeads> latest_{};
    std::vector<ExecutedStage> executed_;
};
