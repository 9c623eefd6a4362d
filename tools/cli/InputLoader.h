#pragma once
// Loads the input the `beats` options name (demonstration format or WFDB
// record) and fits it to the analysis.

#include "tools/cli/BeatsOptions.h"
#include "tools/cli/Recording.h"

#include <QStringList>

struct LoadedInput {
    Recording recording;
    QStringList files;     // every file read
    QStringList warnings;  // oddities that did not stop the loading
};

namespace InputLoader {
// False with a message when the input cannot be read or used.
bool load(const BeatsOptions &options, LoadedInput *loaded, QString *error);
}  // namespace InputLoader
