#pragma once
// A stress protocol: a named, ordered list of stages and the kind of
// equipment (or drug) its loads are meant for.

#include "store/Stage.h"

#include <QString>
#include <vector>

enum class ProtocolType : int { Treadmill = 0, Ergometer = 1, RestingEcg = 2, TiltTest = 3, Pharmacologic = 4 };

class Protocol {
public:
    QString name;
    ProtocolType type = ProtocolType::Treadmill;

    int stageCount() const { return static_cast<int>(stages_.size()); }
    const Stage &stage(int i) const { return stages_.at(static_cast<size_t>(i)); }
    Stage &stage(int i) { return stages_.at(static_cast<size_t>(i)); }

    // Makes room at `i` (clamped to 0..count). Inside the list the new stage
    // starts as a copy of the one it displaces, so an editor only changes what
    // differs; at the end it is a default stage. The reference is valid until
    // the next insert or remove.
    Stage &insertStage(int i);
    // Out-of-range indices are ignored.
    void removeStage(int i);
    void appendStage(const Stage &stage) { stages_.push_back(stage); }
    void appendTreadmillStage(StagePhase phase, double duration, double speedKmh, double inclinePercent);
    void appendErgometerStage(StagePhase phase, double duration, double workloadWatts);

    // Index of the stage running `t` seconds into the test; -1 before the
    // start and from the end of the last stage on.
    int stageAt(double t) const;
    // Elapsed time at which stage `n` starts / ends; 0 for an invalid index.
    double stageStart(int n) const;
    double stageEnd(int n) const;
    double totalDuration() const;
    int phaseCount(StagePhase phase) const;

private:
    std::vector<Stage> stages_;
};
