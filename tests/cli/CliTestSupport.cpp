#include "CliTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace CliTest {

QString sharedData(const QString &relativePath) {
    const QString root = qEnvironmentVariable("TARVELIN_SHARED_DATA");
    if (root.isEmpty()) return QString();
    const QString path = QDir(root).filePath(relativePath);
    return QFile::exists(path) ? path : QString();
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int value : values) result.append(static_cast<char>(value & 0xFF));
    return result;
}

void writeFile(const QString &folder, const QString &name, const QByteArray &contents) {
    QFile file(QDir(folder).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << file.fileName().toStdString();
    ASSERT_EQ(file.write(contents), contents.size());
}

ToolRun runTool(const QStringList &arguments) { return runTool(arguments, QString(), 120000); }

ToolRun runTool(const QStringList &arguments, const QString &standardOutputFile, int timeoutMs) {
    QProcess process;
    if (!standardOutputFile.isEmpty()) process.setStandardOutputFile(standardOutputFile);
    process.start(QStringLiteral(TARVELIN_CLI_EXECUTABLE), arguments);
    ToolRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.standardError = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }
    run.exitCode = process.exitCode();
    run.standardOutput = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.standardError = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

}  // namespace CliTest
