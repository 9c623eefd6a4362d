#pragma once
// The live engine's average beats, reference averages and ST points, as
// the monitor display's inset reads them.

#include "ui/AverageBeatView.h"

class MonitorEngine;

class EngineAverageBeats : public AverageBeatProvider {
public:
    // `engine` must outlive this object.
    explicit EngineAverageBeats(MonitorEngine &engine) : engine_(engine) {}
    long long revision() override;
    bool view(int channel, AverageBeatView *out) override;

private:
    MonitorEngine &engine_;
};
