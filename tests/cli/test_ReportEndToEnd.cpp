// `report` start to finish: a study `run` made from the simulator's stress
// profile with "Bruce" and a pressure in every stage, written as a PDF and
// read back with an independent reader (pdftotext); and reports that cannot
// be written.

#include "CliTestSupport.h"
#include "store/Protocol.h"
#include "store/StudyStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kSanitizedRunTimeoutMs = 300000;
const char *const kFailure =
    "Report file could not be generated at:\n\n%1\n\nPlease check disk space, folder access and antivirus software.";

// A short stress test: rest, three exercise stages (the third cut short by
// the recovery command) and recovery, with a pressure in each.
struct StressStudy {
    QTemporaryDir dir;
    QString store;
    qint32 id = 0;

    bool make() {
        const QString recording = QDir(dir.path()).filePath("stress.dat");
        QProcess sim;
        sim.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE),
                  {"record", "--out", recording, "--profile", "stress", "--seconds", "200", "--hr", "70", "--peak-hr",
                   "160", "--st", "V5=-0.15", "--seed", "5"});
        if (!sim.waitForFinished(120000) || sim.exitCode() != 0) return false;
        store = QDir(dir.path()).filePath("store");
        const CliTest::ToolRun run =
            CliTest::runTool({"run",        "--store",   store,        "--protocol", "Bruce",      "--input",
                              recording,    "--weight",  "80",         "--age",      "55",         "--last",
                              "Doe",        "--bp",      "20:120/80",  "--bp",       "60:140/82",  "--bp",
                              "100:160/84", "--bp",      "130:175/86", "--bp",       "170:135/78", "--next-at",
                              "40",         "--next-at", "80",         "--next-at",  "120",        "--recovery-at",
                              "140"},
                             QString(), kSanitizedRunTimeoutMs);
        if (run.exitCode != 0 || !run.standardOutput.startsWith("study ")) return false;
        id = run.standardOutput.section('\n', 0, 0).mid(6).toInt();
        return id > 0;
    }
};

QString pdfText(const QString &pdf) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The numbers of a line, in order.
std::vector<double> numbers(const QString &line) {
    static const QRegularExpression number(QStringLiteral("-?\\d+(\\.\\d+)?"));
    std::vector<double> out;
    for (auto it = number.globalMatch(line); it.hasNext();) out.push_back(it.next().captured().toDouble());
    return out;
}

}  // namespace

TEST(ReportEndToEnd, StageTableOfThePdfEqualsTheStoredSeries) {
    StressStudy study;
    ASSERT_TRUE(study.make());
    const QString pdf = QDir(study.dir.path()).filePath("report.pdf");
    const CliTest::ToolRun report =
        CliTest::runTool({"report", "--store", study.store, "--study", QString::number(study.id), "--out", pdf});
    ASSERT_EQ(report.exitCode, 0) << report.standardError.toStdString();
    EXPECT_FALSE(report.standardError.contains("unknown field")) << report.standardError.toStdString();
    const QStringList lines = pdfText(pdf).split('\n');
    ASSERT_GT(lines.size(), 10) << "pdftotext (poppler-utils) could not read the report";

    StudyStore store(study.store);
    const Study *stored = store.openStudy(study.id, HeaderedFile::Access::ReadOnly);
    ASSERT_NE(stored, nullptr);
    const Protocol &recorded = *stored->protocol();
    const StudyResults &r = stored->results();
    ASSERT_EQ(recorded.stageCount(), 5);
    const QStringList names{"Rest 1", "Exercise 1", "Exercise 2", "Exercise 3", "Recovery 1"};
    for (int i = 0; i < recorded.stageCount(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const auto row = std::find_if(lines.begin(), lines.end(),
                                      [&](const QString &l) { return l.trimmed().startsWith(names[i] + "  "); });
        ASSERT_NE(row, lines.end());
        // name number, minutes, seconds, speed, incline, METS, HR, SBP, DBP,
        // DP, ST level, ST slope.
        const std::vector<double> cells = numbers(row->trimmed().mid(names[i].size()));
        ASSERT_EQ(cells.size(), 11u) << row->toStdString();
        const Stage &stage = recorded.stage(i);
        EXPECT_EQ(cells[0] * 60 + cells[1], std::trunc(stage.duration));
        EXPECT_NEAR(cells[2], stage.parameter("speed", "km/h"), 0.05);
        EXPECT_NEAR(cells[3], stage.parameter("incline", "%"), 0.05);
        EXPECT_NEAR(cells[4], r.perStage(Result::MetsPerStage, i), 0.05);
        EXPECT_EQ(cells[5], r.perStage(Result::BpmPerStage, i));
        EXPECT_EQ(cells[6], r.perStage(Result::SysBpPerStage, i));
        EXPECT_EQ(cells[7], r.perStage(Result::DiaBpPerStage, i));
        EXPECT_GT(cells[6], 0.0) << "every stage has its pressure";
        EXPECT_EQ(cells[8], r.perStage(Result::DpPerStage, i));
        // ST in mm at 10 mm/mV, one decimal.
        EXPECT_NEAR(cells[9], 10.0 * r.perStage(StudyResults::stLevelPerStage(10), i), 0.05 + 1e-9);
        EXPECT_NEAR(cells[10], 10.0 * r.perStage(StudyResults::stSlopePerStage(10), i), 0.05 + 1e-9);
    }
    const auto maxLine =
        std::find_if(lines.begin(), lines.end(), [](const QString &l) { return l.trimmed().startsWith("Maximum HR"); });
    ASSERT_NE(maxLine, lines.end());
    const std::vector<double> maxima = numbers(*maxLine);
    ASSERT_EQ(maxima.size(), 3u) << maxLine->toStdString();
    EXPECT_EQ(maxima[0], r.scalar(Result::MaxBpm));
    EXPECT_EQ(maxima[2], 220 - 55);
    EXPECT_EQ(maxima[1], std::round(100.0 * r.scalar(Result::MaxBpm) / (220 - 55)));
    // The average-beat page: V5 was simulated with 0.15 mV depression at
    // peak exercise and none at rest.
    const auto v5 = std::find_if(lines.begin(), lines.end(), [](const QString &l) {
        return l.trimmed().startsWith("V5 ") && numbers(l.trimmed().mid(2)).size() == 6;
    });
    ASSERT_NE(v5, lines.end());
    const std::vector<double> st = numbers(v5->trimmed().mid(2));
    EXPECT_NEAR(st[0], 0.0, 0.3) << v5->toStdString();
    EXPECT_NEAR(st[1], -1.5, 0.3) << v5->toStdString();
    store.closeStudy(stored);
}

TEST(ReportEndToEnd, AReportThatCannotBeWrittenLeavesNoFile) {
    StressStudy study;
    ASSERT_TRUE(study.make());
    const QDir dir(study.dir.path());
    CliTest::writeFile(dir.path(), "plain-file", "not a folder");
    CliTest::writeFile(dir.path(), "kept.pdf", "an earlier report");
    CliTest::writeFile(dir.path(), "broken.xml", "<report><body><table repeat=\"stages\"/></body></report>");
    struct Case {
        QString out;
        QStringList extra;
        QString message;
    } cases[] = {
        // A folder that is not there, and a "folder" that is a file: as
        // unwritable as a folder can be, even for root.
        {dir.filePath("missing/report.pdf"), {}, QString(kFailure).arg(dir.filePath("missing/report.pdf"))},
        {dir.filePath("plain-file/report.pdf"), {}, QString(kFailure).arg(dir.filePath("plain-file/report.pdf"))},
        // A template that fails half way leaves the earlier file as it was.
        {dir.filePath("kept.pdf"), {"--template", dir.filePath("broken.xml")}, "the report has no set \"stages\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.out.toStdString());
        const CliTest::ToolRun run = CliTest::runTool(
            QStringList{"report", "--store", study.store, "--study", QString::number(study.id), "--out", c.out} +
            c.extra);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.standardError.contains(c.message)) << run.standardError.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/report.pdf")));
    QFile kept(dir.filePath("kept.pdf"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("an earlier report"));
    // Nothing but the files the test made: no temporary file left behind.
    EXPECT_EQ(dir.entryList(QDir::Files),
              (QStringList{"broken.xml", "kept.pdf", "plain-file", "stress.dat", "stress.truth.csv"}));

    const CliTest::ToolRun refused =
        CliTest::runTool({"report", "--store", study.store, "--study", QString::number(study.id), "--out",
                          dir.filePath("r.pdf"), "--template", "ecgreport9"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.standardError.contains("unknown template \"ecgreport9\""));
    EXPECT_FALSE(QFile::exists(dir.filePath("r.pdf")));
}

// A resting study `resting` makes from a LUDB record gets the resting report
// of the layout asked for, its rhythm strip of the lead asked for.
TEST(ReportEndToEnd, RestingStudyGetsTheReportOfItsLayout) {
    const QString record = CliTest::sharedData("ludb/7.hea");
    CLI_SKIP_WITHOUT(record);
    QTemporaryDir dir;
    const QString store = dir.filePath("store");
    const CliTest::ToolRun made = CliTest::runTool(
        {"resting", "--store", store, "--wfdb", record.chopped(4), "--last", "Doe", "--first", "Jane", "--age", "61"});
    ASSERT_EQ(made.exitCode, 0) << made.standardError.toStdString();
    ASSERT_TRUE(made.standardOutput.startsWith("study ")) << made.standardOutput.toStdString();
    const QString id = made.standardOutput.section('\n', 0, 0).mid(6);
    const struct {
        QStringList options;
        int pages;
        QString rhythmLead;
        QString title;
    } cases[] = {
        {{}, 3, "II", "Limb leads"},
        {{"--layout", "12by1"}, 3, "II", "Chest leads"},
        {{"--layout", "6by2", "--rhythm-lead", "V5"}, 2, "V5", "Resting 12-lead ECG"},
        {{"--layout", "4by3", "--rhythm", "V1"}, 2, "V1", "Resting 12-lead ECG"},
        // A lead the study does not have: lead II's strip, labelled so.
        {{"--layout", "4by3", "--rhythm-lead", "CM5"}, 2, "II", "Resting 12-lead ECG"},
        {{"--layout", "6by2", "--template", "ecgReportTracesOnly"}, 2, "II", "25 mm/s"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const QString pdf = dir.filePath("resting.pdf");
        const CliTest::ToolRun run =
            CliTest::runTool(QStringList{"report", "--store", store, "--study", id, "--out", pdf} + c.options);
        ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
        EXPECT_FALSE(run.standardError.contains("unknown field")) << run.standardError.toStdString();
        EXPECT_TRUE(run.standardOutput.contains(QStringLiteral("\t%1 pages").arg(c.pages)))
            << run.standardOutput.toStdString();
        const QString text = pdfText(pdf);
        EXPECT_TRUE(text.contains(c.title)) << text.toStdString();
        // The rhythm strip's lead label stands between its title line and
        // the average beats.
        if (c.title == QLatin1String("Resting 12-lead ECG")) {
            const QString strip = text.section("Rhythm strip", 1).section("Average beats", 0, 0);
            EXPECT_TRUE(strip.split(QRegularExpression("\\s+")).contains(c.rhythmLead)) << strip.toStdString();
        }
    }
}
