#pragma once
// A trend of the study's named results (the heart-rate trend, a lead's ST
// level trend, ...) as a plot series. It looks the trend up by name on every access, so it
// stays valid when the results are cleared or reloaded; it does not own
// the results, which must outlive it.

#include "analysis/StudyResults.h"
#include "ui/PlotSeries.h"

class TrendSeries : public PlotSeries {
public:
    TrendSeries(const StudyResults &results, const ResultName &trendName);

    const ResultName &name() const { return name_; }
    int count() const override;
    double time(int index) const override;
    double value(int index) const override;

private:
    const StudyResults &results_;
    ResultName name_;
};
