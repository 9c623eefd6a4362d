#pragma once
// A plot series over two vectors, counting its reads so a test can tell
// whether the plot touched its data.

#include "ui/PlotSeries.h"

#include <vector>

class VectorSeries : public PlotSeries {
public:
    VectorSeries() = default;
    VectorSeries(std::vector<double> times, std::vector<double> values)
        : times_(std::move(times)), values_(std::move(values)) {}

    int count() const override {
        ++reads;
        return static_cast<int>(times_.size());
    }
    double time(int i) const override {
        ++reads;
        return times_.at(static_cast<std::size_t>(i));
    }
    double value(int i) const override {
        ++reads;
        return values_.at(static_cast<std::size_t>(i));
    }

    mutable long reads = 0;

private:
    std::vector<double> times_;
    std::vector<double> values_;
};
