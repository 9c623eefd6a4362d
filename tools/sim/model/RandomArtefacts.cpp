#include "tools/sim/model/RandomArtefacts.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr std::uint64_t kArtefactStream = 3;
constexpr double kMuscleLow = 20.0;    // Hz
constexpr double kMuscleHigh = 150.0;  // Hz, limited to below Nyquist

// Second-order Butterworth sections by the bilinear transform.
template <typename Biquad>
Biquad butterworth(double cutoff, double samplingRate, bool highPass) {
    const double k = std::tan(kPi * cutoff / samplingRate);
    const double q = std::sqrt(2.0);
    const double norm = 1.0 / (1.0 + q * k + k * k);
    Biquad f;
    if (highPass) {
        f.b0 = norm;
        f.b1 = -2.0 * norm;
    } else {
        f.b0 = k * k * norm;
        f.b1 = 2.0 * f.b0;
    }
    f.b2 = f.b0;
    f.a1 = 2.0 * (k * k - 1.0) * norm;
    f.a2 = (1.0 - q * k + k * k) * norm;
    return f;
}
}  // namespace

RandomArtefacts::RandomArtefacts(const SimulationConfig &config, const NoiseAmplitudes &amplitudes,
                                 const HeartRateProfile &profile)
    : random_(config.seed, kArtefactStream), amplitudes_(amplitudes), profile_(profile),
      samplingRate_(config.samplingRate), length_(static_cast<double>(config.frameCount()) / config.samplingRate) {
    const double high = std::min(kMuscleHigh, 0.3 * samplingRate_);
    // White noise keeps this share of its variance in the band.
    bandGain_ = 1.0 / std::sqrt((high - kMuscleLow) / (0.5 * samplingRate_));
    for (std::size_t e = 0; e < LeadSystem::ElectrodeCount; ++e) {
        highPass_[e] = butterworth<Biquad>(kMuscleLow, samplingRate_, true);
        lowPass_[e] = butterworth<Biquad>(high, samplingRate_, false);
        // Torso-mounted limb electrodes lie over large muscles.
        const bool limb = e <= LeadSystem::LL;
        muscleShare_[e] = random_.uniform(0.6, 1.2) * (limb ? 1.5 : 1.0);
    }
    if (amplitudes_.popsPerMinute > 0.0) nextPopAt_ = random_.exponential(60.0 / amplitudes_.popsPerMinute);
}

double RandomArtefacts::muscleLevel(double t) {
    const double exertion = profile_.exertionAt(length_ > 0.0 ? std::fmod(t, length_) : t);
    // Cadence rises from walking to running pace; each footfall tenses the
    // trunk muscles.
    stridePhase_ += 2.0 * kPi * (1.3 + 1.3 * exertion) / samplingRate_;
    if (stridePhase_ > 2.0 * kPi) stridePhase_ -= 2.0 * kPi;
    const double footfall = std::max(0.0, std::sin(stridePhase_));
    const double level = amplitudes_.muscleAtRest + (amplitudes_.muscleAtPeak - amplitudes_.muscleAtRest) * exertion;
    return level * (1.0 + exertion * footfall * footfall);
}

void RandomArtefacts::next(double *electrodes) {
    const double t = static_cast<double>(frame_++) / samplingRate_;
    const double level = muscleLevel(t) * bandGain_;
    for (std::size_t e = 0; e < LeadSystem::ElectrodeCount; ++e) {
        const double white = random_.normal();
        const double muscle = lowPass_[e].step(highPass_[e].step(white)) * level * muscleShare_[e];
        pop_[e] *= popDecay_[e];
        electrodes[e] = muscle + pop_[e];
    }
    if (amplitudes_.popsPerMinute > 0.0) {
        while (t >= nextPopAt_) {
            const auto e =
                static_cast<std::size_t>(random_.uniform() * LeadSystem::ElectrodeCount) % LeadSystem::ElectrodeCount;
            pop_[e] += random_.sign() * amplitudes_.popSize * random_.uniform(0.4, 1.0);
            popDecay_[e] = std::exp(-1.0 / (random_.uniform(0.15, 0.6) * samplingRate_));
            nextPopAt_ += random_.exponential(60.0 / amplitudes_.popsPerMinute);
        }
    }
}

LoopedArtefacts::LoopedArtefacts(RandomArtefacts &stream, std::int64_t frames, bool loop, int fadeFrames)
    : stream_(stream), frames_(frames),
      fadeFrames_(loop ? static_cast<int>(std::min<std::int64_t>(fadeFrames, frames / 4)) : 0) {
    head_.resize(static_cast<std::size_t>(fadeFrames_) * LeadSystem::ElectrodeCount);
    for (int i = 0; i < fadeFrames_; ++i)
        stream_.next(&head_[static_cast<std::size_t>(i) * LeadSystem::ElectrodeCount]);
}

void LoopedArtefacts::next(double *electrodes) {
    const std::int64_t fadeStart = frames_ - fadeFrames_;
    const std::int64_t index = emitted_++;
    stream_.next(electrodes);
    if (index < fadeStart) return;
    // Equal-power fade from the stream's overrun into the head that was held
    // back at the start: replay goes on from the last frame into frame 0, which
    // carries the sample that followed the head.
    const auto j = static_cast<std::size_t>(index - fadeStart);
    const double angle = 0.5 * kPi * (static_cast<double>(j) + 0.5) / fadeFrames_;
    const double keep = std::cos(angle);
    const double blend = std::sin(angle);
    const double *head = &head_[j * LeadSystem::ElectrodeCount];
    for (std::size_t e = 0; e < LeadSystem::ElectrodeCount; ++e) electrodes[e] = keep * electrodes[e] + blend * head[e];
}
