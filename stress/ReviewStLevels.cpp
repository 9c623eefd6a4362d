#include "stress/ReviewStLevels.h"

#include "analysis/AverageBeatBuilder.h"
#include "analysis/BeatRecord.h"
#include "analysis/StMeasurement.h"
#include "store/Protocol.h"

#include <algorithm>

namespace {
// The smoother holds the three values before the current one.
constexpr int kSmootherBeats = 3;
constexpr double kEndTolerance = 1e-3;
}  // namespace

ReviewStLevels::ReviewStLevels(const SignalSource &signal, const std::vector<BeatRecord> &beats,
                               const Protocol &recorded, double unitMv)
    : signal_(signal), beats_(beats), recorded_(recorded), unitMv_(unitMv) {}

std::optional<double> ReviewStLevels::levelAt(int lead, double seconds) {
    if (lead < 0 || recorded_.stageCount() == 0 || seconds < 0.0) return std::nullopt;
    // A stage owns its end, where the review shows it.
    int stage = recorded_.stageAt(std::max(0.0, seconds - kEndTolerance));
    if (stage < 0) stage = recorded_.stageCount() - 1;
    const StageLevels &levels = replay(lead, stage);
    const auto after = std::upper_bound(levels.times.begin(), levels.times.end(), seconds);
    if (after == levels.times.begin()) return std::nullopt;
    return levels.means[static_cast<std::size_t>(after - levels.times.begin() - 1)];
}

const ReviewStLevels::StageLevels &ReviewStLevels::replay(int lead, int stage) {
    const auto key = std::make_pair(lead, stage);
    const auto found = cache_.find(key);
    if (found != cache_.end()) return found->second;
    StageLevels &levels = cache_[key];
    const double start = recorded_.stageStart(stage);
    const double end = stage == recorded_.stageCount() - 1 ? 1e300 : recorded_.stageEnd(stage);
    const auto first = std::lower_bound(beats_.begin(), beats_.end(), start,
                                        [](const BeatRecord &b, double t) { return b.fiducialTime() < t; });
    // Warm up: the beats of the 20 s before the stage fill the average, the
    // last three of them the smoother.
    auto from = first;
    while (from != beats_.begin() && (from - 1)->fiducialTime() > start - AverageBeatBuilder::kWindowSeconds) --from;
    AverageBeatBuilder builder(&signal_);
    builder.setBuildLeadsOnDemand(true);  // one lead is measured here
    StSmoother smoother;
    double mean = 0.0;
    int measured = 0;
    for (auto it = from; it != beats_.end() && it->fiducialTime() < end; ++it) {
        if (!it->valid) continue;
        builder.addBeat(*it);
        const bool inStage = it->fiducialTime() >= start;
        if (!inStage && first - it > kSmootherBeats) continue;
        if (lead >= builder.leadCount() || builder.beatCount() == 0) continue;
        const StMeasurement st = measureSt(builder.average(lead), signal_.samplingRate(), it->rr(), unitMv_);
        if (!st.valid) continue;
        const double level = smoother.add(st.level);
        if (!inStage) continue;
        mean = (measured * mean + level) / (measured + 1);
        ++measured;
        levels.times.push_back(it->fiducialTime());
        levels.means.push_back(mean);
    }
    return levels;
}
