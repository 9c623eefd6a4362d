#pragma once
// The samples a trend plot reads: a time (seconds, non-decreasing in the
// index) and a value per sample. The plot never owns its series.

class PlotSeries {
public:
    virtual ~PlotSeries() = default;
    virtual int count() const = 0;
    virtual double time(int index) const = 0;
    virtual double value(int index) const = 0;
};

// Index of the first sample whose time is not before `seconds`; the count
// when there is none. Binary search, so it relies on the time order.
int firstSampleNotBefore(const PlotSeries &series, double seconds);
