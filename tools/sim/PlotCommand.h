#pragma once
// `tarvelin-ecg-sim plot`: draws a span of a recording on ECG paper as a PNG.
// Needs a QGuiApplication.

#include <QStringList>

namespace PlotCommand {
// Returns the process exit code: 0 done, 1 could not read or write, 2 bad arguments.
int run(const QStringList &arguments);
}  // namespace PlotCommand
