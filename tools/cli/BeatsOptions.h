#pragma once
// The command line of `tarvelin-ecg-cli beats`: one input (a demonstration
// format file or a WFDB record) and where the beat table and summary go.

#include "tools/cli/RawRecordingReader.h"

#include <QString>
#include <QStringList>

struct BeatsOptions {
    enum class Input { None, Raw, Wfdb };

    Input input = Input::None;
    QString inputPath;      // the raw file, or PATH/NAME of the record
    RawFormat raw;          // for Input::Raw
    QStringList leadNames;  // --leads: the input's leads renamed in order; empty: as the input names them
    QString outPath;        // empty: the beat table goes to standard output
    QString summaryPath;    // empty: no summary
    bool helpRequested = false;
    QString error;  // set when the arguments are refused

    static BeatsOptions parse(const QStringList &arguments);
    static QString helpText();
};
