// Benchmarks of the recording file every study keeps its signal in.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "acquisition/FileSignal.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kChannels = 14;
constexpr int kRate = 500;

std::vector<char> syntheticFrames(int frames, int offset) {
    std::vector<char> bytes(static_cast<std::size_t>(frames) * kChannels * 2);
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < kChannels; ++c)
            qToLittleEndian<qint16>(static_cast<qint16>(800 * std::sin(0.03 * (f + offset) + c)),
                                    bytes.data() + 2 * (static_cast<std::size_t>(f) * kChannels + c));
    return bytes;
}

// Recording as a test runs: 14 channels arriving in blocks of 51 frames.
BenchResult appendRecording() {
    QTemporaryDir dir;
    FileSignal file(QDir(dir.path()).filePath("bench.ecg"), kChannels, kRate, FileSignal::StudyHeaderSize, true);
    const auto block = syntheticFrames(51, 0);
    const int blocks = 20000;  // about 34 minutes of signal
    const double t0 = cpuSeconds();
    for (int b = 0; b < blocks; ++b) file.appendInterleaved16(block.data(), static_cast<int>(block.size()));
    const double cpu = cpuSeconds() - t0;
    return {static_cast<double>(blocks) * 51 / kRate / cpu, "x-realtime"};
}

// A review page: 10 seconds of 12 leads read by range from a 30-minute file
// opened afresh (cold caches), at pages spread over the recording.
BenchResult readPage() {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("bench.ecg");
    const int frames = 30 * 60 * kRate;
    {
        FileSignal file(path, kChannels, kRate, FileSignal::StudyHeaderSize, true);
        const int chunk = 50000;
        for (int f = 0; f < frames; f += chunk) {
            const auto bytes = syntheticFrames(chunk, f);
            file.appendInterleaved16(bytes.data(), static_cast<int>(bytes.size()));
        }
    }
    const int pageSamples = 10 * kRate;
    std::vector<double> page(static_cast<std::size_t>(pageSamples));
    const int pages = 50;
    double total = 0;
    for (int p = 0; p < pages; ++p) {
        FileSignal file(path, kChannels, kRate, FileSignal::StudyHeaderSize, false);
        const std::int64_t first = static_cast<std::int64_t>(p) * (frames - pageSamples) / pages;
        const double t0 = cpuSeconds();
        for (int c = 0; c < 12; ++c) file.readRange(c, first, pageSamples, page.data());
        total += cpuSeconds() - t0;
    }
    return {1000.0 * total / pages, "ms"};
}

}  // namespace

std::vector<Benchmark> fileBenchmarks() {
    return {{"file-signal-append-14ch-500hz", appendRecording}, {"file-signal-page-12ch-10s", readPage}};
}
