// Equality-constrained least squares over a cosine basis, solved through
// its KKT system by Gaussian elimination.
#include "LeastSquares.h"

#include <cmath>
#include <utility>

namespace firdesign {

namespace {

using Matrix = std::vector<std::vector<double>>;

// Distances of the folded taps from the centre: 0, 1, 2 ... for odd lengths,
// 0.5, 1.5 ... for even ones.
std::vector<double> basisRow(int length, double frequency, double rate) {
    const int count = (length + 1) / 2;
    const double offset = length % 2 == 1 ? 0.0 : 0.5;
    std::vector<double> row(count);
    for (int d = 0; d < count; ++d) row[d] = std::cos(2.0 * kPi * frequency * (d + offset) / rate);
    return row;
}

std::vector<double> angularDistances(int length, double rate) {
    const int count = (length + 1) / 2;
    const double offset = length % 2 == 1 ? 0.0 : 0.5;
    std::vector<double> omega(count);
    for (int d = 0; d < count; ++d) omega[d] = 2.0 * kPi * (d + offset) / rate;
    return omega;
}

// Integral of cos(w f) df over [from, to].
double cosineIntegral(double w, double from, double to) {
    if (w == 0.0) return to - from;
    return (std::sin(w * to) - std::sin(w * from)) / w;
}

std::optional<std::vector<double>> solve(Matrix a, std::vector<double> b) {
    // Raw row pointers in the inner loops: unoptimised builds run this at
    // build time, and element access through operator[] is not inlined there.
    const int n = static_cast<int>(b.size());
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-300) return std::nullopt;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        const double *pivotRow = a[col].data();
        for (int r = col + 1; r < n; ++r) {
            double *row = a[r].data();
            const double factor = row[col] / pivotRow[col];
            if (factor == 0.0) continue;
            for (int c = col; c < n; ++c) row[c] -= factor * pivotRow[c];
            b[r] -= factor * b[col];
        }
    }
    std::vector<double> x(n);
    for (int r = n - 1; r >= 0; --r) {
        const double *row = a[r].data();
        double s = b[r];
        for (int c = r + 1; c < n; ++c) s -= row[c] * x[c];
        x[r] = s / row[r];
    }
    return x;
}

}  // namespace

std::optional<Taps> designLeastSquares(const LeastSquaresProblem &problem) {
    const int length = problem.length;
    const int count = (length + 1) / 2;
    const bool odd = length % 2 == 1;
    const int constraints = static_cast<int>(problem.exactGains.size()) + (problem.centreTap && odd ? 1 : 0);
    const int n = count + constraints;
    Matrix kkt(n, std::vector<double>(n, 0.0));
    std::vector<double> rhs(n, 0.0);

    // The band integrals of products of cosines have closed forms, so the
    // normal equations are exact and cost no frequency grid.
    const std::vector<double> omega = angularDistances(length, problem.rate);
    for (const Band &band : problem.bands) {
        for (int i = 0; i < count; ++i) {
            rhs[i] += band.weight * band.desired * cosineIntegral(omega[i], band.from, band.to);
            for (int j = 0; j < count; ++j)
                kkt[i][j] += band.weight * 0.5 *
                             (cosineIntegral(omega[i] - omega[j], band.from, band.to) +
                              cosineIntegral(omega[i] + omega[j], band.from, band.to));
        }
    }
    int r = count;
    for (const GainPoint &point : problem.exactGains) {
        const std::vector<double> row = basisRow(length, point.frequency, problem.rate);
        for (int j = 0; j < count; ++j) kkt[r][j] = kkt[j][r] = row[j];
        rhs[r++] = point.gain;
    }
    if (problem.centreTap && odd) {
        kkt[r][0] = kkt[0][r] = 1.0;
        rhs[r++] = *problem.centreTap;
    }

    const std::optional<std::vector<double>> x = solve(kkt, rhs);
    if (!x) return std::nullopt;

    // Unfold: the centre coefficient is the centre tap, every other one is
    // shared by the mirrored pair.
    Taps taps(length);
    const int half = length / 2;
    for (int d = 0; d < count; ++d) {
        if (odd && d == 0) {
            taps[half] = (*x)[0];
        } else {
            const int upper = half + d;
            taps[upper] = (*x)[d] / 2.0;
            taps[length - 1 - upper] = (*x)[d] / 2.0;
        }
    }
    if (problem.centreTap && odd) taps[half] = *problem.centreTap;
    return taps;
}

}  // namespace firdesign
