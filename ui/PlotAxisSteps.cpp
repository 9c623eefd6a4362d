#include "ui/PlotAxisSteps.h"

#include <cmath>

namespace {
// No plot is wider or taller than this many grid lines can usefully fill.
constexpr int kMaxLines = 2000;

// Widens a first step until `labelSize` fits between two lines.
double widened(double step0, double labelSize, double pixelsPerUnit) {
    if (!(step0 > 0.0)) return 0.0;
    return (std::floor(labelSize / (step0 * pixelsPerUnit)) + 1.0) * step0;
}
}  // namespace

namespace PlotAxisSteps {

double roundedStep(double s0) {
    if (!(s0 > 0.0) || !std::isfinite(s0)) return 0.0;
    double exponent = std::floor(std::log10(s0));
    double mantissa = s0 / std::pow(10.0, exponent);
    // log10 can land a hair off for exact powers of ten.
    if (mantissa >= 10.0) {
        mantissa /= 10.0;
        exponent += 1.0;
    } else if (mantissa < 1.0) {
        mantissa *= 10.0;
        exponent -= 1.0;
    }
    const double rounded = mantissa <= 2.0 ? 2.0 : mantissa <= 5.0 ? 5.0 : 10.0;
    return rounded * std::pow(10.0, exponent);
}

double valueStep(double labelHeight, double pixelsPerUnit) {
    const double perUnit = std::fabs(pixelsPerUnit);
    if (!(perUnit > 0.0) || !(labelHeight > 0.0)) return 0.0;
    return widened(roundedStep(labelHeight / perUnit), labelHeight, perUnit);
}

double elapsedTimeStep(double labelWidth, double pixelsPerSecond) {
    if (!(pixelsPerSecond > 0.0) || !(labelWidth > 0.0)) return 0.0;
    static const double kSteps[] = {1, 5, 10, 30, 60, 300, 600, 1800, 3600};
    const double s0 = labelWidth / pixelsPerSecond;
    double step0 = 3600.0;
    for (double candidate : kSteps) {
        if (candidate >= s0) {
            step0 = candidate;
            break;
        }
    }
    return widened(step0, labelWidth, pixelsPerSecond);
}

double numberStep(double labelWidth, double pixelsPerSecond) {
    if (!(pixelsPerSecond > 0.0) || !(labelWidth > 0.0)) return 0.0;
    return widened(roundedStep(labelWidth / pixelsPerSecond), labelWidth, pixelsPerSecond);
}

std::vector<double> multiples(double from, double to, double step) {
    std::vector<double> result;
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(from) || !std::isfinite(to)) return result;
    // Each line is k × step rather than a running sum, so rounding does not
    // build up along the axis and push the last line out of the range.
    const double first = std::ceil(from / step - 1e-9);
    for (int k = 0; k < kMaxLines; ++k) {
        const double value = (first + k) * step;
        if (value > to + step * 1e-9) break;
        // A zero from a negative multiple would print as "-0".
        result.push_back(value == 0.0 ? 0.0 : value);
    }
    return result;
}

}  // namespace PlotAxisSteps
