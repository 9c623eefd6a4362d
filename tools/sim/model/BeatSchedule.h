#pragma once
// When each beat happens and what kind it is: sinus beats following the rate
// profile with a little respiratory and random RR variation, and premature
// ventricular beats with a compensatory pause. A looping schedule is
// stretched so a whole number of beats fills the recording exactly.

#include "tools/sim/model/HeartRateProfile.h"
#include "tools/sim/model/Respiration.h"
#include "tools/sim/model/SimulationConfig.h"

#include <vector>

struct ScheduledBeat {
    double rTime = 0.0;  // seconds from the first frame
    bool ventricular = false;
    double rr = 0.0;         // seconds since the previous beat
    double heartRate = 0.0;  // sinus rate governing PR and QT
    double stFactor = 0.0;   // expression of the ST pattern, 0..1
    double amplitudeScale = 1.0;
};

namespace BeatSchedule {

constexpr double kPvcCoupling = 0.60;  // of the sinus RR

std::vector<ScheduledBeat> build(const SimulationConfig &config, const HeartRateProfile &profile,
                                 const Respiration &respiration);

// How strongly breathing modulates beat amplitude at a noise level.
double respiratoryAmplitudeDepth(NoiseLevel noise);

}  // namespace BeatSchedule
