#pragma once
// The command line of `tarvelin-ecg-cli run`: a headless stress test through
// the monitoring engine, fed from a recording, with the operator's pressures
// and stage commands at recorded times.

#include "tools/cli/BeatsOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct RunOptions {
    struct Pressure {
        double time = 0.0;  // seconds of recorded signal
        int systolic = 0;
        int diastolic = 0;
    };

    QString storePath;
    QString protocolName;
    BeatsOptions input;  // the recording, as the beats command reads it
    QByteArray weight, age, sex, lastName, firstName;
    std::vector<Pressure> pressures;
    std::vector<double> nextAt;
    std::optional<double> recoveryAt;
    std::optional<double> stopAt;
    bool helpRequested = false;
    QString error;

    static RunOptions parse(const QStringList &arguments);
    static QString helpText();
};
