#pragma once
// `tarvelin-ecg-cli beats`: loads a recording, runs the beat analysis over
// it and writes the beat table and, if asked, the summary.

#include <QStringList>

namespace BeatsCommand {
// Returns the process exit code: 0 done, 1 input or output error, 2 bad arguments.
int run(const QStringList &arguments);
}  // namespace BeatsCommand
