#pragma once
// The study's blood-pressure readings as one plot series of pairs: sample
// 2k is the k-th systolic value and 2k + 1 the diastolic of the same
// reading, both at its time, which the paired-segment style draws as one
// bar per reading. Looks the trends up on every access, like TrendSeries.

#include "analysis/StudyResults.h"
#include "ui/PlotSeries.h"

class PressurePairSeries : public PlotSeries {
public:
    explicit PressurePairSeries(const StudyResults &results);

    // Twice the number of complete readings.
    int count() const override;
    double time(int index) const override;
    double value(int index) const override;

private:
    const StudyResults &results_;
};
