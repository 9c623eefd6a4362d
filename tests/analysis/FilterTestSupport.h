#pragma once
// Signals for filter tests: in-memory records made from a function of the
// sample index, and a steady-state amplitude measurement.

#include "analysis/SignalBuffer.h"

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

// A record of `length` samples per channel, sample i of every channel = f(i).
inline std::unique_ptr<SignalBuffer> makeRecord(int rate, std::int64_t length, int channels,
                                                const std::function<double(std::int64_t)> &f, int blockSize = 4096) {
    auto record = std::make_unique<SignalBuffer>(blockSize, static_cast<int>(length) + 1, channels, rate);
    std::vector<std::vector<double>> data(static_cast<std::size_t>(channels),
                                          std::vector<double>(static_cast<std::size_t>(length)));
    std::vector<const double *> rows;
    for (auto &row : data) {
        for (std::int64_t i = 0; i < length; ++i) row[static_cast<std::size_t>(i)] = std::round(f(i));
        rows.push_back(row.data());
    }
    record->append(static_cast<int>(length), rows.data());
    return record;
}

// Amplitude of the component at `hz` over [first, first + count), by
// correlation with a sine and a cosine (count should span whole periods).
inline double amplitudeAt(const SignalSource &s, int channel, std::int64_t first, int count, double hz) {
    std::vector<double> v(static_cast<std::size_t>(count));
    s.readRange(channel, first, count, v.data());
    double re = 0, im = 0;
    for (int k = 0; k < count; ++k) {
        const double phase = 2 * M_PI * hz * static_cast<double>(first + k) / s.samplingRate();
        re += v[static_cast<std::size_t>(k)] * std::cos(phase);
        im += v[static_cast<std::size_t>(k)] * std::sin(phase);
    }
    return 2 * std::hypot(re, im) / count;
}
