#pragma once
// Spacing of a trend plot's grid lines and labels: the smallest round step
// (or, for elapsed times, the smallest clock-like step) that keeps labels
// at least one label height or width apart.

#include <vector>

namespace PlotAxisSteps {

// s0 written as m × 10^e (1 <= m < 10) with m raised to 2, 5 or 10.
// 0 when s0 is not a positive finite number.
double roundedStep(double s0);

// Value step of the y axis for labels `labelHeight` pixels high at
// `pixelsPerUnit` (its magnitude is used).
double valueStep(double labelHeight, double pixelsPerUnit);

// Step in seconds of an x axis labelled with elapsed times: 1, 5, 10, 30 s,
// 1, 5, 10, 30 min or 1 h, then widened to fit `labelWidth`.
double elapsedTimeStep(double labelWidth, double pixelsPerSecond);

// Step of an x axis labelled with plain numbers.
double numberStep(double labelWidth, double pixelsPerSecond);

// The multiples of `step` from the first not below `from` up to and
// including `to`; empty for an unusable step. Bounded, so a degenerate
// step cannot run away.
std::vector<double> multiples(double from, double to, double step);

}  // namespace PlotAxisSteps
