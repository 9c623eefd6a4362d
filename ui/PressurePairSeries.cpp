#include "ui/PressurePairSeries.h"

#include <algorithm>

namespace {
const ResultName kSystolic = Result::SysBpTrend;
const ResultName kDiastolic = Result::DiaBpTrend;
}  // namespace

PressurePairSeries::PressurePairSeries(const StudyResults &results) : results_(results) {}

int PressurePairSeries::count() const {
    const std::size_t readings = std::min(
        {results_.times(kSystolic).size(), results_.values(kSystolic).size(), results_.values(kDiastolic).size()});
    return 2 * static_cast<int>(readings);
}

double PressurePairSeries::time(int index) const {
    return results_.times(kSystolic)[static_cast<std::size_t>(index / 2)];
}

double PressurePairSeries::value(int index) const {
    const ResultName &trend = index % 2 == 0 ? kSystolic : kDiastolic;
    return results_.values(trend)[static_cast<std::size_t>(index / 2)];
}
