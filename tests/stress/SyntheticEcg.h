#pragma once
// A synthetic 14-lead signal for the engine tests: one QRS-like bell with a
// T wave at half past every second, scaled per lead so no two are alike.

#include <cmath>
#include <cstdint>

namespace SyntheticEcg {

constexpr int kRate = 500;
constexpr int kChannels = 14;

// Sample `i` of `channel`: a 1.5 mV bell once a second with a T wave.
inline std::int16_t sampleAt(int channel, std::int64_t i) {
    const double t = static_cast<double>(i) / kRate;
    const double phase = t - std::floor(t) - 0.5;
    const double mv =
        1.5 * std::exp(-0.5 * std::pow(phase / 0.012, 2)) + 0.3 * std::exp(-0.5 * std::pow((phase - 0.28) / 0.04, 2));
    return static_cast<std::int16_t>(std::lround(mv * (0.5 + 0.1 * channel) * 65536.0 / 600.0));
}

}  // namespace SyntheticEcg
