#pragma once
// `tarvelin-ecg-cli strip`: chosen leads of a stored study as the portable
// strip printer's ESC/P stream, in a file (or a serial port's device), so a
// strip can be printed or checked without the application.

#include <QStringList>
#include <QTextStream>

namespace StripCommand {

// Exit status 0 written, 1 the study or the output failed, 2 bad arguments.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace StripCommand
