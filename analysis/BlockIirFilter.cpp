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
//
// L channels run side by side, their samples interleaved (x[i] of lane l at
// i * L + l): each lane does exactly the arithmetic of a lone channel, in
// the same order, so its result is the same to the bit, while the
// processor overlaps the lanes' independent recursions, which alone would
// wait on each multiply-add.

// The numerator over the input, forward (x[i-k]) or backward (x[i+k]). The
// lanes are interleaved, so one flat loop covers them all, each element
// with its own lane's samples.
template <int P, int L, int Step>
void numerator(const double *b, const double *in, double *out, int lo, int hi) {
    for (int m = lo * L; m < hi * L; ++m) {
        double u = b[0] * in[m];
        for (int k = 1; k <= P; ++k) u += b[k] * in[m - Step * k * L];
        out[m] = u;
    }
}

// The recursion, forward (Step 1) or backward (Step -1), in place over the
// numerator's result. The last P outputs of each lane stay in locals: read
// back from memory, each sample would also wait on a store.
template <int P, int L, int Step>
void recursion(const double *a, double *out, int lo, int hi) {
    const int begin = Step > 0 ? lo : hi - 1;
    double y[P + 1][L];  // y[k][l]: the output k steps back of lane l
    for (int k = 1; k <= P; ++k)
        for (int l = 0; l < L; ++l) y[k][l] = out[(begin - Step * k) * L + l];
    for (int i = begin, left = hi - lo; left > 0; i += Step, --left) {
        for (int l = 0; l < L; ++l) {
            double older = 0.0;
            for (int k = P; k >= 2; --k) older += a[k] * y[k][l];
            y[0][l] = (out[i * L + l] + older) + a[1] * y[1][l];
            out[i * L + l] = y[0][l];
        }
        for (int k = P; k >= 1; --k)
            for (int l = 0; l < L; ++l) y[k][l] = y[k - 1][l];
    }
}

#if defined(__GNUC__)
// Pairs of lanes in one vector register: the same operations on each
// element as above, two at a time.
typedef double Pair __attribute__((vector_size(16)));

inline Pair loadPair(const double *p) {
    Pair v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

inline void storePair(double *p, Pair v) { __builtin_memcpy(p, &v, sizeof v); }

template <int P, int L, int Step>
void pairedRecursion(const double *a, double *out, int lo, int hi) {
    constexpr int V = L / 2;
    const int begin = Step > 0 ? lo : hi - 1;
    Pair coefficient[P + 1];
    for (int k = 1; k <= P; ++k) coefficient[k] = Pair{a[k], a[k]};
    Pair y[P + 1][V];
    for (int k = 1; k <= P; ++k)
        for (int v = 0; v < V; ++v) y[k][v] = loadPair(out + (begin - Step * k) * L + 2 * v);
    for (int i = begin, left = hi - lo; left > 0; i += Step, --left) {
        for (int v = 0; v < V; ++v) {
            Pair older = Pair{0.0, 0.0};
            for (int k = P; k >= 2; --k) older += coefficient[k] * y[k][v];
            y[0][v] = (loadPair(out + i * L + 2 * v) + older) + coefficient[1] * y[1][v];
            storePair(out + i * L + 2 * v, y[0][v]);
        }
        for (int k = P; k >= 1; --k)
            for (int v = 0; v < V; ++v) y[k][v] = y[k - 1][v];
    }
}
#endif

template <int P, int L, int Step>
void pass(const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    numerator<P, L, Step>(b, in, out, lo, hi);
#if defined(__GNUC__)
    if (L % 2 == 0) return pairedRecursion<P, L, Step>(a, out, lo, hi);
#endif
    recursion<P, L, Step>(a, out, lo, hi);
}

template <int P, int L>
void forwardPass(const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    pass<P, L, 1>(b, a, in, out, lo, hi);
}

template <int P, int L>
void backwardPass(const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    pass<P, L, -1>(b, a, in, out, lo, hi);
}

template <int L>
void forwardGeneric(int order, const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    for (int i = lo; i < hi; ++i)
        for (int l = 0; l < L; ++l) {
            double y = b[0] * in[i * L + l];
            for (int k = 1; k <= order; ++k) y += a[k] * out[(i - k) * L + l] + b[k] * in[(i - k) * L + l];
            out[i * L + l] = y;
        }
}

template <int L>
void backwardGeneric(int order, const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    for (int j = hi - 1; j >= lo; --j)
        for (int l = 0; l < L; ++l) {
            double y = b[0] * in[j * L + l];
            for (int k = 1; k <= order; ++k) y += a[k] * out[(j + k) * L + l] + b[k] * in[(j + k) * L + l];
            out[j * L + l] = y;
        }
}

template <int L>
void forwardAny(int order, const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    switch (order) {
    case 1: return forwardPass<1, L>(b, a, in, out, lo, hi);
    case 2: return forwardPass<2, L>(b, a, in, out, lo, hi);
    case 3: return forwardPass<3, L>(b, a, in, out, lo, hi);
    case 4: return forwardPass<4, L>(b, a, in, out, lo, hi);
    default: return forwardGeneric<L>(order, b, a, in, out, lo, hi);
    }
}

template <int L>
void backwardAny(int order, const double *b, const double *a, const double *in, double *out, int lo, int hi) {
    switch (order) {
    case 1: return backwardPass<1, L>(b, a, in, out, lo, hi);
    case 2: return backwardPass<2, L>(b, a, in, out, lo, hi);
    case 3: return backwardPass<3, L>(b, a, in, out, lo, hi);
    case 4: return backwardPass<4, L>(b, a, in, out, lo, hi);
    default: return backwardGeneric<L>(order, b, a, in, out, lo, hi);
    }
}

// Zeroes samples lo .. hi-1 of every lane.
template <int L>
void zero(double *data, int lo, int hi) {
    if (hi > lo) std::fill(data + lo * L, data + hi * L, 0.0);
}

}  // namespace

BlockIirFilter::BlockIirFilter(IirCoefficients coefficients, int context, bool twoPasses, int passCount)
    : c_(std::move(coefficients)), context_(context), twoPasses_(twoPasses), passCount_(std::max(1, passCount)) {}

void BlockIirFilter::apply(const BlockWindow &window, std::int16_t *out) const { run<1>(&window, &out); }

void BlockIirFilter::applyGroup(const BlockWindow *windows, int count, std::int16_t *const *outs) const {
    // Four lanes keep the two floating-point units busy; more only add
    // pressure on registers and cache.
    while (count > 0) {
        const int lanes = count >= 4 ? 4 : count >= 2 ? 2 : 1;
        if (lanes == 4)
            run<4>(windows, outs);
        else if (lanes == 2)
            run<2>(windows, outs);
        else
            run<1>(windows, outs);
        windows += lanes;
        outs += lanes;
        count -= lanes;
    }
}

template <int L>
void BlockIirFilter::run(const BlockWindow *windows, std::int16_t *const *outs) const {
    const int n = windows[0].n;
    const int P = c_.order();
    const int C = context_;
    // Work arrays over indices lo .. hi-1 = -C-P .. n+C+P-1, L lanes each.
    // Only the guard cells a pass reads before writing are cleared.
    const int lo = -C - P;
    const int hi = n + C + P;
    const std::size_t size = static_cast<std::size_t>(hi - lo) * L;
    // The work arrays are kept per thread from block to block: fresh ones of
    // this size come from the system each time, and touching their pages
    // first cost as much as the filtering.
    thread_local std::vector<double> work;
    if (work.size() < 3 * size) work.resize(3 * size);
    double *storage[3] = {work.data(), work.data() + size, work.data() + 2 * size};
    double *buffers[3] = {storage[0] - lo * L, storage[1] - lo * L, storage[2] - lo * L};
    if (L == 1) {
        windows[0].copyTo(buffers[0], lo, hi);
    } else {
        // One lane at a time into the next buffer, then interleaved.
        double *scratch = storage[1] - lo;
        for (int l = 0; l < L; ++l) {
            windows[l].copyTo(scratch, lo, hi);
            for (int i = lo; i < hi; ++i) buffers[0][i * L + l] = scratch[i];
        }
    }

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
        zero<L>(w, lo, -C);  // w is 0 before -C
        forwardAny<L>(P, b, aPtr, buffers[input], w, -C, n + C);
        if (!twoPasses_) {
            input = forward;
            continue;
        }
        // The backward pass starts from rest beyond n+C-1 and reads the
        // forward result as 0 there; it yields indices 0 .. n+C-1 only, so a
        // further pass sees 0 before index 0.
        const int backward = (forward + 1) % 3;
        double *v = buffers[backward];
        zero<L>(w, n + C, hi);
        zero<L>(v, n + C, hi);
        backwardAny<L>(P, b, aPtr, w, v, 0, n + C);
        zero<L>(v, lo, 0);
        input = backward;
    }
    const double *result = buffers[input];
    for (int l = 0; l < L; ++l)
        for (int j = 0; j < n; ++j) outs[l][j] = SignalSource::toSample16(result[j * L + l]);
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
