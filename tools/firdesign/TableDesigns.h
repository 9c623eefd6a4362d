#pragma once
// The designs of every FIR table the filter chains use: each table's
// targets and the searches that meet them.

#include "DesignMath.h"

#include <string>
#include <vector>

namespace firdesign {

struct TableDesign {
    std::string symbol;  // array name in the generated source
    int rate = 0;
    Taps taps;
    std::string method;                // how it was designed, with the parameters found
    std::vector<std::string> figures;  // the response achieved
};

// All tables in a fixed order; empty when a design misses its targets.
std::vector<TableDesign> designAllTables(std::string *error);

}  // namespace firdesign
