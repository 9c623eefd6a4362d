#pragma once
// Removes from one channel of a stored record the quadratic through three
// points (in practice the straight line from the start mean to the end mean),
// so a slowly drifting record sits on its baseline.

#include "analysis/BlockFilter.h"

class LinearDetrend : public BlockFilter {
public:
    // Points in absolute sample indices.
    LinearDetrend(double x1, double y1, double x2, double y2, double x3, double y3);

    // The trend value at absolute sample index `i`.
    double trendAt(double i) const { return c0_ + c1_ * i + c2_ * i * i; }
    void apply(const BlockWindow &window, std::int16_t *out) const override;

private:
    double c0_ = 0, c1_ = 0, c2_ = 0;
};
