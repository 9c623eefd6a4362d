// The built tool over both kinds of input, start to finish: a simulated
// recording in the demonstration format and a 15-lead WFDB record.

#include "CliTestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList readLines(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

QJsonObject readJson(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

}  // namespace

TEST(BeatsEndToEnd, DemonstrationFormatRecording) {
    QTemporaryDir dir;
    const QString recording = QDir(dir.path()).filePath("rest.dat");
    QProcess sim;
    sim.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE),
              {"record", "--out", recording, "--seconds", "30", "--hr", "60", "--noise", "low", "--seed", "3"});
    ASSERT_TRUE(sim.waitForFinished(60000));
    ASSERT_EQ(sim.exitCode(), 0);

    const QString csv = QDir(dir.path()).filePath("beats.csv");
    const QString json = QDir(dir.path()).filePath("summary.json");
    const CliTest::ToolRun run = CliTest::runTool(
        {"beats", "--raw", recording, "--rate", "500", "--channels", "14", "--out", csv, "--summary-json", json});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    const QStringList lines = readLines(csv);
    ASSERT_FALSE(lines.isEmpty());
    for (const char *column : {"sample", "time_s", "rr_s", "avg_rr_s", "normal", "quality"})
        EXPECT_TRUE(lines[0].split(',').contains(column)) << column;
    // 30 s at 60 bpm: about 30 beats; the first and the last may be missing.
    EXPECT_GE(lines.size() - 1, 27);
    EXPECT_LE(lines.size() - 1, 31);
    const QJsonObject summary = readJson(json);
    EXPECT_NEAR(summary.value("heart_rate_bpm").toDouble(), 60.0, 2.0);
}

TEST(BeatsEndToEnd, WfdbRecordAtItsOwnRate) {
    const QString header = CliTest::sharedData("ptbdb/s0010_re.hea");
    CLI_SKIP_WITHOUT(header);
    QTemporaryDir dir;
    const QString csv = QDir(dir.path()).filePath("beats.csv");
    const QString json = QDir(dir.path()).filePath("summary.json");
    const CliTest::ToolRun run =
        CliTest::runTool({"beats", "--wfdb", header.left(header.size() - 4), "--out", csv, "--summary-json", json});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    const QStringList lines = readLines(csv);
    // 38.4 s of sinus rhythm near 70 bpm.
    EXPECT_GE(lines.size() - 1, 35);
    EXPECT_LE(lines.size() - 1, 55);
    const QJsonObject summary = readJson(json);
    EXPECT_EQ(summary.value("input").toObject().value("rate_hz").toDouble(), 1000.0);
    EXPECT_GT(summary.value("beats").toObject().value("total").toInt(), 30);
}
