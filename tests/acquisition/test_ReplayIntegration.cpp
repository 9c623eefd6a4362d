// The demonstration recording streamed in real time through the whole
// acquisition path: replay reader -> worker thread -> queued hand-over ->
// raw sink on this (the user-interface) thread.

#include "AcqTestSupport.h"
#include "acquisition/AcqDeviceFactory.h"
#include "acquisition/ReplayDevice.h"
#include "acquisition/TQtAcqDriver.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

const QString kRecording = QStringLiteral(TARVELIN_DEMO_RECORDING);

std::vector<qint16> readFrames(int frames) {
    QFile f(kRecording);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.read(static_cast<qint64>(frames) * 28);
    std::vector<qint16> samples(static_cast<std::size_t>(bytes.size()) / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    return samples;
}

struct Streamed {
    std::unique_ptr<AcqDevice> device;
    std::unique_ptr<SignalBuffer> sink;
    RecordingListener listener;
};

void stream(Streamed &s, bool tiltTest, int mutedChannel, int milliseconds) {
    AcqSettings demo;
    demo.mode = "demo";
    s.device = AcqDeviceFactory::createDevice(demo, tiltTest, {QFileInfo(kRecording).absolutePath()});
    s.sink = AcqDeviceFactory::createRawSink(*s.device);
    TQtAcqDriver driver(*s.device, *s.sink);
    driver.addListener(&s.listener);
    if (mutedChannel >= 0) driver.setChannelMuted(mutedChannel, true);
    driver.start();
    waitUntil([] { return false; }, milliseconds);
    driver.stop();
}

}  // namespace

TEST(ReplayIntegration, DemoRecordingStreamsInRealTimeWithItsOwnSamples) {
    ASSERT_TRUE(QFileInfo::exists(kRecording)) << "the build makes " << kRecording.toStdString();
    Streamed s;
    const int muted = 4;  // aVL
    stream(s, false, muted, 4500);

    EXPECT_EQ(s.listener.count('e'), 0) << "stop is not an error";
    EXPECT_EQ(s.listener.count('p'), 0) << "the replay has no pacemaker pulses";
    ASSERT_GE(s.listener.count('b'), 10);

    // Rate from the first to the last block arrival: frames delivered after
    // the first block over the time between them.
    const auto &ev = s.listener.events;
    const auto &times = s.listener.blockTimesMs;
    const double seconds = (times.back() - times.front()) / 1000.0;
    const double framesPerSecond = (ev.back().value - ev.front().value) / seconds;
    EXPECT_NEAR(framesPerSecond, 500.0, 25.0) << "over " << seconds << " s";
    std::printf("replay delivered %.1f frames/s over %.2f s\n", framesPerSecond, seconds);

    const int frames = static_cast<int>(s.sink->length());
    const auto file = readFrames(frames);
    ASSERT_EQ(static_cast<int>(file.size()), frames * 14);
    int nonZero = 0;
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < 14; ++c) {
            const int expected = c == muted ? 0 : file[f * 14 + c];
            ASSERT_EQ(s.sink->readSample(c, f), expected) << "frame " << f << " channel " << c;
            nonZero += expected != 0;
        }
    }
    EXPECT_GT(nonZero, frames * 10) << "the recording carries a signal";
}

TEST(ReplayIntegration, TiltTestMaskStreamsThreeChannels) {
    Streamed s;
    stream(s, true, -1, 1200);
    ASSERT_EQ(s.device->channelCount(), 3);
    EXPECT_EQ(s.device->frameBytes(), 6);
    EXPECT_EQ(s.sink->channelNames(), (QStringList{"II", "V2", "V5"}));
    const int frames = static_cast<int>(s.sink->length());
    ASSERT_GT(frames, 300);
    const auto file = readFrames(frames);
    const int table[3] = {1, 7, 10};
    for (int f = 0; f < frames; ++f)
        for (int k = 0; k < 3; ++k) ASSERT_EQ(s.sink->readSample(k, f), file[f * 14 + table[k]]) << f;
    EXPECT_EQ(s.listener.count('e'), 0);
}
