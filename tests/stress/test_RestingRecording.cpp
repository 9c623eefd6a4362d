// A resting ECG through the real engine on a synthetic signal with one beat
// a second: a take of exactly its length whatever the blocks, a repeated
// take that leaves nothing of the first, the take's own measurements, and a
// take the disk refused that is not saved as a resting ECG.

#include "SyntheticEcg.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecordCodec.h"
#include "analysis/ChannelTable.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "stress/RestingRecording.h"

#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

using SyntheticEcg::kChannels;
using SyntheticEcg::kRate;
using SyntheticEcg::sampleAt;

struct Messages : MonitorListener {
    void message(MonitorEngine &, const QString &text) override { texts << text; }
    QStringList texts;
};

struct RestingRig {
    // `reopened`: the study as another store opens it from its files, which
    // it did not create and so may not cut.
    explicit RestingRig(int seconds = RestingRecording::kDefaultSeconds, bool reopened = false) : store(dir.path()) {
        MonitorEngine::SignalFormat format;
        format.channelCount = kChannels;
        format.samplingRate = kRate;
        format.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask);
        engine = std::make_unique<MonitorEngine>(format, false);
        StudyInfo info;
        info.samplingRate = kRate;
        info.channelCount = kChannels;
        info.channelNames = format.channelNames.join(',').toUtf8();
        info.resolution = 16;
        info.gainMax = 300.0;
        info.patientLastName = "Resting";
        study = store.createStudy(info);
        if (reopened) {
            other = std::make_unique<StudyStore>(dir.path());
            study = other->openStudy(study->id());
        }
        engine->prepareRun(*study, StressRun::Plan{}, &store);
        take = std::make_unique<RestingRecording>(*engine, *study, seconds);
        engine->addListener(&messages);
    }
    // Feeds `seconds` in blocks of `block` samples.
    void feed(double seconds, int block = kRate / 10) {
        const std::int64_t end = fed + static_cast<std::int64_t>(std::lround(seconds * kRate));
        std::vector<std::vector<std::int16_t>> rows(kChannels);
        std::vector<const std::int16_t *> pointers(kChannels);
        while (fed < end) {
            const int n = static_cast<int>(std::min<std::int64_t>(block, end - fed));
            for (int c = 0; c < kChannels; ++c) {
                rows[c].resize(n);
                for (int j = 0; j < n; ++j) rows[c][j] = sampleAt(c, fed + j);
                pointers[c] = rows[c].data();
            }
            engine->raw().append(n, pointers.data());
            fed += n;
            engine->processBlock();
        }
    }
    // The recording holds the live signal from `start` on, sample for sample.
    void expectRecordingFrom(std::int64_t start) const {
        const FileSignal &recording = *study->recording();
        for (int c : {0, 1, 13})
            for (std::int64_t i : {std::int64_t{0}, std::int64_t{777}, recording.length() - 1})
                ASSERT_EQ(recording.readSample(c, i), sampleAt(c, start + i)) << c << " " << i;
    }
    // The beat file's fiducial times, which must be R peaks of the take.
    std::vector<double> recordedBeatTimes(std::int64_t start) const {
        std::vector<double> times;
        const BeatFile &beats = *study->beats();
        for (std::int64_t k = 0; k < beats.count(); ++k) {
            QByteArray bytes;
            EXPECT_TRUE(beats.read(k, bytes));
            times.push_back(BeatRecordCodec::fromBytes(bytes.constData(), kChannels).fiducialTime());
        }
        for (double t : times) {
            const double live = t + static_cast<double>(start) / kRate;
            EXPECT_NEAR(live - std::floor(live), 0.5, 0.03) << t;
        }
        return times;
    }

    QTemporaryDir dir;
    StudyStore store;
    std::unique_ptr<StudyStore> other;
    std::unique_ptr<MonitorEngine> engine;
    Study *study = nullptr;
    std::unique_ptr<RestingRecording> take;
    Messages messages;
    std::int64_t fed = 0;
};

}  // namespace

TEST(RestingRecording, HoldsExactlyItsLengthWhateverTheBlocksAndEndsByItself) {
    struct Case {
        int seconds;
        double startAt;
        int block;
    };
    for (const Case &c : {Case{10, 3.05, 50}, Case{10, 2.0, 333}, Case{4, 1.37, 1024}}) {
        SCOPED_TRACE(testing::Message() << c.seconds << " s from " << c.startAt << " in blocks of " << c.block);
        RestingRig rig(c.seconds);
        rig.feed(c.startAt, c.block);
        const std::int64_t start = rig.fed;
        rig.take->start("20260102030405");
        EXPECT_EQ(rig.take->state(), RestingRecording::State::Recording);
        EXPECT_DOUBLE_EQ(rig.take->remainingSeconds(), c.seconds);
        rig.feed(c.seconds - 1.0, c.block);
        EXPECT_TRUE(rig.engine->running());
        EXPECT_NEAR(rig.take->remainingSeconds(), 1.0, c.block / double(kRate));
        rig.feed(3.0, c.block);

        EXPECT_FALSE(rig.engine->running()) << "the take ends by itself";
        EXPECT_EQ(rig.take->state(), RestingRecording::State::Recorded);
        EXPECT_EQ(rig.take->remainingSeconds(), 0.0);
        ASSERT_EQ(rig.study->recording()->length(), std::int64_t{c.seconds} * kRate);
        rig.expectRecordingFrom(start);
        const std::vector<double> beats = rig.recordedBeatTimes(start);
        // One R peak a second; the last may come too close to the end to be found.
        ASSERT_GE(beats.size(), std::size_t(c.seconds - 1));
        ASSERT_LE(beats.size(), std::size_t(c.seconds));
        EXPECT_LT(beats.back(), c.seconds) << "no beat beyond the end of the take";
        EXPECT_EQ(rig.study->property("studyType"), QByteArray("ECG"));
        ASSERT_NE(rig.study->protocol(), nullptr);
        EXPECT_EQ(rig.study->protocol()->type, ProtocolType::RestingEcg);
        EXPECT_EQ(rig.study->protocol()->stageCount(), 0);
    }
}

TEST(RestingRecording, RepeatLeavesNothingOfTheFirstTakeInMemoryOrOnDisk) {
    RestingRig rig;
    rig.feed(2.0);
    rig.take->start("20260102030405");
    rig.feed(6.0);
    // Repeat during the take as well as after it: both drop everything.
    rig.take->repeat();
    EXPECT_EQ(rig.take->state(), RestingRecording::State::Ready);
    EXPECT_FALSE(rig.engine->running());
    rig.take->start("20260102030406");
    rig.feed(11.0);
    ASSERT_EQ(rig.take->state(), RestingRecording::State::Recorded);
    rig.study->addEvent().description = "first take";
    rig.take->storeMeasurements();
    ASSERT_GT(rig.study->results().values(Result::BpmTrend).size(), 5u);

    rig.take->repeat();
    EXPECT_EQ(rig.take->state(), RestingRecording::State::Ready);
    EXPECT_EQ(rig.study->recording()->length(), 0);
    EXPECT_EQ(rig.study->beats()->count(), 0);
    EXPECT_EQ(rig.study->eventCount(), 0);
    EXPECT_TRUE(rig.study->results().values(Result::BpmTrend).empty());
    EXPECT_FALSE(rig.study->results().contains(Result::GlobalHeartRate));
    EXPECT_EQ(rig.study->results().scalar(Result::MeasurementChannel), -1.0);
    {
        // What a crash now would leave: the emptied study, not the first take.
        StudyStore other(rig.dir.path());
        const std::unique_ptr<Study> saved = other.readStudy(rig.study->id());
        ASSERT_NE(saved, nullptr);
        EXPECT_EQ(saved->eventCount(), 0);
        EXPECT_TRUE(saved->results().values(Result::BpmTrend).empty());
        EXPECT_FALSE(saved->results().contains(Result::GlobalHeartRate));
        ASSERT_NE(saved->recording(), nullptr);
        EXPECT_EQ(saved->recording()->length(), 0);
    }

    rig.feed(2.3);
    const std::int64_t secondStart = rig.fed;
    rig.take->start("20260102030407");
    rig.feed(11.0);
    ASSERT_EQ(rig.study->recording()->length(), 10 * kRate);
    rig.expectRecordingFrom(secondStart);
    const std::vector<double> beats = rig.recordedBeatTimes(secondStart);
    ASSERT_GE(beats.size(), 9u);
    EXPECT_NEAR(beats.front(), 0.5 - 0.3, 0.03) << "times count from the second start";
    EXPECT_EQ(rig.study->studyDateTime(), QByteArray("20260102030407"));
}

TEST(RestingRecording, MeasuresTheTakesOwnBeats) {
    RestingRig rig;
    // The monitor runs a while before a take, so the beats' mean RR is known.
    rig.feed(8.0);
    EXPECT_THROW(rig.take->storeMeasurements(), std::runtime_error) << "nothing recorded yet";
    rig.take->start("20260102030405");
    rig.feed(12.0);
    const RestingEcgMeasurements &m = rig.take->measurements();
    EXPECT_GE(m.beatCount, 9);
    EXPECT_LE(m.beatCount, 10);
    ASSERT_TRUE(m.global.heartRateBpm.has_value());
    EXPECT_NEAR(*m.global.heartRateBpm, 60.0, 1.0) << "one beat a second";
    EXPECT_EQ(m.resting.measurementChannel, 1) << "lead II";
    EXPECT_NEAR(m.resting.avgRrInterval, 1.0, 0.01);

    rig.take->storeMeasurements();
    const StudyResults &r = rig.study->results();
    for (const auto &[name, value] : m.entries()) EXPECT_EQ(r.scalar(name), value) << name.text().toStdString();
    EXPECT_NEAR(r.scalar(Result::GlobalHeartRate), 60.0, 1.0);
}

TEST(RestingRecording, ATakeTheDiskRefusedIsNotSavedAndATakeAfterRepeatIs) {
    RestingRig rig;
    rig.feed(2.0);
    rig.take->start("20260102030405");
    rig.feed(2.0);
    {
        struct rlimit saved {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = static_cast<rlim_t>(FileSignal::StudyHeaderSize + 1200 * 2 * kChannels);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        rig.feed(1.0);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
        std::signal(SIGXFSZ, previousHandler);
    }
    rig.feed(8.0);
    ASSERT_EQ(rig.take->state(), RestingRecording::State::Recorded);
    try {
        rig.take->storeMeasurements();
        FAIL() << "a take with a failed write was stored";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()).section(':', 0, 0), QStringLiteral("Recording to disk failed"));
    }
    EXPECT_FALSE(rig.study->results().contains(Result::GlobalHeartRate));

    rig.take->repeat();
    rig.take->start("20260102030406");
    rig.feed(11.0);
    EXPECT_NO_THROW(rig.take->storeMeasurements());
    EXPECT_TRUE(rig.study->results().contains(Result::GlobalHeartRate));
}

TEST(RestingRecording, ATakeIntoFilesItMayNotWriteIsReportedAndNeverSaved) {
    RestingRig rig(RestingRecording::kDefaultSeconds, true);
    rig.feed(2.0);
    rig.take->start("20260102030405");
    rig.feed(3.0);
    ASSERT_EQ(rig.messages.texts.size(), 1) << "told at once, and once";
    EXPECT_EQ(rig.messages.texts[0],
              QStringLiteral("Recording to disk failed: the recording file is not open for writing"));
    rig.take->stop();
    ASSERT_EQ(rig.take->state(), RestingRecording::State::Recorded);
    try {
        rig.take->repeat();
        FAIL() << "files this study did not create were emptied";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Recording to disk failed: "))) << e.what();
    }
    EXPECT_EQ(rig.take->state(), RestingRecording::State::Recorded);
    EXPECT_THROW(rig.take->storeMeasurements(), std::runtime_error);
    EXPECT_FALSE(rig.study->results().contains(Result::GlobalHeartRate));
}

TEST(RestingEcgMeasurements, TableShowsWholeUnitsAndADashForWhatWasNotMeasured) {
    RestingEcgMeasurements m;
    EXPECT_EQ(m.tableValues(), QStringList({"-", "-", "-", "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(RestingEcgMeasurements::tableHeaders().size(), m.tableValues().size());
    m.global.heartRateBpm = 71.6;
    m.global.pr = 0.1585;
    m.global.pDuration = 0.0;
    m.global.qrsDuration = 0.092;
    m.global.qt = 0.3804;
    m.global.qtcBazett = 0.4121;
    m.global.pAxis = 45.4;
    m.global.qrsAxis = -30.5;
    m.global.tAxis = kNoAxis;
    const QString deg = QString(QChar(0x00B0));
    EXPECT_EQ(m.tableValues(), QStringList({"72", "159", "-", "92", "380", "412", "45" + deg, "-31" + deg, "-"}));
}
