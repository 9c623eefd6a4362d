#pragma once
// `tarvelin-ecg-cli report`: a stored study's report as a PDF file, without
// a window, for re-printing in batches and for checking templates.

#include <QStringList>
#include <QTextStream>

namespace ReportCommand {

// Exit status 0 written, 1 the study or the file failed, 2 bad arguments.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace ReportCommand
