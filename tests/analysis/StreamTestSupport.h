#pragma once
// Helpers of the stream-stage tests: seeded signals, appends, and the plain
// per-sample FIR sum the fast stages are checked against.

#include "analysis/SignalBuffer.h"

#include <cstdint>
#include <random>
#include <vector>

namespace streamtest {

using Signal = std::vector<std::vector<double>>;  // [channel][absolute index]

inline Signal randomSignal(int channels, int length, int amplitude, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> value(-amplitude, amplitude);
    Signal s(channels, std::vector<double>(length));
    for (auto &row : s)
        for (double &v : row) v = value(gen);
    return s;
}

inline std::vector<double> randomTaps(int length, bool symmetric, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> value(-0.4, 0.4);
    std::vector<double> h(length);
    for (double &v : h) v = value(gen);
    for (int k = 0; symmetric && k < length / 2; ++k) h[length - 1 - k] = h[k];
    return h;
}

// Appends samples [from, from + n) of every channel in one call.
template <typename Buffer>
void appendRange(Buffer &buffer, const Signal &s, std::int64_t from, int n) {
    std::vector<const double *> rows;
    for (const auto &row : s) rows.push_back(row.data() + from);
    buffer.append(n, rows.data());
}

// sum of h[k] * x[centre - k], with x zero outside [start, end).
inline double directFir(const std::vector<double> &h, const std::vector<double> &x, std::int64_t centre,
                        std::int64_t start, std::int64_t end) {
    double sum = 0.0;
    for (std::int64_t k = 0; k < static_cast<std::int64_t>(h.size()); ++k)
        if (centre - k >= start && centre - k < end) sum += h[k] * x[centre - k];
    return sum;
}

}  // namespace streamtest
