#pragma once
// What the summary file reports: the input, the beat counts and rate, and the
// resting measurements of the average beat, which the analysis fills in.

#include "analysis/GlobalMeasurement.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// The average beat's wave limits in one lead, in milliseconds relative to its
// R peak (negative before it); unset when the analysis did not find the wave.
struct LeadRestingMeasurements {
    QString lead;  // channel table name
    std::optional<double> pOnsetMs;
    std::optional<double> qrsOnsetMs;
    std::optional<double> qrsOffsetMs;
    std::optional<double> tOffsetMs;
};

// Measurements of the average (median) beat over the recording.
struct RestingMeasurements {
    std::optional<double> qrsAxisDegrees;        // frontal plane, from the limb leads
    std::vector<LeadRestingMeasurements> leads;  // in channel table order
    GlobalMeasurement global;                    // all leads together
};

struct BeatCounts {
    std::int64_t total = 0;
    std::int64_t normal = 0;
    std::int64_t premature = 0;
    std::optional<double> meanHeartRateBpm;  // needs two beats
};

struct InputDescription {
    QString source;
    double inputRate = 0.0;
    int analysisRate = 0;
    double seconds = 0.0;
    QStringList channels;         // table channels the input has
    QStringList missingChannels;  // table channels it lacks
    QStringList unmappedLeads;    // its leads that are not table channels
};

struct BeatSummary {
    InputDescription input;
    BeatCounts beats;
    RestingMeasurements average;
};
