#pragma once
// Wave delineation of an average beat at 250 samples/s on its wavelet scales:
// the QRS limits and R, Q, S points that ST measurement needs, and the P and T
// waves. Positions are samples of the average; 0 means not found.

#include <vector>

struct AverageDelineation {
    int pOnset = 0;
    int pPeak = 0;
    int pEnd = 0;
    int qrsOnset = 0;
    int r = 0;  // zero crossing of scale 2^2 between the main QRS slopes
    int q = 0;  // wave before the main one, when the onset search found one
    int s = 0;  // wave after the main one, when the end search found one
    int qrsEnd = 0;
    int tOnset = 0;
    int tPeak = 0;
    int tEnd = 0;
};

// `average` at 250 samples/s with its R peak near `rPosition`;
// `expectedRrSamples` is the cycle length in samples (0 or less when unknown,
// which leaves the P and T windows at their widest).
AverageDelineation delineateAverage(const std::vector<double> &average, int rPosition, int expectedRrSamples);
