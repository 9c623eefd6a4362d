// The ECG displays' share of the screen work, offscreen: what the live
// display costs per 20 ms block at full screen with 12 leads and the
// average-beat insets, and what painting one 10-second review page costs
// with the review chain read underneath it.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "acquisition/FileSignal.h"
#include "analysis/ChannelTable.h"
#include "analysis/MonitorFeeds.h"
#include "analysis/ReviewFilterChain.h"
#include "store/StudyInfoConversion.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "ui/QSignalBrowseDisplay.h"
#include "ui/QSignalMonitorDisplay.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <memory>

namespace {

constexpr int kChannels = 14;
constexpr int kRate = 500;
constexpr int kBlockFrames = kRate / 50;  // 20 ms
constexpr double kPixelsPerMm = 96.0 / 25.4;

QByteArray demoSignal() {
    QFile demo(demoRecordingPath());
    return demo.open(QIODevice::ReadOnly) ? demo.readAll() : QByteArray();
}

// The engine runs a test on the demonstration recording; the display's
// refresh and the repaint of what it changed are timed per block, the
// engine's own work is not (it has its benchmark).
BenchResult monitorFrame() {
    const QByteArray signal = demoSignal();
    const int blockBytes = kBlockFrames * kChannels * 2;
    const int available = signal.size() / blockBytes;
    if (available == 0) return {0.0, "ms"};

    QTemporaryDir dir;
    StudyStore store(dir.path());
    StudyInfo info = frontEndRecordingInfo(kRate);
    Study *study = store.createStudy(info);
    Protocol bruce;
    store.protocol(QStringLiteral("Bruce"), bruce);
    MonitorEngine::SignalFormat format;
    format.channelCount = kChannels;
    format.samplingRate = kRate;
    format.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask);
    MonitorEngine engine(format, true);
    engine.feeds().configureLiveChain(true, true, true);
    StressRun::Plan plan;
    plan.stages = bruce;
    engine.prepareRun(*study, plan, &store);

    QSignalMonitorDisplay display;
    display.setPixelsPerMm(kPixelsPerMm);
    display.resize(1920, 1080);
    display.setSource(&engine.feeds().liveOutput());
    for (int c = 12; c < kChannels; ++c) display.setLeadShown(c, false);
    display.show();
    int block = 0;
    auto feed = [&](int blocks, double *seconds) {
        for (int b = 0; b < blocks; ++b, ++block) {
            engine.raw().appendInterleaved16(
                signal.constData() + static_cast<std::ptrdiff_t>(block % available) * blockBytes, blockBytes);
            engine.processBlock();
            const double t0 = cpuSeconds();
            display.refresh();
            display.repaint();
            if (seconds) *seconds += cpuSeconds() - t0;
        }
    };
    feed(5 * 50, nullptr);
    engine.start("20260101000000");
    display.attachAverageBeats(&engine);
    feed(20 * 50, nullptr);  // averages and ST values settle
    const int timed = 60 * 50;
    double seconds = 0.0;
    feed(timed, &seconds);
    return {1000.0 * seconds / timed, "ms"};
}

// Ten seconds at 25 mm/s on a 96 dpi screen, 12 leads, all filters on,
// pages spread over ten minutes of the demonstration recording.
BenchResult browsePage() {
    const QByteArray signal = demoSignal();
    if (signal.isEmpty()) return {0.0, "ms"};
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("review.ecg"));
    {
        FileSignal file(path, kChannels, kRate, FileSignal::StudyHeaderSize, true);
        file.appendInterleaved16(signal.constData(), signal.size());
    }
    FileSignal record(path, kChannels, kRate, FileSignal::StudyHeaderSize, false);
    record.setAmplitudeRange(-300.0, 300.0);
    ReviewFilterChain chain(record);
    chain.configure(true, true, true);

    QSignalBrowseDisplay display;
    display.setPixelsPerMm(kPixelsPerMm);
    display.setShowAverageBeat(false);
    display.setSource(&chain.output());
    for (int c = 12; c < kChannels; ++c) display.setLeadShown(c, false);
    const int traceWidth = static_cast<int>(10.0 * 25.0 * kPixelsPerMm) + 1;
    display.resize(static_cast<int>(QSignalBrowseDisplay::kMarginMm * kPixelsPerMm) + traceWidth, 900);
    QImage screen(display.size(), QImage::Format_RGB32);
    const int pages = 30;
    const double span = display.recordSeconds() - 20.0;
    double seconds = 0.0;
    for (int p = 0; p < pages; ++p) {
        const double t0 = cpuSeconds();
        display.setStartTime(5.0 + span * p / pages);
        display.render(&screen);
        seconds += cpuSeconds() - t0;
    }
    return {1000.0 * seconds / pages, "ms"};
}

}  // namespace

std::vector<Benchmark> displayBenchmarks() {
    return {{"monitor-display-frame-12ch", monitorFrame}, {"browse-page-paint-12ch-10s", browsePage}};
}
