#pragma once
// `tarvelin-ecg-cli study`: lists, shows, exports, imports and re-indexes
// the studies of a store folder.

#include <QStringList>
#include <QTextStream>

namespace StudyCommand {
// Returns the process exit code: 0 done, 1 the operation failed (its error
// text is printed), 2 bad arguments.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
}  // namespace StudyCommand
