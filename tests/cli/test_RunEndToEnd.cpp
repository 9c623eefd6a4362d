// `run` start to finish: the simulator's stress profile through the engine
// with "Bruce", checked against the simulator's truth; and a run killed half
// way, whose autosaved study must still open.

#include "CliTestSupport.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecordCodec.h"
#include "store/StudyDocument.h"
#include "store/StudyStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 500;

struct TruthBeat {
    double time;
    double bpm;
    double stV5;
};

std::vector<TruthBeat> readTruth(const QString &path) {
    std::vector<TruthBeat> beats;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return beats;
    const QStringList header = QString::fromLatin1(f.readLine()).trimmed().split(',');
    const int v5 = header.indexOf(QStringLiteral("st_V5"));
    while (!f.atEnd()) {
        const QStringList cells = QString::fromLatin1(f.readLine()).trimmed().split(',');
        if (cells.size() <= v5 || cells[2].toDouble() <= 0.0) continue;
        beats.push_back({cells[0].toDouble() / kRate, 60.0 / cells[2].toDouble(), cells[v5].toDouble()});
    }
    return beats;
}

bool simulate(const QString &out, int seconds) {
    QProcess sim;
    sim.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE),
              {"record", "--out", out, "--profile", "stress", "--seconds", QString::number(seconds), "--hr", "70",
               "--peak-hr", "160", "--st", "V5=-0.15", "--seed", "5"});
    return sim.waitForFinished(120000) && sim.exitCode() == 0;
}

}  // namespace

// Twelve minutes of 14-channel signal through the sanitized engine take about
// a minute and a half on an idle core; a busy machine must not turn that into
// a failure.
constexpr int kSanitizedRunTimeoutMs = 480000;

TEST(RunEndToEnd, StressProfileThroughBruceAgainstTheTruth) {
    QTemporaryDir dir;
    const QString recording = QDir(dir.path()).filePath("stress.dat");
    ASSERT_TRUE(simulate(recording, 720));
    const QString storePath = QDir(dir.path()).filePath("store");
    const CliTest::ToolRun run = CliTest::runTool(
        {"run",        "--store",    storePath,    "--protocol",    "Bruce",      "--input",    recording,
         "--weight",   "80",         "--last",     "Doe",           "--bp",       "100:120/80", "--bp",
         "230:140/82", "--bp",       "350:160/84", "--bp",          "410:175/85", "--bp",       "470:150/80",
         "--bp",       "650:130/78", "--bp",       "700:125/75",    "--next-at",  "120",        "--next-at",
         "240",        "--next-at",  "360",        "--recovery-at", "420"},
        QString(), kSanitizedRunTimeoutMs);
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    const QStringList lines = run.standardOutput.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    ASSERT_TRUE(lines[0].startsWith("study ")) << lines[0].toStdString();
    const qint32 id = lines[0].mid(6).toInt();
    EXPECT_TRUE(lines[1].startsWith("stage\tduration_s\tload\tMETS\tHR\tSBP/DBP\tDP\tST_V5_mV"));

    StudyStore store(storePath);
    Study *study = store.openStudy(id);
    ASSERT_NE(study, nullptr);
    // Rest and two exercise stages by command, the third cut short by the
    // recovery command, the 60 s and 180 s recovery stages by their timer,
    // and the last one until the input ended.
    const std::vector<int> durations{120, 120, 120, 60, 60, 180, 60};
    const std::vector<double> bp{120, 140, 160, 175, 150, 130, 125};
    ASSERT_EQ(study->protocol()->stageCount(), 7);
    const StudyResults &r = study->results();
    // The study document keeps exactly the result members a stress test has
    // always written.
    QStringList members{"BPMTrend",
                        "sysBPTrend",
                        "diaBPTrend",
                        "METSTrend",
                        "DPTrend",
                        "BPMPerStage",
                        "sysBPPerStage",
                        "diaBPPerStage",
                        "DPPerStage",
                        "METSPerStage",
                        "maxBPM",
                        "maxSysBP",
                        "maxDiaBP",
                        "maxMETS",
                        "maxDP",
                        "maxVO2",
                        "pacemakerPulses",
                        "measurementChannel",
                        "POnset",
                        "PPeak",
                        "POffset",
                        "QRSOnset",
                        "QRSOffset",
                        "TOnset",
                        "TPeak",
                        "TOffset",
                        "PAmp",
                        "QRSAmp",
                        "TAmp",
                        "avgRRInterval",
                        "QRSAxis"};
    for (const char *lead : {"STLevelTrend(%1)", "STSlopeTrend(%1)", "STLevelPerStage(%1)", "STSlopePerStage(%1)"})
        for (int k = 0; k < 16; ++k) members << QString::fromLatin1(lead).arg(k);
    members.sort();
    const QJsonObject document = QJsonDocument::fromJson(StudyDocument::serialise(*study)).object();
    EXPECT_EQ(document.value("results").toObject().keys(), members);
    const std::vector<TruthBeat> truth = readTruth(QDir(dir.path()).filePath("stress.truth.csv"));
    ASSERT_GT(truth.size(), 700u);
    double end = 0.0, maxMets = 0.0;
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        const Stage &stage = study->protocol()->stage(i);
        EXPECT_EQ(stage.duration, durations[static_cast<std::size_t>(i)]);
        const double start = end;
        end += stage.duration;
        double bpm = 0.0, st = 0.0;
        int lastBeats = 0, stageBeats = 0;
        for (const TruthBeat &b : truth) {
            if (b.time >= end - 20.0 && b.time < end) bpm += b.bpm, ++lastBeats;
            if (b.time >= start && b.time < end) st += b.stV5, ++stageBeats;
        }
        ASSERT_GT(lastBeats, 0);
        EXPECT_NEAR(r.perStage(Result::BpmPerStage, i), bpm / lastBeats, 3.0);
        EXPECT_NEAR(r.perStage(ResultName(LeadResult::StLevelPerStage, 10), i), st / stageBeats, 0.03);
        const double v = stage.parameter("speed", "km/h") * 1000.0 / 60.0;
        const double g = stage.parameter("incline", "%") / 100.0;
        const double mets = (v < 83.3333 ? 0.1 * v + 1.8 * v * g + 3.5 : 0.2 * v + 0.9 * v * g + 3.5) / 3.5;
        EXPECT_NEAR(r.perStage(Result::MetsPerStage, i), mets, 1e-9);
        maxMets = std::max(maxMets, mets);
        EXPECT_EQ(r.perStage(Result::SysBpPerStage, i), bp[static_cast<std::size_t>(i)]);
        EXPECT_EQ(r.perStage(Result::DpPerStage, i),
                  bp[static_cast<std::size_t>(i)] * r.perStage(Result::BpmPerStage, i));
    }
    EXPECT_NEAR(r.scalar(Result::MaxMets), maxMets, 1e-9);
    EXPECT_DOUBLE_EQ(r.scalar(Result::MaxVo2), 3.5 * r.scalar(Result::MaxMets));
    EXPECT_EQ(r.scalar(Result::MaxSysBp), 175);
    const auto &bpm = r.values(Result::BpmPerStage);
    EXPECT_EQ(r.scalar(Result::MaxBpm), *std::max_element(bpm.begin(), bpm.end()));

    // Every sample fed after Start, and one beat record per beat.
    EXPECT_EQ(study->recording()->length(), 720 * kRate);
    // Stop hands on the beats detection still held, so the beats up to the
    // end of the input are recorded (a QRS cut by the end may or may not be).
    const auto whole = std::count_if(truth.begin(), truth.end(), [](const TruthBeat &b) { return b.time < 719.85; });
    const auto started = std::count_if(truth.begin(), truth.end(), [](const TruthBeat &b) { return b.time < 720.0; });
    // Detection warms up over the first beats: a few may be missed, none invented.
    EXPECT_LE(study->beats()->count(), started);
    EXPECT_GE(study->beats()->count(), whole - 4);
    // The last whole beat is among them.
    QByteArray bytes;
    ASSERT_TRUE(study->beats()->read(study->beats()->count() - 1, bytes));
    const BeatRecord last = BeatRecordCodec::fromBytes(bytes.constData(), study->beats()->channelCount());
    const auto lastWhole =
        std::find_if(truth.rbegin(), truth.rend(), [](const TruthBeat &b) { return b.time < 719.85; });
    EXPECT_NEAR(last.fiducialTime(), lastWhole->time, 0.15);
}

TEST(RunEndToEnd, AKilledRunLeavesTheStagesClosedBeforeTheKill) {
    QTemporaryDir dir;
    const QString recording = QDir(dir.path()).filePath("stress.dat");
    ASSERT_TRUE(simulate(recording, 600));
    const QString storePath = QDir(dir.path()).filePath("store");
    QProcess tool;
    tool.start(QStringLiteral(TARVELIN_CLI_EXECUTABLE),
               {"run", "--store", storePath, "--protocol", "Bruce", "--input", recording, "--bp", "20:125/85",
                "--next-at", "30", "--next-at", "60"});
    ASSERT_TRUE(tool.waitForStarted());
    QByteArray err;
    while (!err.contains("saved 2 stages") && tool.state() == QProcess::Running) {
        tool.waitForReadyRead(1000);
        err += tool.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("saved 2 stages")) << err.toStdString();
    tool.kill();
    tool.waitForFinished();
    ASSERT_NE(tool.exitStatus(), QProcess::NormalExit);

    StudyStore store(storePath);
    const QList<StudyInfo> studies = store.listStudies();
    ASSERT_EQ(studies.size(), 1);
    Study *study = store.openStudy(studies[0].id);
    ASSERT_NE(study, nullptr);
    ASSERT_GE(study->protocol()->stageCount(), 2);
    EXPECT_EQ(study->protocol()->stage(0).duration, 30.0);
    EXPECT_EQ(study->protocol()->stage(1).duration, 30.0);
    EXPECT_EQ(study->results().perStage(Result::SysBpPerStage, 0), 125);
    EXPECT_GE(study->recording()->length(), 60 * kRate);
}

// A WFDB record (two leads at 360/s) goes through the same engine after
// resampling: the MIT-BIH record 100 beats at about 76/min throughout.
TEST(RunEndToEnd, WfdbRecordThroughTheEngine) {
    const QString header = CliTest::sharedData("mitdb/100.hea");
    CLI_SKIP_WITHOUT(header);
    QTemporaryDir dir;
    const QString storePath = QDir(dir.path()).filePath("store");
    const CliTest::ToolRun run = CliTest::runTool({"run", "--store", storePath, "--protocol", "Bruce", "--input",
                                                   header.chopped(4), "--next-at", "60", "--stop-at", "120"});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    const QStringList lines = run.standardOutput.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    const qint32 id = lines[0].mid(6).toInt();
    StudyStore store(storePath);
    Study *study = store.openStudy(id);
    ASSERT_NE(study, nullptr);
    ASSERT_EQ(study->protocol()->stageCount(), 2);
    for (int stage = 0; stage < 2; ++stage) {
        EXPECT_EQ(study->protocol()->stage(stage).duration, 60.0) << stage;
        EXPECT_NEAR(study->results().perStage(Result::BpmPerStage, stage), 76.0, 6.0) << stage;
    }
    ASSERT_NE(study->recording(), nullptr);
    EXPECT_EQ(study->recording()->length(), 120 * study->recording()->samplingRate());
}
