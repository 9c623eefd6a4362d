#pragma once
// The global measurement of a resting ECG: one set of wave limits for all
// leads together (P onset and offset, QRS onset and offset, T offset) from
// the average beats, the intervals, rate and frontal axes derived from them.
//
// Method. Global limits mark where the first lead starts a wave and the last
// one ends it; a single lead misses the parts of a wave that are isoelectric
// in its direction. The leads are therefore combined into two spatial curves
// before any limit is sought, so no single badly delineated lead decides:
//  - leads that carry no usable signal are left out: flat ones (under 10
//    sample units peak to peak) and noisy ones, whose high-frequency residue
//    outside the QRS exceeds a tenth of their QRS size;
//  - the spatial velocity, the root of the summed squared slopes of the leads
//    (each lightly smoothed), marks the QRS: walked outwards from its peak,
//    the QRS ends at the first trough of the velocity below 3 % of the peak
//    (above the curve's floor, the quietest part of the beat), or where it
//    falls below 0.5 % (a trough, because the end of a P wave or a steep ST
//    segment can keep the velocity from falling any further);
//  - the spatial magnitude, the root-mean-square of the leads measured from
//    their isoelectric level just before the QRS onset (each smoothed over
//    about 40 ms, which keeps P and T and drops noise), carries P and T as
//    single humps. P is the largest hump from 300 ms to 40 ms before the QRS
//    onset, bounded where the magnitude falls below 5 % of the hump above
//    the lowest point on that side; a hump whose sides stay above 45 % of
//    its height (the waves of atrial fibrillation) or longer than 250 ms is
//    no P wave. T is the first hump after the ST segment
//    of at least half the largest before the next beat's QRS (a later larger
//    one is an extrasystole some averaged beats carry in their tails); it
//    ends where the slow spatial velocity (the slopes of the smoothed leads),
//    walked on from the steepest point of the hump's descent, falls below
//    5 % of that slope above its floor: where the leads stop changing, which
//    a level would misjudge on a baseline that has not settled.
// This is the spatial-curve family of multi-lead delineation (vector
// magnitude and spatial velocity of the leads). The shares were tuned once,
// for all records together, against cardiologists' global limits on resting
// 12-lead records; they are constants here, not per-record choices.
// From the limits: PR = QRS onset - P onset; P = P offset - P onset; QRS and
// QT from the QRS onset; QTc by Bazett (QT / sqrt RR) and Fridericia
// (QT / cbrt RR) with the averages' mean RR; frontal axes from leads I and
// III: the QRS axis by net deflection as the measurement lead's, the P and T
// axes by the area of each wave over its limits.

#include "analysis/ResultNames.h"

#include <QString>
#include <optional>
#include <utility>
#include <vector>

struct GlobalMeasurement {
    // Seconds relative to the averages' R (negative before it).
    std::optional<double> pOnset, pOffset, qrsOnset, qrsOffset, tOffset;
    // Seconds.
    std::optional<double> pr, pDuration, qrsDuration, qt, qtcBazett, qtcFridericia;
    std::optional<double> heartRateBpm;
    // Degrees, frontal plane.
    std::optional<double> pAxis, qrsAxis, tAxis;
    // Indexes of the leads that took part.
    std::vector<int> leads;

    // Under the names the study keeps them; unmeasured values as the
    // series' starting values (0, or -999 for an axis).
    std::vector<std::pair<ResultName, double>> entries() const;
};

// `averages` (one per channel, named by `channelNames`) at `rate` samples/s
// with R at 0.3 s, as the average beat builder makes them; `meanRrSeconds`
// their mean RR (0 when unknown: no rate and no QTc). Of a 12-lead record
// only the standard leads take part; a record without them uses all it has.
GlobalMeasurement measureGlobal(const std::vector<std::vector<double>> &averages,
                                const std::vector<QString> &channelNames, int rate, double meanRrSeconds);

// The frontal axes of `g` from its QRS, P and T limits, as measureGlobal
// takes them: the QRS axis by net deflection, P and T by area, each absent
// where its limits are or lie outside the averages of leads "I" and "III".
void measureGlobalAxes(GlobalMeasurement &g, const std::vector<std::vector<double>> &averages,
                       const std::vector<QString> &channelNames, int rate);

// Intervals, QTc and axes of `g` derived anew from its wave limits, for
// limits a reviewer moved by hand; the rate and the lead list stay.
void deriveGlobalValues(GlobalMeasurement &g, const std::vector<std::vector<double>> &averages,
                        const std::vector<QString> &channelNames, int rate, double meanRrSeconds);
