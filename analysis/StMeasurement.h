#pragma once
// ST level and slope of one lead's average beat, measured between the
// isoelectric point, the J point and the point 80 ms after the QRS end.

#include <vector>

struct StMeasurement {
    bool valid = false;  // false when the QRS limits were not found
    double level = 0.0;  // J point minus isoelectric point, mV
    double slope = 0.0;  // from J to J + 80 ms, mV/s
    // Isoelectric, J and ST points in samples of the given average (0 when
    // not valid), for the display markers.
    int isoelectric = 0;
    int j = 0;
    int st = 0;
};

// `average` at `rate` samples/s with its R peak at 0.3 s; `rrSeconds` the
// expected cycle length (0 when unknown); `unitMv` the value of one sample
// unit. Averages at 500/s or more are first reduced to 250/s by group means.
StMeasurement measureSt(const std::vector<double> &average, int rate, double rrSeconds, double unitMv);

// Smooths a lead's ST values over the current and the two preceding beats
// (fewer while the first beats arrive).
class StSmoother {
public:
    double add(double value);
    void reset() { count_ = next_ = 0; }

private:
    double held_[3] = {0.0, 0.0, 0.0};
    int count_ = 0;  // values held, at most three
    int next_ = 0;   // slot the next value replaces
};
