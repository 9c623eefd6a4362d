// Windows, responses and root finding for the FIR table generator.
#include "DesignMath.h"

#include <algorithm>
#include <cmath>

namespace firdesign {

namespace {

double besselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    const double halfX = x / 2.0;
    for (int k = 1; k < 500; ++k) {
        term *= (halfX / k) * (halfX / k);
        sum += term;
        if (term < 1e-17 * sum) break;
    }
    return sum;
}

double sinc(double x) { return x == 0.0 ? 1.0 : std::sin(kPi * x) / (kPi * x); }

}  // namespace

std::vector<double> kaiserWindow(int length, double beta) {
    std::vector<double> w(length, 1.0);
    if (length < 2) return w;
    // Position measured from the centre, so mirrored taps get bit-identical
    // weights and the tables come out exactly symmetric.
    const double centre = (length - 1) / 2.0;
    const double norm = besselI0(beta);
    for (int k = 0; k < length; ++k) {
        const double r = (k - centre) / centre;
        w[k] = besselI0(beta * std::sqrt(std::max(0.0, 1.0 - r * r))) / norm;
    }
    return w;
}

Taps windowedLowPass(const std::vector<double> &window, double cutoff, double rate) {
    const int length = static_cast<int>(window.size());
    const double centre = (length - 1) / 2.0;
    Taps h(length);
    double sum = 0.0;
    for (int k = 0; k < length; ++k) {
        h[k] = sinc(2.0 * cutoff / rate * (k - centre)) * window[k];
        sum += h[k];
    }
    for (double &v : h) v /= sum;
    return h;
}

Taps complement(const Taps &lowPass) {
    Taps h(lowPass.size());
    for (size_t k = 0; k < h.size(); ++k) h[k] = -lowPass[k];
    h[h.size() / 2] += 1.0;
    return h;
}

double amplitude(const Taps &taps, double frequency, double rate) {
    // Fold the symmetric halves and sum cos((d + offset) * theta) by the
    // three-term recurrence; the searches evaluate this many thousand times.
    const int length = static_cast<int>(taps.size());
    const int half = length / 2;
    const bool odd = length % 2 == 1;
    const double theta = 2.0 * kPi * frequency / rate;
    const double offset = odd ? 0.0 : 0.5;
    const double twoCos = 2.0 * std::cos(theta);
    double previous = std::cos((offset - 1.0) * theta);
    double current = std::cos(offset * theta);
    const double *upper = taps.data() + half;
    double sum = 0.0;
    for (int d = 0; d < half + (odd ? 1 : 0); ++d) {
        const double weight = (odd && d == 0) ? 1.0 : 2.0;
        sum += weight * upper[d] * current;
        const double next = twoCos * current - previous;
        previous = current;
        current = next;
    }
    return sum;
}

double decibels(double gain) { return 20.0 * std::log10(std::fabs(gain)); }

double gainFromDecibels(double db) { return std::pow(10.0, db / 20.0); }

std::optional<double> solveBracketed(const std::function<double(double)> &f, double lo, double hi, double tolerance) {
    double flo = f(lo);
    double fhi = f(hi);
    if (flo == 0.0) return lo;
    if (fhi == 0.0) return hi;
    if ((flo > 0.0) == (fhi > 0.0)) return std::nullopt;
    int side = 0;
    for (int i = 0; i < 200 && hi - lo > tolerance; ++i) {
        double x = (lo * fhi - hi * flo) / (fhi - flo);
        if (!(x > lo && x < hi)) x = 0.5 * (lo + hi);
        const double fx = f(x);
        if (fx == 0.0) return x;
        if ((fx > 0.0) == (flo > 0.0)) {
            lo = x;
            flo = fx;
            if (side == -1) fhi /= 2.0;  // Illinois: stop one end from sticking
            side = -1;
        } else {
            hi = x;
            fhi = fx;
            if (side == 1) flo /= 2.0;
            side = 1;
        }
    }
    return 0.5 * (lo + hi);
}

std::optional<double> levelCrossing(const std::function<double(double)> &gain, double start, double step, double limit,
                                    double level, double tolerance) {
    const auto excess = [&](double f) { return std::fabs(gain(f)) - level; };
    const bool startAbove = excess(start) > 0.0;
    double previous = start;
    for (double f = start + step; step > 0 ? f <= limit : f >= limit; f += step) {
        if ((excess(f) > 0.0) != startAbove) {
            const double lo = std::min(previous, f);
            const double hi = std::max(previous, f);
            return solveBracketed(excess, lo, hi, tolerance);
        }
        previous = f;
    }
    return std::nullopt;
}

double maxDeviation(const Taps &taps, double rate, double from, double to, double desired) {
    const double step = rate / (4.0 * taps.size());
    double worst = 0.0;
    for (double f = from; f <= to; f += step) worst = std::max(worst, std::fabs(amplitude(taps, f, rate) - desired));
    return std::max(worst, std::fabs(amplitude(taps, to, rate) - desired));
}

}  // namespace firdesign
