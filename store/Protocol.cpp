#include "store/Protocol.h"

#include <algorithm>

Stage &Protocol::insertStage(int i) {
    const int count = stageCount();
    i = std::clamp(i, 0, count);
    if (i == count) {
        stages_.emplace_back();
        return stages_.back();
    }
    // Copy first: inserting may reallocate and invalidate a reference.
    const Stage displaced = stages_[static_cast<size_t>(i)];
    return *stages_.insert(stages_.begin() + i, displaced);
}

void Protocol::removeStage(int i) {
    if (i < 0 || i >= stageCount()) return;
    stages_.erase(stages_.begin() + i);
}

void Protocol::appendTreadmillStage(StagePhase phase, double duration, double speedKmh, double inclinePercent) {
    Stage s;
    s.phase = phase;
    s.duration = duration;
    s.setParameter(QStringLiteral("speed"), speedKmh, QStringLiteral("km/h"));
    s.setParameter(QStringLiteral("incline"), inclinePercent, QStringLiteral("%"));
    stages_.push_back(s);
}

void Protocol::appendErgometerStage(StagePhase phase, double duration, double workloadWatts) {
    Stage s;
    s.phase = phase;
    s.duration = duration;
    s.setParameter(QStringLiteral("workload"), workloadWatts, QStringLiteral("watts"));
    stages_.push_back(s);
}

int Protocol::stageAt(double t) const {
    if (t < 0.0) return -1;
    double end = 0.0;
    for (int i = 0; i < stageCount(); ++i) {
        end += stages_[static_cast<size_t>(i)].duration;
        if (t < end) return i;
    }
    return -1;
}

double Protocol::stageStart(int n) const {
    if (n < 0 || n >= stageCount()) return 0.0;
    double start = 0.0;
    for (int i = 0; i < n; ++i) start += stages_[static_cast<size_t>(i)].duration;
    return start;
}

double Protocol::stageEnd(int n) const {
    if (n < 0 || n >= stageCount()) return 0.0;
    return stageStart(n) + stages_[static_cast<size_t>(n)].duration;
}

double Protocol::totalDuration() const {
    double total = 0.0;
    for (const Stage &s : stages_) total += s.duration;
    return total;
}

int Protocol::phaseCount(StagePhase phase) const {
    return static_cast<int>(
        std::count_if(stages_.begin(), stages_.end(), [phase](const Stage &s) { return s.phase == phase; }));
}
