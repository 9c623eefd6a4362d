#pragma once
// `tarvelin-ecg-cli render`: a page of a recording drawn on ECG paper into a
// PNG or PDF file. Needs a QGuiApplication.

#include <QStringList>
#include <QTextStream>

namespace RenderCommand {
// Returns the exit code: 0 done, 1 input or output error, 2 bad arguments.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
}  // namespace RenderCommand
