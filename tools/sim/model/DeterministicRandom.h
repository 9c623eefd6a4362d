#pragma once
// Seeded random numbers whose sequence is the same on every platform: the
// engine's algorithm is fixed by the C++ standard and the conversions to
// uniform and normal deviates are ours (the standard distributions differ
// between library implementations).

#include <cstdint>
#include <random>

class DeterministicRandom {
public:
    // `stream` separates independent consumers of one user seed, so that e.g.
    // switching the noise level does not move the beats.
    explicit DeterministicRandom(std::uint64_t seed, std::uint64_t stream = 0);

    // Uniform on [0, 1) with 53 random bits.
    double uniform();
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // Standard normal deviate.
    double normal();
    // Exponentially distributed waiting time with the given mean.
    double exponential(double mean);
    // +1 or -1 with equal probability.
    double sign() { return uniform() < 0.5 ? -1.0 : 1.0; }

private:
    std::mt19937_64 engine_;
    double spareNormal_ = 0.0;
    bool hasSpareNormal_ = false;
};
