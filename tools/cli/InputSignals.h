#pragma once
// Every lead of an input file in millivolts at the file's own rate, as read
// and before it is fitted to the analysis channel table.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

struct InputLead {
    QString name;      // as the file names it
    int channel = -1;  // index in the channel table, -1 when it has none
    std::vector<double> millivolts;
};

struct InputSignals {
    QString source;                // the file or record it came from
    QStringList files;             // every file read, so outputs never overwrite one
    double rate = 0.0;             // samples/s
    std::vector<InputLead> leads;  // all of the same length
    QStringList warnings;          // oddities that did not stop the reading

    std::int64_t length() const {
        return leads.empty() ? 0 : static_cast<std::int64_t>(leads.front().millivolts.size());
    }
};
