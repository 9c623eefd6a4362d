#pragma once
// The smooth pulse shapes the beats are built from. All have compact support,
// so a wave is exactly zero outside its interval: the isoelectric PR segment
// and the ST measuring point are untouched by the tails of neighbouring waves.

#include <cmath>

struct Vector3 {
    double x = 0.0;  // towards the patient's left
    double y = 0.0;  // towards the feet
    double z = 0.0;  // towards the front of the chest
};

inline Vector3 operator*(double factor, const Vector3 &v) { return {factor * v.x, factor * v.y, factor * v.z}; }
inline Vector3 operator+(const Vector3 &a, const Vector3 &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 operator-(const Vector3 &a, const Vector3 &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline double dot(const Vector3 &a, const Vector3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double length(const Vector3 &v) { return std::sqrt(dot(v, v)); }

namespace WaveShapes {

// Symmetric bell (1 - u^2)^4 on |u| < 1, peak 1 at the centre: Gaussian-like
// but ends with zero value and slope.
inline double bell(double t, double centre, double halfWidth) {
    const double u = (t - centre) / halfWidth;
    if (u <= -1.0 || u >= 1.0) return 0.0;
    const double w = 1.0 - u * u;
    const double w2 = w * w;
    return w2 * w2;
}

// Asymmetric hump u^rise (1 - u)^fall on [onset, end], scaled to peak 1.
// A larger rise than fall gives the slow upstroke and quicker return of a
// repolarisation wave.
inline double hump(double t, double onset, double end, double rise, double fall) {
    if (t <= onset || t >= end) return 0.0;
    const double u = (t - onset) / (end - onset);
    const double peakAt = rise / (rise + fall);
    const double peak = std::pow(peakAt, rise) * std::pow(1.0 - peakAt, fall);
    return std::pow(u, rise) * std::pow(1.0 - u, fall) / peak;
}

// 0 before `from`, 1 after `to`, with zero slope and curvature at both ends.
inline double smoothRamp(double t, double from, double to) {
    if (t <= from) return 0.0;
    if (t >= to) return 1.0;
    const double u = (t - from) / (to - from);
    return u * u * u * (u * (6.0 * u - 15.0) + 10.0);
}

}  // namespace WaveShapes
