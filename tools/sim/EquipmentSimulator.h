#pragma once
// `tarvelin-ecg-sim kipnet|olmo`: plays a treadmill or ergometer on a
// pseudo-terminal, so the application and the tests drive equipment without
// hardware. Prints the port path first, then every command received.

#include <QString>
#include <QStringList>

namespace EquipmentSimulator {
// `protocol` is "kipnet" or "olmo". Runs until SIGINT or SIGTERM; returns the
// exit code: 0 stopped by a signal, 1 no pseudo-terminal or link, 2 bad
// arguments.
int run(const QString &protocol, const QStringList &arguments);
}  // namespace EquipmentSimulator
