#pragma once
// `tarvelin-ecg-cli acquire`: the technician's acquisition check. Records
// from the ECG front end through the acquisition driver for a while, writes
// the frames in the demonstration format and reports what the link delivered.

#include <QStringList>
#include <QTextStream>

namespace AcquireCommand {
// Needs a running QCoreApplication. Returns the process exit code: 0
// recorded, 1 no frame arrived or the recording could not be written, 2 bad
// arguments.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
}  // namespace AcquireCommand
