#pragma once
// `tarvelin-ecg-cli resting`: a resting-ECG study made from a recording
// (a WFDB record or the demonstration format) without a device, as the
// resting acquisition leaves it: signal, beats and global measurement.

#include <QStringList>
#include <QTextStream>

namespace RestingCommand {

// Exit status 0 made, 1 the input or the store failed, 2 bad arguments.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace RestingCommand
