#pragma once
// `tarvelin-ecg-sim record`: writes a synthetic recording and its truth file.

#include <QStringList>

namespace RecordCommand {
// Returns the process exit code: 0 done, 1 could not write, 2 bad arguments.
int run(const QStringList &arguments);
}  // namespace RecordCommand
