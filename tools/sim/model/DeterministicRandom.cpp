#include "tools/sim/model/DeterministicRandom.h"

#include <cmath>

namespace {
// Scrambles seed and stream into one engine seed, so that neighbouring user
// seeds and stream numbers give unrelated sequences.
std::uint64_t splitMix64(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}
}  // namespace

DeterministicRandom::DeterministicRandom(std::uint64_t seed, std::uint64_t stream)
    : engine_(splitMix64(seed ^ splitMix64(stream + 0x5EEDull))) {}

double DeterministicRandom::uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

double DeterministicRandom::normal() {
    if (hasSpareNormal_) {
        hasSpareNormal_ = false;
        return spareNormal_;
    }
    // Marsaglia's polar method: only sqrt and log, no trigonometry.
    double u = 0.0, v = 0.0, s = 0.0;
    do {
        u = 2.0 * uniform() - 1.0;
        v = 2.0 * uniform() - 1.0;
        s = u * u + v * v;
    } while (s >= 1.0 || s == 0.0);
    const double factor = std::sqrt(-2.0 * std::log(s) / s);
    spareNormal_ = v * factor;
    hasSpareNormal_ = true;
    return u * factor;
}

double DeterministicRandom::exponential(double mean) {
    // 1 - uniform() lies in (0, 1], so the logarithm stays finite.
    return -mean * std::log(1.0 - uniform());
}
