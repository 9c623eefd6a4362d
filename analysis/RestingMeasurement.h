#pragma once
// Interval markers of a resting ECG, measured on the average beat of the
// measurement lead: P limits and peak, QRS limits, T limits and peak.
// Positions are samples of the given average; 0 means not found.

#include <vector>

struct RestingMarkers {
    int pOnset = 0;
    int pPeak = 0;
    int pEnd = 0;
    int qrsOnset = 0;
    int qrsEnd = 0;
    int tOnset = 0;
    int tPeak = 0;
    int tEnd = 0;
};

// `average` at `rate` samples/s (sample units) with its R peak at `rPosition`;
// `meanRrSamples` is the average's mean RR in samples at that rate (0 or less
// when unknown, which leaves the P and T windows unbounded by the cycle).
RestingMarkers measureRest(const std::vector<double> &average, int rate, int rPosition, double meanRrSamples);
