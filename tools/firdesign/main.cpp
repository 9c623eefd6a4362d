// tarvelin-fir-design: designs the FIR tables and writes them as C++ source.
//   tarvelin-fir-design OUTPUT.cpp   write the source (only if every design succeeds)
//   tarvelin-fir-design --report     print the designs and their achieved responses
#include "TableDesigns.h"
#include "TableWriter.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp | --report\n", argv[0]);
        return 2;
    }
    std::string error;
    const std::vector<firdesign::TableDesign> tables = firdesign::designAllTables(&error);
    if (tables.empty()) {
        std::fprintf(stderr, "tarvelin-fir-design: %s\n", error.c_str());
        return 1;
    }
    if (std::strcmp(argv[1], "--report") == 0) {
        std::fputs(firdesign::designReport(tables).c_str(), stdout);
        return 0;
    }
    // Written in one piece at the end, so a failed run leaves no half file
    // behind for the build to compile.
    const std::string source = firdesign::tableSource(tables);
    const std::string temporary = std::string(argv[1]) + ".tmp";
    std::FILE *file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        std::perror(temporary.c_str());
        return 1;
    }
    const bool written = std::fwrite(source.data(), 1, source.size(), file) == source.size();
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), argv[1]) != 0) {
        std::perror(argv[1]);
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
