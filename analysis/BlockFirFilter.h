#pragma once
// A linear-phase FIR filter applied to one block of a stored signal, with the
// neighbouring blocks as context.

#include "analysis/BlockFilter.h"

#include <vector>

class BlockFirFilter : public BlockFilter {
public:
    BlockFirFilter(const double *taps, int length, int delay);
    void apply(const BlockWindow &window, std::int16_t *out) const override;

private:
    std::vector<double> taps_;
    int delay_;
};
