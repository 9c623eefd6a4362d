#pragma once
// The values a resting study keeps from its measurement: the interval markers
// of the measurement lead relative to R, the mean RR and the frontal QRS axis.

#include "analysis/ResultNames.h"

#include <QString>
#include <utility>
#include <vector>

// Frontal-plane QRS axis in degrees from the averages of leads I and III over
// [qrsOnset, qrsEnd): each lead's net deflection from the onset level gives
// atan2(2 net_III + net_I, sqrt(3) net_I). kNoAxis when a lead is missing
// (empty), the limits are unset (0), out of order or beyond either average,
// or when both leads are flat over the QRS.
constexpr double kNoAxis = -999.0;
double qrsAxis(const std::vector<double> &averageI, const std::vector<double> &averageIII, int qrsOnset, int qrsEnd);

struct RestingValues {
    int measurementChannel = -1;
    // Marker times in seconds relative to R (the marker's time in the average
    // minus 0.3 s); 0 when the marker was not found.
    double pOnset = 0.0;
    double qrsOnset = 0.0;
    double qrsOffset = 0.0;
    double tOffset = 0.0;
    double avgRrInterval = 0.0;  // seconds
    double qrsAxis = kNoAxis;

    // Under the names the results store keeps them.
    std::vector<std::pair<ResultName, double>> entries() const;
};

// Measures lead `measurementChannel` of `averages` (one per channel, at `rate`
// samples/s, R at 0.3 s) and takes the axis from the channels named "I" and
// "III" over the measured QRS. `meanRrSeconds` is the averages' mean RR.
RestingValues restingValues(const std::vector<std::vector<double>> &averages, const std::vector<QString> &channelNames,
                            int rate, int measurementChannel, double meanRrSeconds);
