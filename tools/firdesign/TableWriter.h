#pragma once
// Writes the designed tables as the C++ source the analysis library compiles.

#include "TableDesigns.h"

#include <string>
#include <vector>

namespace firdesign {

std::string tableSource(const std::vector<TableDesign> &tables);

// Human-readable summary of each design and its achieved response.
std::string designReport(const std::vector<TableDesign> &tables);

}  // namespace firdesign
