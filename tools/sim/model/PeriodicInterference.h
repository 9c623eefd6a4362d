#pragma once
// Baseline wander (breathing and slow electrode drift) and mains hum at each
// electrode, as functions of time. For a looping recording every component
// completes whole cycles over the recording, so the loop point is seamless.

#include "tools/sim/model/LeadSystem.h"
#include "tools/sim/model/NoiseAmplitudes.h"
#include "tools/sim/model/Respiration.h"

#include <array>
#include <cstdint>

class PeriodicInterference {
public:
    PeriodicInterference(const SimulationConfig &config, const NoiseAmplitudes &amplitudes,
                         const Respiration &respiration);

    // Adds the interference at `frame` to the electrode potentials.
    void addTo(std::int64_t frame, double *electrodes) const;

private:
    static constexpr int kDriftComponents = 3;
    struct Sinusoid {
        double sine = 0.0;    // amplitude of sin(phase)
        double cosine = 0.0;  // amplitude of cos(phase)
    };

    const Respiration &respiration_;
    int samplingRate_;
    // Mains phase as an exact fraction of a cycle: (frame * numerator mod
    // denominator) / denominator, so it never drifts with long recordings.
    std::int64_t mainsNumerator_ = 0;
    std::int64_t mainsDenominator_ = 1;
    std::array<double, kDriftComponents> driftFrequency_{};
    std::array<std::array<Sinusoid, LeadSystem::ElectrodeCount>, kDriftComponents> drift_{};
    std::array<Sinusoid, LeadSystem::ElectrodeCount> breathing_{};
    std::array<Sinusoid, LeadSystem::ElectrodeCount> mains_{};
};
