// The whole beat analysis path (analysis and averaging feeds, detection,
// classification, refinement, averaging) over the demonstration recording,
// fed in the driver's tenth-of-a-second blocks, without the display chain.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "analysis/BeatAnalysisPath.h"
#include "analysis/ChannelTable.h"
#include "analysis/FrontEndRange.h"
#include "analysis/MonitorFeeds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <vector>

namespace {

struct CountingListener : BeatListener {
    int beats = 0;
    void beatEmitted(const BeatRecord &) override { ++beats; }
};

BenchResult beatAnalysis() {
    constexpr int channels = ChannelTable::kChannelCount, rate = 500, block = rate / 10;
    QFile file(QDir(QCoreApplication::applicationDirPath()).filePath("ecg500.dat"));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "beats-14ch-500hz: ecg500.dat not found beside the bench\n");
        return {0.0, "x-realtime"};
    }
    const QByteArray recording = file.readAll();
    const int frameBytes = channels * 2;
    const int frames = recording.size() / frameBytes;

    auto raw = MonitorFeeds::createRawBuffer(channels, rate);
    raw->setAmplitudeRange(-FrontEndRange::kRangeMv, FrontEndRange::kRangeMv);
    raw->setChannelNames(ChannelTable::maskedNames(ChannelTable::kAllChannelsMask));
    MonitorFeeds feeds(*raw, false);
    BeatAnalysisPath path(feeds.analysisFeed(), *raw);
    CountingListener counter;
    path.addBeatListener(&counter);
    path.start();

    const double t0 = cpuSeconds();
    for (int f = 0; f + block <= frames; f += block) {
        raw->appendInterleaved16(recording.constData() + static_cast<std::ptrdiff_t>(f) * frameBytes,
                                 block * frameBytes);
        feeds.process();
        path.process();
        // The engine reads the averages once a second for the displays.
        if ((f / block) % 10 == 0) path.averages().average(0);
    }
    const double cpu = cpuSeconds() - t0;
    if (counter.beats == 0) std::fprintf(stderr, "beats-14ch-500hz: no beat detected\n");
    return {static_cast<double>(frames) / rate / cpu, "x-realtime"};
}

}  // namespace

std::vector<Benchmark> beatAnalysisBenchmarks() { return {{"beats-14ch-500hz", beatAnalysis}}; }
