#pragma once
// `tarvelin-ecg-cli run`: a headless stress test from a recording, start to
// stop, into a study of the store; prints the study id and the stage table.

#include <QStringList>
#include <QTextStream>

namespace RunCommand {
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
}
