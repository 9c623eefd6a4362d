// Benchmark of the monitoring feeds: the display feed with the live chain
// fully switched on, plus the analysis-feed decimator, on one core.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "analysis/MonitorFeeds.h"

#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// 14 channels at 500 samples/s arriving in blocks of 51 frames, each block
// followed by the engine's tick; the chain runs drift, "50hz", "40hz", "fir".
BenchResult liveChain14ch() {
    constexpr int channels = 14, rate = 500, frames = 51;
    auto raw = MonitorFeeds::createRawBuffer(channels, rate);
    MonitorFeeds feeds(*raw);
    feeds.configureLiveChain(true, true, true);

    // A few seconds of varied signal, replayed block after block.
    constexpr int patternBlocks = 64;
    std::vector<char> pattern(static_cast<std::size_t>(patternBlocks) * frames * channels * 2);
    for (std::size_t i = 0; i < pattern.size() / 2; ++i) {
        const double t = static_cast<double>(i / channels) / rate;
        const int c = static_cast<int>(i % channels);
        const double v = 800 * std::sin(2 * 3.14159 * 1.2 * t + c) + 150 * std::sin(2 * 3.14159 * 50 * t) + 30 * c;
        qToLittleEndian<qint16>(static_cast<qint16>(v), pattern.data() + 2 * i);
    }
    const int blockBytes = frames * channels * 2;
    const int blocks = 20000;  // about 34 minutes of signal
    double checksum = 0;
    const double t0 = cpuSeconds();
    for (int b = 0; b < blocks; ++b) {
        raw->appendInterleaved16(pattern.data() + static_cast<std::ptrdiff_t>(b % patternBlocks) * blockBytes,
                                 blockBytes);
        feeds.process();
        checksum += feeds.liveOutput().readSample(b % channels, feeds.liveOutput().length() - 1);
    }
    const double cpu = cpuSeconds() - t0;
    const double signalSeconds = static_cast<double>(blocks) * frames / rate;
    if (checksum == 0.123) std::puts("");  // keep the reads
    return {signalSeconds / cpu, "x-realtime"};
}

}  // namespace

std::vector<Benchmark> liveChainBenchmarks() { return {{"live-chain-14ch-500hz", liveChain14ch}}; }
