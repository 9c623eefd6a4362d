#pragma once
// Locates the waves of one beat in one lead on the wavelet scales: the QRS
// (polarity, R, Q, S, onset, offset) on scale 2^2, P and T on scale 2^4.

#include "analysis/DetectionThresholds.h"
#include "analysis/LeadDetection.h"

#include <cstdint>
#include <vector>

class ScaleWindow;

class WavePointLocator {
public:
    explicit WavePointLocator(int rate);

    // `previous` and `next` are the neighbouring beats' fiducials (kUnset
    // when there is none); `rrSeconds` is the interval to the next beat.
    LeadDetection locate(const ScaleWindow &scales, std::int64_t fiducial, std::int64_t previous, std::int64_t next,
                         double rrSeconds, const DetectionThresholds &thresholds);

    // How far before the fiducial the scales are read (after it, no further
    // than the next beat or 0.6 s).
    int lookBehind() const { return lookBehind_; }

    // P and T extrema count when above these fractions of the scale 2^4 RMS.
    static constexpr double kPFraction = 0.1;
    static constexpr double kTFraction = 0.2;

    struct Extremum {
        std::int64_t at;
        int value;
    };

private:
    // Strict extrema of scale k in [first, last], consecutive ones of one sign
    // merged into the larger.
    void collect(const ScaleWindow &scales, int k, std::int64_t first, std::int64_t last);
    void locateQrs(const ScaleWindow &scales, std::int64_t fiducial, double threshold, LeadDetection &d);
    void locateT(const ScaleWindow &scales, std::int64_t first, std::int64_t last, double threshold, LeadDetection &d);
    void locateP(const ScaleWindow &scales, std::int64_t first, std::int64_t last, double threshold, LeadDetection &d);

    int rate_;
    int qrsHalfWidth_;    // 0.1 s
    int edgeMargin_;      // 5 ms beyond the outer QRS extrema
    int defaultHalfQrs_;  // 40 ms each side when no QRS extremum stands out
    int tMargin_;         // 20 ms beyond the T extrema
    int pGap_;            // 20 ms between the P window and the QRS onset
    int lookBehind_;
    std::vector<Extremum> extrema_;
};

// Where scale k changes sign between two extrema of opposite sign: the first
// index past `from` that leaves the sign of `from` (the middle of a run of
// zeros). With the scales centred half a sample ahead, that index is the
// sample nearest the turning point of the signal.
std::int64_t zeroCrossing(const ScaleWindow &scales, int k, std::int64_t from, std::int64_t to);
