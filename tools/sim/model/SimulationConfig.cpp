#include "tools/sim/model/SimulationConfig.h"

#include <cmath>
#include <limits>

std::int64_t SimulationConfig::frameCount() const {
    return static_cast<std::int64_t>(std::llround(seconds * samplingRate));
}

namespace SampleFormat {
std::int16_t toSample(double millivolts) {
    const double units = std::round(millivolts / kMillivoltsPerUnit);
    if (std::isnan(units)) return 0;
    if (!(units > std::numeric_limits<std::int16_t>::min())) return std::numeric_limits<std::int16_t>::min();
    if (units >= std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(units);
}
}  // namespace SampleFormat
