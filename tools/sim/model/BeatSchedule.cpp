#include "tools/sim/model/BeatSchedule.h"

#include "tools/sim/model/DeterministicRandom.h"

#include <algorithm>
#include <cmath>

namespace BeatSchedule {
namespace {

constexpr std::uint64_t kScheduleStream = 1;
constexpr double kFirstBeat = 0.35;  // leaves room for the first P wave

struct Generator {
    const SimulationConfig &config;
    const HeartRateProfile &profile;
    const Respiration &respiration;
    DeterministicRandom random{config.seed, kScheduleStream};
    double pvcDebt = 0.0;
    double pvcThreshold = random.uniform(0.5, 1.5);

    double nominalRr(double t) const { return 60.0 / profile.rateAt(t); }

    double variedRr(double t) {
        // Never more than the requested fraction in all: part breathing-locked
        // sinus arrhythmia (fading as vagal tone is withdrawn during
        // exercise), part irregular.
        const double fraction = config.rrVariabilityPercent / 100.0;
        const double sinusArrhythmia =
            0.55 * fraction * (1.0 - profile.exertionAt(t)) * std::sin(respiration.phaseAt(t));
        const double jitter = std::clamp(0.2 * fraction * random.normal(), -0.45 * fraction, 0.45 * fraction);
        return nominalRr(t) * (1.0 + sinusArrhythmia + jitter);
    }

    // Deciding per sinus interval with a jittered accumulator rather than
    // independent coin flips keeps the PVC count close to the requested rate
    // while the positions still look irregular.
    bool nextIsPremature(double rr) {
        if (config.pvcPerMinute <= 0.0) return false;
        const double perSlot = config.pvcPerMinute * rr / 60.0;
        // A PVC uses up two sinus intervals (its coupling plus the pause).
        pvcDebt += perSlot < 0.5 ? perSlot / (1.0 - perSlot) : 1.0;
        if (pvcDebt < pvcThreshold) return false;
        pvcDebt -= 1.0;
        pvcThreshold = random.uniform(0.5, 1.5);
        return true;
    }

    std::vector<ScheduledBeat> run(double until) {
        std::vector<ScheduledBeat> beats;
        double t = kFirstBeat;
        beats.push_back({t, false, nominalRr(t)});
        while (t < until) {
            const double rr = variedRr(t);
            if (nextIsPremature(rr)) {
                beats.push_back({t + kPvcCoupling * rr, true, kPvcCoupling * rr});
                // The sinus node is not reset: the next conducted beat comes two
                // cycles after the last one.
                beats.push_back({t + 2.0 * rr, false, (2.0 - kPvcCoupling) * rr});
                t += 2.0 * rr;
            } else {
                beats.push_back({t + rr, false, rr});
                t += rr;
            }
        }
        return beats;
    }
};

// Scales the beat times so that a sinus beat lands exactly one recording
// length after the first, drops it and everything after (the first beat takes
// its place on the next pass), and folds times into [0, length).
void closeLoop(std::vector<ScheduledBeat> &beats, double length) {
    const double first = beats.front().rTime;
    std::size_t closing = 0;
    double bestDistance = 1e300;
    for (std::size_t i = 1; i < beats.size(); ++i) {
        if (beats[i].ventricular) continue;
        const double distance = std::abs(beats[i].rTime - first - length);
        if (distance < bestDistance) {
            bestDistance = distance;
            closing = i;
        }
    }
    const double scale = length / (beats[closing].rTime - first);
    const double closingRr = beats[closing].rr * scale;
    beats.resize(closing);
    for (ScheduledBeat &beat : beats) {
        beat.rTime = first + (beat.rTime - first) * scale;
        beat.rr *= scale;
        if (beat.rTime >= length) beat.rTime -= length;
    }
    beats.front().rr = closingRr;
    std::stable_sort(beats.begin(), beats.end(),
                     [](const ScheduledBeat &a, const ScheduledBeat &b) { return a.rTime < b.rTime; });
}

double stFactor(const SimulationConfig &config, const HeartRateProfile &profile, double t) {
    switch (config.stMode) {
    case StMode::Flat: return 0.0;
    case StMode::Constant: return 1.0;
    case StMode::Rate:
        if (config.peakRate <= config.restRate) return 0.0;
        return std::clamp((profile.rateAt(t) - config.restRate) / (config.peakRate - config.restRate), 0.0, 1.0);
    }
    return 0.0;
}

}  // namespace

double respiratoryAmplitudeDepth(NoiseLevel noise) {
    switch (noise) {
    case NoiseLevel::None: return 0.0;
    case NoiseLevel::Low: return 0.03;
    case NoiseLevel::Medium: return 0.05;
    case NoiseLevel::High: return 0.07;
    }
    return 0.0;
}

std::vector<ScheduledBeat> build(const SimulationConfig &config, const HeartRateProfile &profile,
                                 const Respiration &respiration) {
    Generator generator{config, profile, respiration};
    const double length = static_cast<double>(config.frameCount()) / config.samplingRate;
    // Past the end: a loop needs candidates for the closing beat, a plain
    // recording the P wave of a beat whose QRS falls just after the last frame.
    std::vector<ScheduledBeat> beats = generator.run(length + (config.loop ? 3.0 : 0.6));
    if (config.loop) {
        closeLoop(beats, length);
    } else {
        beats.erase(
            std::remove_if(beats.begin(), beats.end(), [&](const ScheduledBeat &b) { return b.rTime >= length + 0.6; }),
            beats.end());
    }
    const double depth = respiratoryAmplitudeDepth(config.noise);
    for (ScheduledBeat &beat : beats) {
        beat.heartRate = profile.rateAt(beat.rTime);
        beat.stFactor = beat.ventricular ? 0.0 : stFactor(config, profile, beat.rTime);
        beat.amplitudeScale = 1.0 + depth * std::sin(respiration.phaseAt(beat.rTime));
    }
    return beats;
}

}  // namespace BeatSchedule
