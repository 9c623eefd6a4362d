#include "AcqTestSupport.h"
#include "acquisition/AcqDeviceFactory.h"
#include "acquisition/ReplayDevice.h"
#include "acquisition/Sleeper.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>

namespace {

// Sleeps no real time; records each request and ends the reader once the
// requested total reaches `stopAfterMs`.
class RecordingSleeper : public Sleeper {
public:
    explicit RecordingSleeper(int stopAfterMs) : stopAfterMs_(stopAfterMs) {}
    void sleepMs(int ms) override {
        std::lock_guard<std::mutex> lock(mutex_);
        sleeps.push_back(ms);
        total += ms;
        if (total >= stopAfterMs_) {
            QThread::currentThread()->requestInterruption();
            ended = true;
        }
    }
    std::mutex mutex_;
    std::vector<int> sleeps;
    long total = 0;
    std::atomic<bool> ended{false};

private:
    int stopAfterMs_;
};

QString writeFile(const QTemporaryDir &dir, const QString &name, const std::vector<char> &bytes) {
    const QString path = QDir(dir.path()).filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

std::vector<qint16> drain(AcqDevice &device) {
    std::vector<char> bytes(static_cast<std::size_t>(device.bytesAvailable()));
    device.read(bytes.data(), static_cast<int>(bytes.size()));
    std::vector<qint16> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = qFromLittleEndian<qint16>(bytes.data() + 2 * i);
    return samples;
}

}  // namespace

// Sleeps follow the recording time delivered, so ten seconds of sleeping
// always releases ten seconds of frames, whatever the reading costs.
TEST(ReplayDevice, PacingReleasesTheRecordingRate) {
    struct Case {
        int rate;
        int expectedSleepMs;  // 25 ms worth of frames, rounded up to whole frames
    };
    for (const Case &c : std::vector<Case>{{500, 26}, {1000, 26}, {250, 28}}) {
        SCOPED_TRACE(c.rate);
        QTemporaryDir dir;
        const QString path = writeFile(dir, "rec.dat", makeFrames(14, 700));
        RecordingSleeper sleeper(10000);
        ReplayDevice device(path, 14, c.rate, 2, 16, 300.0, 0, -1, &sleeper);
        device.start();
        ASSERT_TRUE(waitUntil([&] { return sleeper.ended.load(); }, 20000));
        device.stop();
        const int frames = device.bytesAvailable() / 28;
        EXPECT_GE(frames, 10 * c.rate);
        EXPECT_LE(frames, 10 * c.rate + c.rate / 40 + 2);
        std::lock_guard<std::mutex> lock(sleeper.mutex_);
        for (int ms : sleeper.sleeps) ASSERT_NEAR(ms, c.expectedSleepMs, 1);
    }
}

TEST(ReplayDevice, LoopsOverWholeFramesAndAppliesMaskAndOffset) {
    struct Case {
        const char *name;
        std::int32_t mask;
        qint64 offset;
        int trailingBytes;
        std::vector<int> expectedChannels;
    };
    const std::vector<Case> cases = {
        {"all channels, partial trailing frame", -1, 0, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {"tilt-test mask", 0x482, 0, 0, {1, 7, 10}},
        {"data offset", 0x3, 28, 27, {0, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        std::vector<char> bytes(static_cast<std::size_t>(c.offset), '\x55');
        const auto frames = makeFrames(14, 3);
        bytes.insert(bytes.end(), frames.begin(), frames.end());
        bytes.insert(bytes.end(), static_cast<std::size_t>(c.trailingBytes), '\x7f');
        const QString path = writeFile(dir, "rec.dat", bytes);

        RecordingSleeper sleeper(1);  // stops after the first sleep
        ReplayDevice device(path, 14, 500, 2, 16, 300.0, c.offset, c.mask, &sleeper);
        EXPECT_EQ(device.channelCount(), static_cast<int>(c.expectedChannels.size()));
        device.start();
        ASSERT_TRUE(waitUntil([&] { return sleeper.ended.load(); }));
        device.stop();
        const auto samples = drain(device);
        const int perFrame = static_cast<int>(c.expectedChannels.size());
        ASSERT_EQ(samples.size() % perFrame, 0u);
        const int played = static_cast<int>(samples.size()) / perFrame;
        ASSERT_GE(played, 7) << "the loop must come round more than twice";
        for (int f = 0; f < played; ++f)
            for (int k = 0; k < perFrame; ++k)
                ASSERT_EQ(samples[f * perFrame + k], (f % 3) * 14 + c.expectedChannels[k]) << f << "," << k;
    }
}

TEST(ReplayDevice, UnplayableFilesFailAtConstruction) {
    QTemporaryDir dir;
    const QString tiny = writeFile(dir, "tiny.dat", std::vector<char>(27, 1));
    const QString offsetPastFrames = writeFile(dir, "short.dat", makeFrames(14, 1));
    struct Case {
        const char *name;
        QString path;
        qint64 offset;
    };
    for (const Case &c : std::vector<Case>{{"missing", QDir(dir.path()).filePath("none.dat"), 0},
                                           {"less than one frame", tiny, 0},
                                           {"nothing after the data offset", offsetPastFrames, 4}}) {
        SCOPED_TRACE(c.name);
        try {
            ReplayDevice device(c.path, 14, 500, 2, 16, 300.0, c.offset, -1);
            FAIL() << "expected an error";
        } catch (const std::runtime_error &e) {
            EXPECT_STREQ(e.what(), "Cannot open file");
        }
    }
}

TEST(ReplayDevice, AnswersLikeAHealthySourceWithoutDeviceState) {
    QTemporaryDir dir;
    ReplayDevice device(writeFile(dir, "rec.dat", makeFrames(14, 10)), 14, 500, 2, 16, 300.0, 0, 0x482);
    EXPECT_TRUE(device.isOk());
    EXPECT_TRUE(device.errorString().isEmpty());
    EXPECT_EQ(device.frameBytes(), 6);
    EXPECT_EQ(device.channelName(0), "II");
    EXPECT_EQ(device.channelName(2), "V5");
    EXPECT_DOUBLE_EQ(device.amplitudeMin(), -300.0);
    EXPECT_FALSE(device.nextPacemakerOffset().has_value());
    EXPECT_FALSE(device.channelSaturated(0));
    EXPECT_FALSE(device.electrodeOff("RA"));
    EXPECT_DOUBLE_EQ(device.batteryVoltage(), 0.0);
}

TEST(AcqDeviceFactory, ChoosesTheSourceFromTheSettings) {
    QTemporaryDir current, program;
    writeFile(program, "ecg500.dat", makeFrames(14, 10));
    const QStringList folders{current.path(), program.path()};

    AcqSettings demo;
    demo.mode = "demo";
    demo.signalGain = 200;  // a device setting; the replay keeps its own range
    auto device = AcqDeviceFactory::createDevice(demo, false, folders);
    EXPECT_EQ(device->channelCount(), 14);
    EXPECT_EQ(device->samplingRate(), 500);
    EXPECT_DOUBLE_EQ(device->amplitudeMax(), 300.0);

    auto tilt = AcqDeviceFactory::createDevice(demo, true, folders);
    EXPECT_EQ(tilt->channelCount(), 3);
    EXPECT_EQ(tilt->frameBytes(), 6);

    // The current folder is looked at first.
    writeFile(current, "ecg500.dat", makeFrames(14, 10));
    EXPECT_EQ(AcqDeviceFactory::findReplayFile(folders), QDir(current.path()).filePath("ecg500.dat"));

    auto sink = AcqDeviceFactory::createRawSink(*tilt);
    EXPECT_EQ(sink->channelCount(), 3);
    EXPECT_EQ(sink->blockSize(), 4096);
    EXPECT_EQ(sink->capacity(), 81920);
    EXPECT_EQ(sink->channelNames(), (QStringList{"II", "V2", "V5"}));
    EXPECT_DOUBLE_EQ(sink->amplitudeMin(), -300.0);
}

TEST(AcqDeviceFactory, FailuresCarryTheirFixedTexts) {
    QTemporaryDir empty;
    struct Case {
        QString mode;
        const char *expected;
    };
    for (const Case &c : std::vector<Case>{
             {"demo", "Cannot open file"}, {"", "Device not found"}, {"bluetooth-com", "Device not found"}}) {
        SCOPED_TRACE(c.mode.toStdString());
        AcqSettings settings;
        settings.mode = c.mode;
        try {
            AcqDeviceFactory::createDevice(settings, false, {empty.path()});
            FAIL() << "expected an error";
        } catch (const std::runtime_error &e) {
            EXPECT_STREQ(e.what(), c.expected);
        }
    }
}
