#pragma once
// Design of the resting measurement's QRS-end smoother: an 81-tap linear-phase
// low-pass at 250/s, flat to 15 Hz, 0.48 at 20 Hz, stopped from 25 Hz.

#include "TableDesigns.h"

#include <optional>

namespace firdesign {

std::optional<TableDesign> restingSmoother250();

}  // namespace firdesign
