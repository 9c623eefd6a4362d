// Slope method. The steepest rise and the steepest fall of a wave sit on its
// two flanks. Around each, the stretch where the slope keeps at least 80 % of
// its steepest value is close to straight; the line through it, carried down
// to the baseline, marks where the wave leaves or rejoins that baseline (the
// tangent rule, as used for the end of T). That avoids relying on the faint
// tails where a rounded wave merges into noise. The baseline on each side is
// the lowest level (highest, for an inverted wave) between the window edge and
// the flank, so an ST shift or a QRS onset taken a little late does not bend
// the limits.
#include "analysis/SlopeWave.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kStraightShare = 0.8;

double at(const std::vector<double> &x, int i) { return x[static_cast<std::size_t>(i)]; }

double slopeAt(const std::vector<double> &x, int i) { return 0.5 * (at(x, i + 1) - at(x, i - 1)); }

// Walks from `steepest` in `direction` while the slope keeps 80 % of its
// steepest value, staying inside [low, high]; returns the last such point.
int straightStretchEnd(const std::vector<double> &x, int steepest, int direction, int low, int high) {
    const double extreme = slopeAt(x, steepest);
    int i = steepest;
    while (i + direction >= low && i + direction <= high &&
           slopeAt(x, i + direction) * extreme >= kStraightShare * extreme * extreme)
        i += direction;
    return i;
}

// Baseline beside a flank: the level farthest from the peak between the
// window edge and the flank, `sign` +1 for an upright wave.
double footLevel(const std::vector<double> &x, int from, int to, int sign) {
    double level = at(x, from);
    for (int i = from; i <= to; ++i) level = sign > 0 ? std::min(level, at(x, i)) : std::max(level, at(x, i));
    return level;
}

// Where the straight flank from `outer` to `steepest` reaches `level`. A flank
// of one sample uses the slope at the steepest point.
double flankCrossing(const std::vector<double> &x, int outer, int steepest, double level) {
    const double slope =
        outer == steepest ? slopeAt(x, steepest) : (at(x, steepest) - at(x, outer)) / (steepest - outer);
    return outer - (at(x, outer) - level) / slope;
}

}  // namespace

SlopeWave findSlopeWave(const std::vector<double> &beat, int from, int to, double minimumHeight) {
    SlopeWave wave;
    const int n = static_cast<int>(beat.size());
    from = std::max(from, 1);
    to = std::min(to, n - 2);
    if (to - from < 4) return wave;

    int rise = from;
    int fall = from;
    for (int i = from; i <= to; ++i) {
        if (slopeAt(beat, i) > slopeAt(beat, rise)) rise = i;
        if (slopeAt(beat, i) < slopeAt(beat, fall)) fall = i;
    }
    if (!(slopeAt(beat, rise) > 0.0) || !(slopeAt(beat, fall) < 0.0)) return wave;
    const int sign = rise < fall ? 1 : -1;
    const int first = std::min(rise, fall);
    const int second = std::max(rise, fall);

    int peak = first;
    for (int i = first; i <= second; ++i)
        if (sign * at(beat, i) > sign * at(beat, peak)) peak = i;

    const double baseBefore = footLevel(beat, from, first, sign);
    const double baseAfter = footLevel(beat, second, to, sign);
    if (sign * (at(beat, peak) - baseBefore) < minimumHeight || sign * (at(beat, peak) - baseAfter) < minimumHeight)
        return wave;

    // The flanks are followed inside the window only, so a neighbouring wave
    // cannot lengthen them.
    const int leadIn = straightStretchEnd(beat, first, -1, from, first);
    const int leadOut = straightStretchEnd(beat, second, +1, second, to);
    const double onset = flankCrossing(beat, leadIn, first, baseBefore);
    const double end = flankCrossing(beat, leadOut, second, baseAfter);

    wave.found = true;
    wave.peak = peak;
    // A nearly level flank may carry far; the limits stay inside the beat.
    wave.onset = static_cast<int>(std::lround(std::clamp(onset, 0.0, static_cast<double>(leadIn))));
    wave.end = static_cast<int>(std::lround(std::clamp(end, static_cast<double>(leadOut), n - 1.0)));
    return wave;
}
