#include "analysis/BlockIirFilter.h"

#include "analysis/SignalSource.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

// Each pass is split into the non-recursive part (the numerator over the
// input, a loop the compiler vectorises) and the recursion over the outputs,
// whose dependency chain is kept to one multiply-add per sample by summing
// the older outputs first. P is a template parameter for the orders in use
// so the tap loops unroll.

template <int P>
void forwardPass(const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    for (int i = lo; i < hi; ++i) {
        double u = b[0] * in[i];
        for (int k = 1; k <= P; ++k) u += b[k] * in[i - k];
        out[i] = u;
    }
    for (int i = lo; i < hi; ++i) {
        double older = 0.0;
        for (int k = P; k >= 2; --k) older += a[k] * out[i - k];
        out[i] = (out[i] + older) + a[1] * out[i - 1];
    }
}

template <int P>
void backwardPass(const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    for (int j = lo; j < hi; ++j) {
        double u = b[0] * in[j];
        for (int k = 1; k <= P; ++k) u += b[k] * in[j + k];
        out[j] = u;
    }
    for (int j = hi - 1; j >= lo; --j) {
        double older = 0.0;
        for (int k = P; k >= 2; --k) older += a[k] * out[j + k];
        out[j] = (out[j] + older) + a[1] * out[j + 1];
    }
}

void forwardGeneric(int order, const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    for (int i = lo; i < hi; ++i) {
        double y = b[0] * in[i];
        for (int k = 1; k <= order; ++k) y += a[k] * out[i - k] + b[k] * in[i - k];
        out[i] = y;
    }
}

void backwardGeneric(int order, const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    for (int j = hi - 1; j >= lo; --j) {
        double y = b[0] * in[j];
        for (int k = 1; k <= order; ++k) y += a[k] * out[j + k] + b[k] * in[j + k];
        out[j] = y;
    }
}

void forwardAny(int order, const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    switch (order) {
    case 1: return forwardPass<1>(b, a, in, out, lo, hi);
    case 2: return forwardPass<2>(b, a, in, out, lo, hi);
    case 3: return forwardPass<3>(b, a, in, out, lo, hi);
    case 4: return forwardPass<4>(b, a, in, out, lo, hi);
    default: return forwardGeneric(order, b, a, in, out, lo, hi);
    }
}

void backwardAny(int order, const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    switch (order) {
    case 1: return backwardPass<1>(b, a, in, out, lo, hi);
    case 2: return backwardPass<2>(b, a, in, out, lo, hi);
    case 3: return backwardPass<3>(b, a, in, out, lo, hi);
    case 4: return backwardPass<4>(b, a, in, out, lo, hi);
    default: return backwardGeneric(order, b, a, in, out, lo, hi);
    }
}

void zero(double *data, int lo, int hi) {
    if (hi > lo) std::fill(data + lo, data + hi, 0.0);
}

}  // namespace

BlockIirFilter::BlockIirFilter(IirCoefficients coefficients, int context, bool twoPasses, int passCount)
    : c_(std::move(coefficients)), context_(context), twoPasses_(twoPasses), passCount_(std::max(1, passCount)) {}

void BlockIirFilter::apply(const BlockWindow &window, std::int16_t *out) const {
    const int n = window.n;
    const int P = c_.order();
    const int C = context_;
    // Work arrays over indices lo .. hi-1 = -C-P .. n+C+P-1. Only the guard
    // cells a pass reads before writing are cleared.
    const int lo = -C - P;
    const int hi = n + C + P;
    const std::size_t size = static_cast<std::size_t>(hi - lo);
    std::unique_ptr<double[]> storage[3] = {std::unique_ptr<double[]>(new double[size]),
                                            std::unique_ptr<double[]>(new double[size]),
                                            std::unique_ptr<double[]>(new double[size])};
    double *buffers[3] = {storage[0].get() - lo, storage[1].get() - lo, storage[2].get() - lo};
    window.copyTo(buffers[0], lo, hi);

    double a[16] = {0.0};
    std::vector<double> feedback;
    double *aPtr = a;
    if (P >= 16) {
        feedback.assign(static_cast<std::size_t>(P) + 1, 0.0);
        aPtr = feedback.data();
    }
    std::copy(c_.feedback.begin(), c_.feedback.end(), aPtr + 1);
    const double *b = c_.b.data();

    int input = 0;
    for (int pass = 0; pass < passCount_; ++pass) {
        const int forward = (input + 1) % 3;
        double *w = buffers[forward];
        zero(w, lo, -C);  // w is 0 before -C
        forwardAny(P, b, aPtr, buffers[input], w, -C, n + C);
        if (!twoPasses_) {
            input = forward;
            continue;
        }
        // The backward pass starts from rest beyond n+C-1 and reads the
        // forward result as 0 there; it yields indices 0 .. n+C-1 only, so a
        // further pass sees 0 before index 0.
        const int backward = (forward + 1) % 3;
        double *v = buffers[backward];
        zero(w, n + C, hi);
        zero(v, n + C, hi);
        backwardAny(P, b, aPtr, w, v, 0, n + C);
        zero(v, lo, 0);
        input = backward;
    }
    const double *result = buffers[input];
    for (int j = 0; j < n; ++j) out[j] = SignalSource::toSample16(result[j]);
}

namespace ReviewIir {

IirCoefficients driftHighPass500() {
    return {{0.997781024102941, -1.995562048205882, 0.997781024102941}, {1.995557124345789, -0.995566972065975}};
}

IirCoefficients notch1000() {
    return {{0.975331910638375, -3.433582821317144, 4.952900855244864, -3.433582821317145, 0.975331910638375},
            {3.476732766930921, -4.952592786329411, 3.390432875703367, -0.950971890192202}};
}

IirCoefficients notch500() {
    return {{0.951558090821252, -2.128420753699903, 2.85527558178394, -2.128420753699904, 0.951558090821252},
            {2.181925067619687, -2.854072963143573, 2.07491643978012, -0.904318800282871}};
}

IirCoefficients baseline1000() { return {{0.997131, -2.991393, 2.991393, -0.997131}, {2.994254, -2.988525, 0.994271}}; }

IirCoefficients baseline500() {
    return {{0.987761389276826, -3.951045557107303, 5.926568335660954, -3.951045557107303, 0.987761389276826},
            {3.975371912560921, -5.926418555965424, 3.926719197756786, -0.975672562146085}};
}

}  // namespace ReviewIir
