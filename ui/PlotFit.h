#pragma once
// The ranges that show a whole series: its extent widened by 5 % on each
// side. Samples that are not finite numbers are left out.

#include "ui/PlotGeometry.h"
#include "ui/PlotSeries.h"

#include <optional>

namespace PlotFit {

// Empty when the series has no finite time.
std::optional<PlotRange> timeRange(const PlotSeries &series);

// Empty when the series has no finite value. Equal values give ±1 % of the
// value around it (nothing to show for a series of zeros).
std::optional<PlotRange> valueRange(const PlotSeries &series);

}  // namespace PlotFit
