#pragma once
// Helpers for the command-line tool tests: the shared reference records,
// crafted files in a temporary folder, and runs of the built tool.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <initializer_list>

namespace CliTest {

// Path of a file under the shared reference data, or empty when the data is
// not on this machine.
QString sharedData(const QString &relativePath);

#define CLI_SKIP_WITHOUT(path)                                                                                         \
    if ((path).isEmpty())                                                                                              \
    GTEST_SKIP() << "reference records not found: set TARVELIN_SHARED_DATA to the shared data folder"

QByteArray bytes(std::initializer_list<int> values);
// Writes `contents` to `folder`/`name`; fails the current test if it cannot.
void writeFile(const QString &folder, const QString &name, const QByteArray &contents);

struct ToolRun {
    int exitCode = -1;  // -1: crashed or did not finish
    QString standardOutput;
    QString standardError;
};
ToolRun runTool(const QStringList &arguments);
// The same with standard output sent to `standardOutputFile` (when not
// empty) and a run given at most `timeoutMs` before it counts as hung.
ToolRun runTool(const QStringList &arguments, const QString &standardOutputFile, int timeoutMs);

}  // namespace CliTest
