#pragma once
// The dyadic wavelet filters of the QRS detector, scales 2^1..2^4, built from
// the quadratic-spline low-pass h and the high-pass g of the a-trous scheme.

#include <vector>

namespace WaveletTables {

constexpr int kScaleCount = 4;

// Taps of scale 2^k (k = 1..4) in the order of the stream FIR formula
// y[m] = sum q[i] x[m + D - i]: h * h^2 * ... * h^(2^(k-2)) * g^(2^(k-1)),
// where ^m spreads a filter by putting m - 1 zeros between its taps.
// Lengths 2, 6, 14, 30; every table is antisymmetric.
std::vector<double> taps(int scale);

// The delay D that centres scale k on its input: half the table length.
int delay(int scale);

}  // namespace WaveletTables
