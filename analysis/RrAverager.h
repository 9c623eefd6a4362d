#pragma once
// The last eight RR intervals and their mean, the base of the heart rate.
// Non-positive entries (no RR, or cleared) are left out of the mean.

#include <array>

class RrAverager {
public:
    static constexpr int kSize = 8;

    // Mean of the positive entries held before `rr` is stored (0 when there
    // are none); that mean also becomes current().
    double push(double rr);
    // Every entry and the current mean back to 0.
    void clear();

    double current() const { return current_; }
    int positiveCount() const;

private:
    double meanOfPositive() const;

    std::array<double, kSize> entries_{};
    int next_ = 0;
    double current_ = 0.0;
};
