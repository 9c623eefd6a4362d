#pragma once
// Told by the monitoring engine what happened, on the user-interface thread,
// in subscription order; every operation has an empty default.

#include <QString>

class MonitorEngine;
struct BeatRecord;

class MonitorListener {
public:
    virtual ~MonitorListener() = default;
    // After the analysis, the recording and the stage timer saw a block.
    virtual void blockProcessed(MonitorEngine &) {}
    // Every emitted beat, with its times in seconds of the live signal.
    virtual void beatDetected(MonitorEngine &, const BeatRecord &) {}
    virtual void started(MonitorEngine &) {}
    virtual void stageChanged(MonitorEngine &) {}
    virtual void stopped(MonitorEngine &) {}
    // A failure the test goes on after (equipment, disk); `text` is fixed.
    virtual void message(MonitorEngine &, const QString &) {}
};
