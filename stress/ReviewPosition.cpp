#include "stress/ReviewPosition.h"

#include "analysis/ResultNames.h"
#include "store/Protocol.h"
#include "store/Study.h"

#include <algorithm>

namespace {
constexpr double kEndTolerance = 1e-3;
}  // namespace

ReviewPosition ReviewPosition::at(const Study &study, double seconds) {
    ReviewPosition p;
    p.time = seconds;
    const std::vector<double> &times = study.results().times(Result::BpmTrend);
    const std::vector<double> &values = study.results().values(Result::BpmTrend);
    const auto after = std::upper_bound(times.begin(), times.end(), seconds);
    if (after != times.begin()) {
        const auto index = static_cast<std::size_t>(after - times.begin() - 1);
        if (index < values.size()) p.heartRate = static_cast<int>(values[index]);
    }
    const Protocol *recorded = study.protocol();
    if (!recorded || recorded->stageCount() == 0 || seconds < 0.0) return p;
    // A stage owns its end: the review shows a stage by ending the page there.
    int stage = recorded->stageAt(std::max(0.0, seconds - kEndTolerance));
    if (stage < 0) stage = recorded->stageCount() - 1;
    p.stage = stage;
    p.stageElapsed = seconds - recorded->stageStart(stage);
    p.stageDuration = recorded->stage(stage).duration;
    p.phase = static_cast<int>(recorded->stage(stage).phase);
    for (int i = 0; i <= stage; ++i)
        if (recorded->stage(i).phase == recorded->stage(stage).phase) ++p.numberInPhase;
    return p;
}

double ReviewPosition::stageEnd(const Study &study, int stage) {
    const Protocol *recorded = study.protocol();
    if (!recorded || stage < 0 || stage >= recorded->stageCount()) return 0.0;
    return recorded->stageEnd(stage);
}
