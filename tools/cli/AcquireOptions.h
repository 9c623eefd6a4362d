#pragma once
// The command line of `tarvelin-ecg-cli acquire`: which port and link to
// record from, for how long, and where the recording goes.

#include <QString>
#include <QStringList>

struct AcquireOptions {
    QString port;
    bool hrProtocol = false;
    double seconds = 10.0;
    QString outPath;
    bool helpRequested = false;
    QString error;  // set when the arguments are refused

    static AcquireOptions parse(const QStringList &arguments);
    static QString helpText();
};
