#pragma once
// The `record` command line: turns arguments into a SimulationConfig, with a
// message naming the offending option when something is wrong.

#include "tools/sim/model/SimulationConfig.h"

#include <QString>
#include <QStringList>

struct RecordOptions {
    SimulationConfig config;
    bool helpRequested = false;
    QString error;  // empty when the arguments were accepted

    // `arguments` are those after the word `record`.
    static RecordOptions parse(const QStringList &arguments);
    static QString helpText();
    // `<out without extension>.truth.csv` beside the recording.
    static QString defaultTruthPath(const QString &outPath);
};
