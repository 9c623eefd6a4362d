#include "tools/sim/model/BeatMorphology.h"

#include <algorithm>
#include <cmath>

namespace BeatMorphology {
namespace {

constexpr double kSinusQrsDuration = 0.092;
constexpr double kVentricularQrsDuration = 0.145;
constexpr double kPDuration = 0.105;
// Framingham: QT = QTc - 0.154 (1 - RR).
constexpr double kQtCorrected = 0.405;

void addWave(BeatShape &shape, double centre, double halfWidth, Vector3 moment, double scale) {
    shape.waves[static_cast<std::size_t>(shape.waveCount++)] = {centre, halfWidth, scale * moment};
}

// The QRS landmark the truth uses: the instant the dipole is largest. The QRS
// waves do not change with rate and scaling them keeps the maximum in place,
// so one search per morphology serves all beats.
double findDipoleMaximum(const BeatShape &shape) {
    double bestTime = 0.0;
    double bestSize = -1.0;
    const double step = 0.00005;
    for (double t = 0.0; t <= shape.jPoint; t += step) {
        const double size = length(dipoleAt(shape, t));
        if (size > bestSize) {
            bestSize = size;
            bestTime = t;
        }
    }
    return bestTime;
}

void addSinusQrs(BeatShape &shape, double scale) {
    // Septal activation (left to right, anterior): q in I/V5/V6, r in V1.
    addWave(shape, 0.017, 0.017, {-0.10, 0.05, 0.22}, scale);
    // Early free-wall activation, anterior and leftward: R in V2-V4.
    addWave(shape, 0.036, 0.028, {0.40, 0.32, 0.48}, scale);
    // Main left-ventricular force, leftward, inferior and slightly posterior.
    addWave(shape, 0.052, 0.034, {0.70, 0.85, -0.50}, scale);
    // Late basal forces, rightward, superior and posterior: S in V1-V3, small s in V6.
    addWave(shape, 0.072, 0.020, {-0.12, -0.18, -0.42}, scale);
}

void addVentricularQrs(BeatShape &shape, double scale) {
    // Right-ventricular outflow focus: slow muscle-to-muscle spread leftward,
    // inferiorly and away from the front; a broad slurred R in II/III/aVF and
    // V5/V6, a wide QS in V1.
    addWave(shape, 0.042, 0.045, {0.25, 0.55, -0.55}, scale);
    addWave(shape, 0.085, 0.060, {1.05, 1.55, -1.20}, scale);
    addWave(shape, 0.118, 0.030, {0.35, 0.25, -0.25}, scale);
}

}  // namespace

double prInterval(double heartRate) {
    return std::clamp(0.160 - 0.0003 * std::max(0.0, heartRate - 70.0), 0.120, 0.200);
}

double qtInterval(double heartRate) {
    const double rr = 60.0 / heartRate;
    // At very fast rates Framingham runs into the next beat; a plain
    // proportional limit keeps a diastolic gap.
    return std::min(kQtCorrected - 0.154 * (1.0 - rr), 0.12 + 0.5 * rr);
}

BeatShape sinus(double heartRate, double amplitudeScale) {
    BeatShape shape;
    const double pr = prInterval(heartRate);
    const double pOnset = -pr;
    // Right atrium first (inferior, anterior), then left atrium (leftward,
    // posterior): the P is rounded in II and biphasic in V1.
    addWave(shape, pOnset + 0.040, 0.040, {0.020, 0.105, 0.070}, amplitudeScale);
    addWave(shape, pOnset + 0.065, 0.040, {0.085, 0.070, -0.060}, amplitudeScale);
    addSinusQrs(shape, amplitudeScale);

    shape.jPoint = kSinusQrsDuration;
    shape.isoelectricReference = 0.5 * (pOnset + kPDuration);

    const double qt = qtInterval(heartRate);
    const double afterJ = qt - shape.jPoint;
    // The T wave never starts before the ST measuring point, so J + 80 ms reads
    // the ST level itself rather than the T upstroke.
    shape.tOnset = shape.jPoint + std::max(kStMeasureDelay, 0.36 * afterJ);
    shape.tEnd = std::max(qt, shape.tOnset + 0.10);
    shape.tRise = 2.4;
    shape.tFall = 1.7;
    shape.tMoment = amplitudeScale * Vector3{0.26, 0.24, 0.26};

    shape.carriesStShift = true;
    shape.stRampStart = shape.jPoint - 0.022;
    shape.stPlateauEnd = shape.jPoint + kStMeasureDelay + 0.012;

    shape.start = pOnset;
    shape.end = shape.tEnd;
    static const double rPeak = findDipoleMaximum(shape);
    shape.rPeak = rPeak;
    return shape;
}

BeatShape ventricular(double amplitudeScale) {
    BeatShape shape;
    addVentricularQrs(shape, amplitudeScale);
    shape.jPoint = kVentricularQrsDuration;
    shape.isoelectricReference = -0.030;
    // Secondary repolarisation opposite to the QRS, starting straight away.
    shape.tOnset = shape.jPoint - 0.020;
    shape.tEnd = shape.jPoint + 0.300;
    shape.tRise = 1.6;
    shape.tFall = 1.4;
    shape.tMoment = amplitudeScale * Vector3{-0.42, -0.60, 0.50};
    shape.start = -0.030;
    shape.end = shape.tEnd;
    static const double rPeak = findDipoleMaximum(shape);
    shape.rPeak = rPeak;
    return shape;
}

Vector3 dipoleAt(const BeatShape &shape, double t) {
    Vector3 dipole;
    for (int i = 0; i < shape.waveCount; ++i) {
        const DipoleWave &wave = shape.waves[static_cast<std::size_t>(i)];
        const double weight = WaveShapes::bell(t, wave.centre, wave.halfWidth);
        if (weight != 0.0) dipole = dipole + weight * wave.moment;
    }
    const double tWeight = WaveShapes::hump(t, shape.tOnset, shape.tEnd, shape.tRise, shape.tFall);
    if (tWeight != 0.0) dipole = dipole + tWeight * shape.tMoment;
    return dipole;
}

double stProfileAt(const BeatShape &shape, double t) {
    if (!shape.carriesStShift) return 0.0;
    return WaveShapes::smoothRamp(t, shape.stRampStart, shape.jPoint) *
           (1.0 - WaveShapes::smoothRamp(t, shape.stPlateauEnd, shape.tEnd));
}

}  // namespace BeatMorphology
