#pragma once
// The cardiac dipole of one beat as a sum of smooth waves (P, QRS, T) and the
// timing of its landmarks, for a sinus beat at a given rate or a premature
// ventricular beat. Times are seconds from QRS onset.

#include "tools/sim/model/WaveShapes.h"

#include <array>

struct DipoleWave {
    double centre = 0.0;
    double halfWidth = 0.0;
    Vector3 moment;
};

struct BeatShape {
    static constexpr int kMaxWaves = 8;
    std::array<DipoleWave, kMaxWaves> waves{};  // P and QRS waves (bells)
    int waveCount = 0;

    Vector3 tMoment;  // repolarisation wave (hump)
    double tOnset = 0.0;
    double tEnd = 0.0;
    double tRise = 2.0;
    double tFall = 1.5;

    double jPoint = 0.0;                // end of the QRS
    double isoelectricReference = 0.0;  // middle of the PR segment
    double rPeak = 0.0;                 // instant of the largest QRS dipole

    // ST shift: rises over the end of the QRS, holds to stPlateauEnd, then
    // hands over to the T wave and is gone by its end.
    bool carriesStShift = false;
    double stRampStart = 0.0;
    double stPlateauEnd = 0.0;

    double start = 0.0;  // first instant any wave is non-zero
    double end = 0.0;    // last instant any wave is non-zero
};

namespace BeatMorphology {

constexpr double kStMeasureDelay = 0.080;  // ST is read at J + 80 ms

double prInterval(double heartRate);
// QRS onset to end of T at the given rate.
double qtInterval(double heartRate);

// A conducted sinus beat; `amplitudeScale` models breathing-related changes.
BeatShape sinus(double heartRate, double amplitudeScale = 1.0);
// A premature ventricular beat: wide, no P wave, discordant T.
BeatShape ventricular(double amplitudeScale = 1.0);

Vector3 dipoleAt(const BeatShape &shape, double t);
// ST shift profile, 1 on the plateau (which covers J + 80 ms), 0 off it.
double stProfileAt(const BeatShape &shape, double t);

}  // namespace BeatMorphology
