#pragma once
// A trend of the study's named results ("BPMTrend", "STLevelTrend(3)", ...)
// as a plot series. It looks the trend up by name on every access, so it
// stays valid when the results are cleared or reloaded; it does not own
// the results, which must outlive it.

#include "analysis/StudyResults.h"
#include "ui/PlotSeries.h"

#include <QString>

class TrendSeries : public PlotSeries {
public:
    TrendSeries(const StudyResults &results, const QString &trendName);

    const QString &name() const { return name_; }
    int count() const override;
    double time(int index) const override;
    double value(int index) const override;

private:
    const StudyResults &results_;
    QString name_;
};
