#include "analysis/FirKernel.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>

FirKernel::FirKernel(const double *taps, int length) : taps_(taps, taps + (length > 0 ? length : 0)) {
    if (length <= 0) throw std::invalid_argument("A FIR table needs at least one tap");
    // Tables designed symmetric can differ in the last bits between mirrored
    // taps, from the arithmetic that made them; such pairs are folded with
    // their mean, a change far below the rounding of the sums themselves.
    double largest = 0.0;
    for (double h : taps_) largest = std::max(largest, std::fabs(h));
    symmetric_ = true;
    for (int k = 0; k < length / 2; ++k)
        if (std::fabs(taps_[k] - taps_[length - 1 - k]) > 1e-12 * largest) symmetric_ = false;
    if (symmetric_)
        for (int k = 0; k < length / 2; ++k) folded_.push_back(0.5 * (taps_[k] + taps_[length - 1 - k]));
}

void FirKernel::run(const double *window, int n, int stride, double *out) const {
    if (n <= 0) return;
    if (stride != 1)
        runStrided(window, n, stride, out);
    else if (symmetric_)
        runFolded(window, n, out);
    else
        runGeneral(window, n, out);
}

// Tap-outer loops: for one tap the reads of consecutive outputs are
// consecutive samples, so the inner loops vectorise with each output's sum
// kept in its own lane (no reassociation across outputs is needed).
void FirKernel::runFolded(const double *window, int n, double *__restrict out) const {
    const int length = this->length();
    const int half = length / 2;
    if (length % 2 == 1) {
        const double centre = taps_[half];
        const double *__restrict x = window + half;
        for (int t = 0; t < n; ++t) out[t] = centre * x[t];
    } else {
        for (int t = 0; t < n; ++t) out[t] = 0.0;
    }
    // Four tap pairs per pass over the outputs: a quarter of the loads and
    // stores of the running sums.
    int k = 0;
    for (; k + 4 <= half; k += 4) {
        const double h0 = folded_[k], h1 = folded_[k + 1], h2 = folded_[k + 2], h3 = folded_[k + 3];
        const double *__restrict newer = window + (length - 1 - k);
        const double *__restrict older = window + k;
        for (int t = 0; t < n; ++t)
            out[t] += h0 * (newer[t] + older[t]) + h1 * (newer[t - 1] + older[t + 1]) +
                      h2 * (newer[t - 2] + older[t + 2]) + h3 * (newer[t - 3] + older[t + 3]);
    }
    for (; k < half; ++k) {
        const double hk = folded_[k];
        const double *__restrict newer = window + (length - 1 - k);
        const double *__restrict older = window + k;
        for (int t = 0; t < n; ++t) out[t] += hk * (newer[t] + older[t]);
    }
}

void FirKernel::runGeneral(const double *window, int n, double *__restrict out) const {
    const int length = this->length();
    const double *h = taps_.data();
    for (int t = 0; t < n; ++t) out[t] = 0.0;
    for (int k = 0; k < length; ++k) {
        const double hk = h[k];
        const double *__restrict x = window + (length - 1 - k);
        for (int t = 0; t < n; ++t) out[t] += hk * x[t];
    }
}

void FirKernel::runStrided(const double *window, int n, int stride, double *__restrict out) const {
    const int length = this->length();
    const double *h = taps_.data();
    for (int t = 0; t < n; ++t) {
        const double *x = window + static_cast<std::ptrdiff_t>(stride) * t + (length - 1);
        double sum = 0.0;
        for (int k = 0; k < length; ++k) sum += h[k] * x[-k];
        out[t] = sum;
    }
}
