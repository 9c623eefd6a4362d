#pragma once
// Computes a run of consecutive FIR outputs from one contiguous input window,
// folding mirrored taps of symmetric tables so each pair costs one multiply.

#include <vector>

class FirKernel {
public:
    FirKernel(const double *taps, int length);

    int length() const { return static_cast<int>(taps_.size()); }
    bool symmetric() const { return symmetric_; }

    // out[t] = sum over k of h[k] * window[stride * t + length - 1 - k], for
    // t in [0, n): `window` points at the oldest sample of output 0's window.
    void run(const double *window, int n, int stride, double *out) const;

private:
    void runFolded(const double *window, int n, double *out) const;
    void runGeneral(const double *window, int n, double *out) const;
    void runStrided(const double *window, int n, int stride, double *out) const;

    std::vector<double> taps_;
    std::vector<double> folded_;  // h[k] paired with h[L - 1 - k], k < L / 2
    bool symmetric_;
};
