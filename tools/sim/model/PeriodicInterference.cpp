#include "tools/sim/model/PeriodicInterference.h"

#include "tools/sim/model/DeterministicRandom.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {
constexpr double kTwoPi = 6.28318530717958647692;
constexpr std::uint64_t kInterferenceStream = 2;

double randomPhase(DeterministicRandom &random) { return random.uniform(0.0, kTwoPi); }
}  // namespace

PeriodicInterference::PeriodicInterference(const SimulationConfig &config, const NoiseAmplitudes &amplitudes,
                                           const Respiration &respiration)
    : respiration_(respiration), samplingRate_(config.samplingRate) {
    DeterministicRandom random(config.seed, kInterferenceStream);
    const double length = static_cast<double>(config.frameCount()) / config.samplingRate;

    for (int j = 0; j < kDriftComponents; ++j) {
        double frequency = random.uniform(0.008, 0.05);
        if (config.loop) frequency = std::max(1.0, std::round(frequency * length)) / length;
        driftFrequency_[static_cast<std::size_t>(j)] = frequency;
    }
    // Mains pick-up differs between electrodes with their contact impedance but
    // stays roughly in phase; breathing moves some electrodes more than others.
    const double mainsPhase = randomPhase(random);
    for (std::size_t e = 0; e < LeadSystem::ElectrodeCount; ++e) {
        for (auto &component : drift_) {
            const double size = amplitudes.drift * random.uniform(0.2, 0.8);
            const double phase = randomPhase(random);
            component[e] = {size * std::cos(phase), size * std::sin(phase)};
        }
        const double breathingSize = amplitudes.respiration * random.uniform(0.3, 1.2);
        const double breathingPhase = random.uniform(-0.6, 0.6);
        breathing_[e] = {breathingSize * std::cos(breathingPhase), breathingSize * std::sin(breathingPhase)};
        const double mainsSize = amplitudes.mains * random.uniform(0.5, 1.5);
        const double phase = mainsPhase + random.uniform(-0.4, 0.4);
        mains_[e] = {mainsSize * std::cos(phase), mainsSize * std::sin(phase)};
    }

    if (config.mainsHz > 0) {
        if (config.loop) {
            mainsNumerator_ = std::max<std::int64_t>(1, std::llround(config.mainsHz * length));
            mainsDenominator_ = config.frameCount();
        } else {
            const std::int64_t common = std::gcd<std::int64_t, std::int64_t>(config.mainsHz, config.samplingRate);
            mainsNumerator_ = config.mainsHz / common;
            mainsDenominator_ = config.samplingRate / common;
        }
    } else {
        mains_ = {};
    }
}

void PeriodicInterference::addTo(std::int64_t frame, double *electrodes) const {
    const double t = static_cast<double>(frame) / samplingRate_;
    const double breath = respiration_.phaseAt(t);
    const double breathSin = std::sin(breath);
    const double breathCos = std::cos(breath);
    // A little second harmonic makes inspiration and expiration differ.
    const double breathSin2 = 2.0 * breathSin * breathCos;

    std::array<double, kDriftComponents> driftSin{}, driftCos{};
    for (std::size_t j = 0; j < driftSin.size(); ++j) {
        const double phase = kTwoPi * driftFrequency_[j] * t;
        driftSin[j] = std::sin(phase);
        driftCos[j] = std::cos(phase);
    }
    const double mainsPhase = kTwoPi * static_cast<double>((frame * mainsNumerator_) % mainsDenominator_) /
                              static_cast<double>(mainsDenominator_);
    const double mainsSin = std::sin(mainsPhase);
    const double mainsCos = std::cos(mainsPhase);
    // Third harmonic from transformer saturation, as on real mains.
    const double mainsSin3 = mainsSin * (3.0 - 4.0 * mainsSin * mainsSin);

    for (std::size_t e = 0; e < LeadSystem::ElectrodeCount; ++e) {
        double value =
            breathing_[e].sine * breathSin + breathing_[e].cosine * breathCos + 0.25 * breathing_[e].sine * breathSin2;
        for (std::size_t j = 0; j < driftSin.size(); ++j)
            value += drift_[j][e].sine * driftSin[j] + drift_[j][e].cosine * driftCos[j];
        value += mains_[e].sine * mainsSin + mains_[e].cosine * mainsCos + 0.15 * mains_[e].sine * mainsSin3;
        electrodes[e] += value;
    }
}
