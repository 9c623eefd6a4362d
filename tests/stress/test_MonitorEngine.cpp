// The engine over a synthetic 14-lead signal: what reaches the study's
// files after Start, disk failures told to the listeners, and autosave.

#include "FakeEquipment.h"
#include "SyntheticEcg.h"
#include "analysis/BeatAnalysisPath.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecordCodec.h"
#include "analysis/ChannelTable.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorListener.h"

#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

constexpr int kRate = SyntheticEcg::kRate;
constexpr int kChannels = SyntheticEcg::kChannels;
using SyntheticEcg::sampleAt;

struct Log : MonitorListener {
    void beatDetected(MonitorEngine &, const BeatRecord &beat) override { beats.push_back(beat.fiducialTime()); }
    void message(MonitorEngine &, const QString &text) override { messages << text; }
    void stageChanged(MonitorEngine &) override { ++stageChanges; }
    std::vector<double> beats;
    QStringList messages;
    int stageChanges = 0;
};

struct Rig {
    Rig() : store(dir.path()) {
        MonitorEngine::SignalFormat format;
        format.channelCount = kChannels;
        format.samplingRate = kRate;
        format.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask);
        engine = std::make_unique<MonitorEngine>(format, true);
        engine->addListener(&log);
        StudyInfo info;
        info.samplingRate = kRate;
        info.channelCount = kChannels;
        info.channelNames = format.channelNames.join(',').toUtf8();
        info.resolution = 16;
        info.gainMax = 300.0;
        info.patientLastName = "Engine";
        study = store.createStudy(info);
        Protocol bruce;
        store.protocol(QStringLiteral("Bruce"), bruce);
        StressRun::Plan plan;
        plan.stages = bruce;
        plan.equipment = &equipment;
        engine->prepareRun(*study, plan, &store);
    }
    // Feeds `seconds` in tenth-second blocks, as the driver delivers them.
    void feed(double seconds) {
        const std::int64_t end = fed + static_cast<std::int64_t>(seconds * kRate);
        std::vector<std::vector<std::int16_t>> block(kChannels);
        std::vector<const std::int16_t *> rows(kChannels);
        while (fed < end) {
            const int n = static_cast<int>(std::min<std::int64_t>(kRate / 10, end - fed));
            for (int c = 0; c < kChannels; ++c) {
                block[c].resize(n);
                for (int j = 0; j < n; ++j) block[c][j] = sampleAt(c, fed + j);
                rows[c] = block[c].data();
            }
            engine->raw().append(n, rows.data());
            fed += n;
            engine->processBlock();
        }
    }

    QTemporaryDir dir;
    StudyStore store;
    FakeEquipment equipment;
    Log log;
    std::unique_ptr<MonitorEngine> engine;
    Study *study = nullptr;
    std::int64_t fed = 0;
};

}  // namespace

TEST(MonitorEngine, RecordsExactlyTheSamplesAndBeatsAfterStart) {
    Rig rig;
    rig.feed(3.05);
    const std::int64_t startSample = rig.fed;
    rig.engine->start("20260102030405");
    rig.feed(20.0);
    rig.engine->stop();

    const FileSignal &recording = *rig.study->recording();
    ASSERT_EQ(recording.length(), rig.fed - startSample);
    for (int c : {0, 6, 13})
        for (std::int64_t i : {std::int64_t{0}, std::int64_t{1}, std::int64_t{4321}, recording.length() - 1})
            ASSERT_EQ(recording.readSample(c, i), sampleAt(c, startSample + i)) << c << " " << i;

    // One record per beat emitted after Start, at its time in the recording.
    const double start = static_cast<double>(startSample) / kRate;
    std::vector<double> after;
    for (double t : rig.log.beats)
        if (t >= start) after.push_back(t - start);
    ASSERT_GE(after.size(), 17u);
    const BeatFile &beats = *rig.study->beats();
    ASSERT_EQ(beats.count(), static_cast<std::int64_t>(after.size()));
    for (std::size_t k = 0; k < after.size(); ++k) {
        QByteArray bytes;
        ASSERT_TRUE(beats.read(static_cast<std::int64_t>(k), bytes));
        const BeatRecord record = BeatRecordCodec::fromBytes(bytes.constData(), kChannels);
        EXPECT_NEAR(record.fiducialTime(), after[k], 1e-9);
        // The synthetic R peaks are at half past every second of the signal.
        const double live = record.fiducialTime() + start;
        EXPECT_NEAR(live - std::floor(live), 0.5, 0.03) << k;
    }
    EXPECT_TRUE(rig.log.messages.isEmpty()) << rig.log.messages.join('\n').toStdString();
}

TEST(MonitorEngine, SavesAtStageChangesAndEveryMinuteOfRecordedSignal) {
    Rig rig;
    rig.engine->start("20260102030405");
    EXPECT_EQ(rig.engine->autosaveCount(), 1);
    rig.feed(59.0);
    EXPECT_EQ(rig.engine->autosaveCount(), 1);
    rig.feed(2.0);
    EXPECT_EQ(rig.engine->autosaveCount(), 2);

    // What was saved opens from another store on the same folder.
    {
        StudyStore other(rig.dir.path());
        Study *saved = other.openStudy(rig.study->id());
        ASSERT_NE(saved, nullptr);
        EXPECT_EQ(saved->studyDateTime(), QByteArray("20260102030405"));
        EXPECT_GE(saved->results().values(Result::BpmTrend).size(), 50u);
    }
    rig.engine->nextStage();
    EXPECT_EQ(rig.engine->autosaveCount(), 3);
    rig.feed(30.0);
    EXPECT_EQ(rig.engine->autosaveCount(), 3);
    rig.feed(31.0);
    EXPECT_EQ(rig.engine->autosaveCount(), 4);
    StudyStore other(rig.dir.path());
    Study *saved = other.openStudy(rig.study->id());
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->protocol()->stageCount(), 1);
    EXPECT_EQ(saved->protocol()->stage(0).duration, 61.0);
}

TEST(MonitorEngine, ToldWhenTheRecordingCannotBeWrittenAndTheTestGoesOn) {
    Rig rig;
    rig.engine->start("20260102030405");
    rig.feed(2.0);
    const std::int64_t before = rig.study->recording()->length();

    // The file size limit holds for root too: writes past it fail (EFBIG).
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(FileSignal::StudyHeaderSize + (before + 300) * 2 * kChannels);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    rig.feed(3.0);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_GE(rig.log.messages.size(), 1);
    EXPECT_TRUE(rig.log.messages.first().startsWith(QStringLiteral("Recording to disk failed: ")))
        << rig.log.messages.first().toStdString();
    EXPECT_EQ(rig.log.messages.count(rig.log.messages.first()), 1);
    // Whole frames only, and every one of them right.
    const FileSignal &recording = *rig.study->recording();
    EXPECT_LE(recording.length(), before + 300);
    EXPECT_GE(recording.length(), before);
    // The test's clock (stages, prompts, the treadmill) counts the signal,
    // not what the disk took.
    EXPECT_DOUBLE_EQ(rig.engine->recordedTime(), static_cast<double>(rig.fed) / kRate);
    for (std::int64_t i = 0; i < recording.length(); i += 97) ASSERT_EQ(recording.readSample(5, i), sampleAt(5, i));

    // With the disk writable again the samples held in memory are caught up.
    rig.feed(0.2);
    EXPECT_EQ(recording.length(), rig.fed);
    EXPECT_TRUE(rig.engine->running());
}

TEST(MonitorEngine, StViewShowsTheLatestTrendValueAndOrderedPointsOnlyAfterStart) {
    Rig rig;
    rig.feed(12.0);
    for (int lead : {0, 10}) EXPECT_FALSE(rig.engine->stView(lead).valid) << "before Start";
    rig.engine->start("20260102030405");
    rig.feed(12.0);
    EXPECT_FALSE(rig.engine->stView(-1).valid);
    EXPECT_FALSE(rig.engine->stView(StageResults::kLeads).valid);
    for (int lead : {1, 10}) {
        const MonitorEngine::StView view = rig.engine->stView(lead);
        ASSERT_TRUE(view.valid) << lead;
        const std::vector<double> &levels = rig.study->results().values(StudyResults::stLevelTrend(lead));
        const std::vector<double> &slopes = rig.study->results().values(StudyResults::stSlopeTrend(lead));
        ASSERT_FALSE(levels.empty());
        EXPECT_EQ(view.levelMv, levels.back());
        EXPECT_EQ(view.slopeMvPerSecond, slopes.back());
        // Points in samples of the 500/s average, whose R peak sits at 0.3 s.
        EXPECT_LT(view.isoelectric, 150);
        EXPECT_GT(view.j, 150);
        EXPECT_LT(view.isoelectric, view.j);
        EXPECT_LT(view.j, view.st);
        EXPECT_LT(view.st, rig.engine->beatAnalysis().averages().templateLength());
    }
}
