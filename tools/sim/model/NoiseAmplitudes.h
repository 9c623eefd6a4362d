#pragma once
// How much of each kind of interference a noise level brings (mV at the
// electrodes; individual electrodes vary around these figures).

#include "tools/sim/model/SimulationConfig.h"

struct NoiseAmplitudes {
    double respiration = 0.0;  // breathing baseline wander
    double drift = 0.0;        // slow electrode drift
    double mains = 0.0;
    double muscleAtRest = 0.0;  // RMS of the muscle noise
    double muscleAtPeak = 0.0;
    double popsPerMinute = 0.0;  // electrode pops (sudden offset, slow recovery)
    double popSize = 0.0;

    bool any() const {
        return respiration > 0.0 || drift > 0.0 || mains > 0.0 || muscleAtRest > 0.0 || popsPerMinute > 0.0;
    }

    static NoiseAmplitudes forLevel(NoiseLevel level) {
        NoiseAmplitudes a;
        switch (level) {
        case NoiseLevel::None: break;
        case NoiseLevel::Low: a = {0.040, 0.040, 0.008, 0.0030, 0.0055, 0.0, 0.0}; break;
        case NoiseLevel::Medium: a = {0.110, 0.110, 0.020, 0.007, 0.020, 0.6, 0.7}; break;
        case NoiseLevel::High: a = {0.220, 0.250, 0.045, 0.016, 0.050, 4.0, 1.5}; break;
        }
        return a;
    }
};
