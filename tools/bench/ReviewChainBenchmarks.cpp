// The review chain over a stored recording: what a review window pays to
// show one page with every filter switched on.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "acquisition/FileSignal.h"
#include "analysis/ReviewFilterChain.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <vector>

namespace {

constexpr int kChannels = 14;
constexpr int kRate = 500;

// 30 minutes of an ECG-like mix: beats, slow wander and mains.
void writeRecording(const QString &path) {
    FileSignal file(path, kChannels, kRate, FileSignal::StudyHeaderSize, true);
    const int frames = 30 * 60 * kRate;
    const int chunk = 25000;
    std::vector<char> bytes(static_cast<std::size_t>(chunk) * kChannels * 2);
    for (int start = 0; start < frames; start += chunk) {
        for (int f = 0; f < chunk; ++f) {
            const double t = static_cast<double>(start + f) / kRate;
            const double beat = std::fmod(t, 0.8);
            const double qrs = 120.0 * std::exp(-std::pow((beat - 0.2) / 0.012, 2));
            const double wave = 30.0 * std::exp(-std::pow((beat - 0.45) / 0.05, 2));
            for (int c = 0; c < kChannels; ++c) {
                const double v = (c % 3 - 1 + 1.5) * (qrs + wave) + 60.0 * std::sin(2 * M_PI * 0.3 * t + c) +
                                 8.0 * std::sin(2 * M_PI * 50.0 * t);
                qToLittleEndian<qint16>(static_cast<qint16>(std::lround(v)),
                                        bytes.data() + 2 * (static_cast<std::size_t>(f) * kChannels + c));
            }
        }
        file.appendInterleaved16(bytes.data(), static_cast<int>(bytes.size()));
    }
}

// A fresh file and chain per page (nothing cached), all switches on, 12
// leads of 10 seconds each, at pages spread over the recording.
BenchResult reviewPage() {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("review.ecg");
    writeRecording(path);
    const int pageSamples = 10 * kRate;
    std::vector<double> page(static_cast<std::size_t>(pageSamples));
    const int pages = 20;
    double total = 0;
    for (int p = 0; p < pages; ++p) {
        FileSignal record(path, kChannels, kRate, FileSignal::StudyHeaderSize, false);
        ReviewFilterChain chain(record);
        chain.configure(true, true, true);
        const std::int64_t first = (record.length() - pageSamples) * p / pages + 1000;
        const double t0 = cpuSeconds();
        for (int c = 0; c < 12; ++c) chain.output().readRange(c, first, pageSamples, page.data());
        total += cpuSeconds() - t0;
    }
    return {1000.0 * total / pages, "ms"};
}

}  // namespace

std::vector<Benchmark> reviewChainBenchmarks() { return {{"review-page-12ch-10s", reviewPage}}; }
