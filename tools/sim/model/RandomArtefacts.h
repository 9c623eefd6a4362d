#pragma once
// Muscle noise and electrode pops at each electrode: random, produced frame by
// frame. Muscle noise is band-limited and grows with exertion and with each
// stride on the treadmill; a pop is a sudden offset that the amplifier's
// high-pass slowly pulls back.

#include "tools/sim/model/DeterministicRandom.h"
#include "tools/sim/model/HeartRateProfile.h"
#include "tools/sim/model/LeadSystem.h"
#include "tools/sim/model/NoiseAmplitudes.h"

#include <array>
#include <vector>

class RandomArtefacts {
public:
    RandomArtefacts(const SimulationConfig &config, const NoiseAmplitudes &amplitudes, const HeartRateProfile &profile);

    // Writes the next frame's artefacts (one value per electrode).
    void next(double *electrodes);

private:
    struct Biquad {
        double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double z1 = 0, z2 = 0;
        double step(double x) {
            const double y = b0 * x + z1;
            z1 = b1 * x - a1 * y + z2;
            z2 = b2 * x - a2 * y;
            return y;
        }
    };

    double muscleLevel(double t);

    DeterministicRandom random_;
    NoiseAmplitudes amplitudes_;
    const HeartRateProfile &profile_;
    int samplingRate_;
    double length_;  // seconds; the muscle envelope repeats after it
    std::int64_t frame_ = 0;
    double stridePhase_ = 0.0;
    double bandGain_ = 1.0;
    std::array<Biquad, LeadSystem::ElectrodeCount> highPass_{};
    std::array<Biquad, LeadSystem::ElectrodeCount> lowPass_{};
    std::array<double, LeadSystem::ElectrodeCount> muscleShare_{};
    std::array<double, LeadSystem::ElectrodeCount> pop_{};
    std::array<double, LeadSystem::ElectrodeCount> popDecay_{};
    double nextPopAt_ = 0.0;
};

// The artefact stream as the recording uses it. For a loop the stream runs one
// fade length past the end and that overrun is cross-faded into the start, so
// the noise is continuous across the loop point.
class LoopedArtefacts {
public:
    LoopedArtefacts(RandomArtefacts &stream, std::int64_t frames, bool loop, int fadeFrames);
    void next(double *electrodes);

private:
    RandomArtefacts &stream_;
    std::int64_t frames_;
    std::int64_t emitted_ = 0;
    int fadeFrames_ = 0;
    std::vector<double> head_;  // the first fadeFrames_ frames of the stream
};
