#pragma once
// One marked moment of a recording (set by the run control and the monitor
// windows): what it was, where it lies, and whether its strip is printed.

#include <QByteArray>

struct StudyEvent {
    QByteArray description;
    double position = 0.0;  // seconds of recorded signal from the start
    double duration = 0.0;  // seconds
    bool print = true;      // the event's strip goes into the report
};
