#pragma once
// Constrained least-squares design of symmetric FIR tables: the response is
// fitted to desired bands while chosen gains (and optionally the centre tap)
// are met exactly.

#include "DesignMath.h"

#include <vector>

namespace firdesign {

struct Band {
    double from;
    double to;
    double desired;
    double weight;
};

struct GainPoint {
    double frequency;
    double gain;
};

struct LeastSquaresProblem {
    int length = 0;
    double rate = 0.0;
    std::vector<Band> bands;
    std::vector<GainPoint> exactGains;
    std::optional<double> centreTap;  // odd lengths only
};

// Empty when the constraints are contradictory (singular system).
std::optional<Taps> designLeastSquares(const LeastSquaresProblem &problem);

}  // namespace firdesign
