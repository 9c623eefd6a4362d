#pragma once
// The ST level of a stored stress test at a moment of review, measured as
// the live analysis measured it while recording: the stored beats replayed
// in order into the 20-second average beat over the review chain's signal,
// each beat's ST measured on that average and passed through the 3-value
// smoother, and the values of the stage running at that moment averaged from
// the stage's start. At a stage's end this is the stage value the study
// stored; in between it is the figure the operator saw in the stage table.
//
// A stage is replayed once per lead when first asked for, starting 20 s
// before it so the average and the smoother start full.

#include <map>
#include <optional>
#include <utility>
#include <vector>

class Protocol;
class SignalSource;
struct BeatRecord;

class ReviewStLevels {
public:
    // All must outlive this object: `signal` the review chain's output,
    // `beats` the study's beats in time order (seconds of recording),
    // `recorded` the study's recorded protocol; `unitMv` the value of one
    // sample unit.
    ReviewStLevels(const SignalSource &signal, const std::vector<BeatRecord> &beats, const Protocol &recorded,
                   double unitMv);

    // Absent outside the recorded stages or before any beat of the stage
    // could be measured on `lead`.
    std::optional<double> levelAt(int lead, double seconds);

private:
    struct StageLevels {
        std::vector<double> times;  // fiducial time of each measured beat of the stage
        std::vector<double> means;  // running stage mean after that beat
    };
    const StageLevels &replay(int lead, int stage);

    const SignalSource &signal_;
    const std::vector<BeatRecord> &beats_;
    const Protocol &recorded_;
    double unitMv_;
    std::map<std::pair<int, int>, StageLevels> cache_;
};
