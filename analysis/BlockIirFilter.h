#pragma once
// A recursive filter applied to one block of a stored signal with C samples
// of context on each side, run forward and then backward for zero phase.

#include "analysis/BlockFilter.h"

#include <vector>

struct IirCoefficients {
    std::vector<double> b;         // numerator b[0..P]
    std::vector<double> feedback;  // negated feedback a'[1..P]: y[i] = sum b x + sum a' y
    int order() const { return static_cast<int>(b.size()) - 1; }
};

class BlockIirFilter : public BlockFilter {
public:
    BlockIirFilter(IirCoefficients coefficients, int context, bool twoPasses, int passCount);
    void apply(const BlockWindow &window, std::int16_t *out) const override;
    void applyGroup(const BlockWindow *windows, int count, std::int16_t *const *outs) const override;

private:
    // Filters L channels' windows side by side.
    template <int L>
    void run(const BlockWindow *windows, std::int16_t *const *outs) const;

    IirCoefficients c_;
    int context_;
    bool twoPasses_;
    int passCount_;
};

// The review chain's recursive filters, with their coefficients as designed.
namespace ReviewIir {
IirCoefficients driftHighPass500();  // order 2
IirCoefficients notch1000();         // order 4, zeros at 50 and 100 Hz
IirCoefficients notch500();          // order 4, zeros at 50 and 100 Hz
IirCoefficients baseline1000();      // order 3
IirCoefficients baseline500();       // order 4
}  // namespace ReviewIir
