// Benchmark of the whole monitoring engine during a stress test: feeds, live
// display chain, beat analysis, averages, ST, run control and the recording
// written to a study on disk, on one core.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatAnalysisPath.h"
#include "analysis/ChannelTable.h"
#include "analysis/FrontEndRange.h"
#include "analysis/MonitorFeeds.h"
#include "store/StudyInfoConversion.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

// The demonstration recording (14 channels, 500 samples/s) fed in blocks of
// 51 frames for ten minutes of signal, through "Bruce" with the live chain on.
BenchResult engine14ch() {
    constexpr int channels = 14, rate = 500, frames = 51;
    QFile demo(demoRecordingPath());
    if (!demo.open(QIODevice::ReadOnly)) return {0.0, "x-realtime"};
    const QByteArray signal = demo.readAll();
    const int blockBytes = frames * channels * 2;
    const int available = signal.size() / blockBytes;
    if (available == 0) return {0.0, "x-realtime"};

    QTemporaryDir dir;
    StudyStore store(dir.path());
    StudyInfo info = frontEndRecordingInfo(rate);
    info.patientWeight = "80";
    Study *study = store.createStudy(info);
    Protocol bruce;
    store.protocol(QStringLiteral("Bruce"), bruce);

    MonitorEngine::SignalFormat format;
    format.channelCount = channels;
    format.samplingRate = rate;
    format.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask);
    MonitorEngine engine(format, true);
    engine.feeds().configureLiveChain(true, true, true);
    StressRun::Plan plan;
    plan.stages = bruce;
    engine.prepareRun(*study, plan, &store);

    const int blocks = 600 * rate / frames;
    const double t0 = cpuSeconds();
    engine.start("20260101000000");
    for (int b = 0; b < blocks; ++b) {
        engine.raw().appendInterleaved16(signal.constData() + static_cast<std::ptrdiff_t>(b % available) * blockBytes,
                                         blockBytes);
        engine.processBlock();
    }
    engine.stop();
    const double cpu = cpuSeconds() - t0;
    if (study->recording()->length() != static_cast<std::int64_t>(blocks) * frames) std::puts("recording incomplete");
    return {static_cast<double>(blocks) * frames / rate / cpu, "x-realtime"};
}

}  // namespace

std::vector<Benchmark> engineBenchmarks() { return {{"engine-14ch-500hz", engine14ch}}; }
