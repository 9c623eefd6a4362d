#pragma once
// Opens the input the `beats` options name (demonstration format or WFDB
// record) fitted to the analysis.

#include "tools/cli/BeatsOptions.h"
#include "tools/cli/Recording.h"
#include "tools/cli/RecordingStream.h"

#include <QStringList>
#include <memory>

struct LoadedInput {
    Recording recording;
    QStringList files;     // every file read
    QStringList warnings;  // oddities that did not stop the loading
};

namespace InputLoader {
// The input read a block at a time; null with a message when it cannot be
// read or used.
std::unique_ptr<RecordingStream> open(const BeatsOptions &options, QString *error);
// Oddities found on opening: the reader's, and leads with no table channel.
QStringList openingWarnings(const RecordingStream &stream);
// Samples held at the limit in the blocks read so far; empty when none.
QStringList clippingWarnings(const RecordingStream &stream);
// The whole input at once. False with a message when it cannot be read or used.
bool load(const BeatsOptions &options, LoadedInput *loaded, QString *error);
}  // namespace InputLoader
