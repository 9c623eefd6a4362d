#pragma once
// `tarvelin-ecg-sim device`: plays the ECG front end on a pseudo-terminal
// until SIGINT or SIGTERM.

#include <QStringList>

namespace DeviceSimCommand {
// Returns the process exit code: 0 stopped by a signal, 1 could not set up
// the terminal, the input or the record, 2 bad arguments.
int run(const QStringList &arguments);
}  // namespace DeviceSimCommand
