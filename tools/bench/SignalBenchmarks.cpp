// Benchmarks of the sample stores every block of the program passes through.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "analysis/SignalBuffer.h"

#include <QtEndian>
#include <cmath>
#include <vector>

namespace {

// The raw acquisition sink: 14 channels at 500 samples/s arriving in blocks
// of 51 frames (the worker's usual hand-over), each read back by range.
BenchResult rawSink14ch() {
    constexpr int channels = 14, rate = 500, frames = 51;
    SignalBuffer sink(4096, 81920, channels, rate);
    std::vector<char> block(static_cast<std::size_t>(frames) * channels * 2);
    for (std::size_t i = 0; i < block.size() / 2; ++i)
        qToLittleEndian<qint16>(static_cast<qint16>(1000 * std::sin(0.01 * i)), block.data() + 2 * i);
    std::vector<double> out(frames);
    const int blocks = 200000;
    double checksum = 0;
    const double t0 = cpuSeconds();
    for (int b = 0; b < blocks; ++b) {
        sink.appendInterleaved16(block.data(), static_cast<int>(block.size()));
        for (int c = 0; c < channels; ++c) {
            sink.readRange(c, sink.length() - frames, frames, out.data());
            checksum += out[frames / 2];
        }
    }
    const double cpu = cpuSeconds() - t0;
    const double signalSeconds = static_cast<double>(blocks) * frames / rate;
    if (checksum == 0.123) std::puts("");  // keep the reads
    return {signalSeconds / cpu, "x-realtime"};
}

}  // namespace

std::vector<Benchmark> signalBenchmarks() { return {{"raw-sink-14ch-500hz", rawSink14ch}}; }
