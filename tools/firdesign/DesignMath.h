#pragma once
// Numeric building blocks of the FIR table designs: Kaiser windows, windowed
// ideal low-passes, zero-phase responses and bracketed root finding.

#include <functional>
#include <optional>
#include <vector>

namespace firdesign {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPower = 0.70710678118654752440;  // the -3 dB gain

using Taps = std::vector<double>;

std::vector<double> kaiserWindow(int length, double beta);

// Windowed ideal low-pass symmetric about (length - 1) / 2, scaled so the
// taps sum to exactly 1 in exact arithmetic. A cut-off of 0 gives the bare
// window, the narrowest bell that window can make.
Taps windowedLowPass(const std::vector<double> &window, double cutoff, double rate);

// Unit impulse at the centre minus a symmetric low-pass of odd length.
Taps complement(const Taps &lowPass);

// Real gain of taps symmetric about their middle, with the linear-phase delay
// taken out; negative inside inverted lobes.
double amplitude(const Taps &taps, double frequency, double rate);

double decibels(double gain);
double gainFromDecibels(double db);

// Root of f inside [lo, hi], which must bracket a sign change; Illinois
// regula falsi, so it converges fast but never leaves the bracket.
std::optional<double> solveBracketed(const std::function<double(double)> &f, double lo, double hi, double tolerance);

// First frequency where |gain| passes through level when walking from start
// in steps of step (negative walks down) no further than limit.
std::optional<double> levelCrossing(const std::function<double(double)> &gain, double start, double step, double limit,
                                    double level, double tolerance);

// Largest |amplitude - desired| over [from, to], sampled at a quarter of the
// table's frequency resolution.
double maxDeviation(const Taps &taps, double rate, double from, double to, double desired);

}  // namespace firdesign
