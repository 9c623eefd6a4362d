// Source emission: every tap with 17 significant digits, so the doubles
// read back bit for bit.
#include "TableWriter.h"

#include <cstdio>

namespace firdesign {

namespace {

std::string number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

}  // namespace

std::string tableSource(const std::vector<TableDesign> &tables) {
    std::string out;
    out += "// Generated at build time by tarvelin-fir-design (tools/firdesign); do not edit.\n";
    out += "// The FIR coefficient tables of the filter chains, declared in FirTableData.h.\n\n";
    out += "#include \"analysis/FirTableData.h\"\n\n";
    out += "namespace FirTableData {\n";
    for (const TableDesign &t : tables) {
        out +=
            "\n// " + std::to_string(t.taps.size()) + " taps at " + std::to_string(t.rate) + "/s: " + t.method + ".\n";
        for (const std::string &f : t.figures) out += "// " + f + ".\n";
        out += "const double " + t.symbol + "[" + std::to_string(t.taps.size()) + "] = {\n";
        for (double v : t.taps) out += "    " + number(v) + ",\n";
        out += "};\n";
    }
    out += "\n}  // namespace FirTableData\n";
    return out;
}

std::string designReport(const std::vector<TableDesign> &tables) {
    std::string out;
    for (const TableDesign &t : tables) {
        out += t.symbol + " (" + std::to_string(t.taps.size()) + " taps, " + std::to_string(t.rate) +
               "/s): " + t.method + "\n";
        for (const std::string &f : t.figures) out += "    " + f + "\n";
    }
    return out;
}

}  // namespace firdesign
