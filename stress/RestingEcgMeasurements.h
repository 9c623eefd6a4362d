#pragma once
// What a resting ECG stores and shows of its take: the resting values of the
// measurement lead and the global 12-lead measurement, both from the take's
// own average beats, and the monitor's one-line table of them.

#include "analysis/GlobalMeasurement.h"
#include "analysis/RestingValues.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class AverageBeatBuilder;

struct RestingEcgMeasurements {
    RestingValues resting;
    GlobalMeasurement global;
    // Beats the averages were built from; 0 means nothing was measured.
    int beatCount = 0;

    // The resting values, then the global ones, under the names the study
    // keeps them.
    std::vector<std::pair<ResultName, double>> entries() const;

    // Heart rate, PR, P, QRS, QT, QTc (Bazett) and the P, QRS and T axes:
    // the column titles, and the values in whole beats/min, milliseconds and
    // degrees, "-" where nothing was measured.
    static QStringList tableHeaders();
    QStringList tableValues() const;
};

// The measurement lead of a resting ECG: "II" when the recording has it,
// else the first channel.
int restingMeasurementLead(const std::vector<QString> &channelNames);

// Measures `averages` (built at `rate` samples/s from the take's beats; one
// average per channel, named by `channelNames`).
RestingEcgMeasurements measureRestingEcg(AverageBeatBuilder &averages, const std::vector<QString> &channelNames,
                                         int rate);
