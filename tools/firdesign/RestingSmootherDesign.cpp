// The resting QRS-end smoother. Unit gain at DC and 15 Hz and 0.48 at 20 Hz
// are exact constraints; an even least-squares fit of the pass band to 1 and
// of the stop band from 25 Hz to 0 then keeps the pass-band ripple and the
// stop-band peak both well inside their limits (about 0.004 and 0.002), so
// no weighting search is needed.
#include "RestingSmootherDesign.h"

#include "LeastSquares.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace firdesign {

namespace {

constexpr double kRate = 250.0;
constexpr double kPassEdge = 15.0;
constexpr double kMidGain = 0.48;
constexpr double kMidFrequency = 20.0;
constexpr double kStopEdge = 25.0;
constexpr double kStopLimit = 0.005;
constexpr double kPassLimit = 0.01;

std::string describe(const char *pattern, double a, double b, double c) {
    char text[200];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

}  // namespace

std::optional<TableDesign> restingSmoother250() {
    LeastSquaresProblem p;
    p.length = 81;
    p.rate = kRate;
    p.bands = {{0.0, kPassEdge, 1.0, 1.0}, {kStopEdge, kRate / 2.0, 0.0, 1.0}};
    p.exactGains = {{0.0, 1.0}, {kPassEdge, 1.0}, {kMidFrequency, kMidGain}};
    const std::optional<Taps> taps = designLeastSquares(p);
    if (!taps) return std::nullopt;
    const double ripple = maxDeviation(*taps, kRate, 0.0, kPassEdge, 1.0);
    const double stopPeak = maxDeviation(*taps, kRate, kStopEdge, kRate / 2.0, 0.0);
    if (ripple >= kPassLimit || stopPeak >= kStopLimit) return std::nullopt;
    TableDesign d{
        "kRestingSmoother250", 250, *taps, "least squares, exact gains at 0 and 15 Hz (1) and 20 Hz (0.48)", {}};
    d.figures.push_back(describe("pass-band ripple %.2e to 15 Hz, gain %.6f at 20 Hz, stop-band peak %.2e from 25 Hz",
                                 ripple, amplitude(d.taps, kMidFrequency, kRate), stopPeak));
    return d;
}

}  // namespace firdesign
