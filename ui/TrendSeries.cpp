#include "ui/TrendSeries.h"

#include <algorithm>

TrendSeries::TrendSeries(const StudyResults &results, const ResultName &trendName)
    : results_(results), name_(trendName) {}

int TrendSeries::count() const {
    // A trend holds times and values side by side; should they ever differ
    // in length, only the complete pairs are samples.
    const std::size_t n = std::min(results_.times(name_).size(), results_.values(name_).size());
    return static_cast<int>(n);
}

double TrendSeries::time(int index) const { return results_.times(name_)[static_cast<std::size_t>(index)]; }

double TrendSeries::value(int index) const { return results_.values(name_)[static_cast<std::size_t>(index)]; }
