// Lead names as recording files spell them, matched to the channel table.

#include "tools/cli/LeadNames.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

TEST(LeadNames, MatchTableNamesInAnyCaseAndModifiedLimbLeads) {
    const std::vector<std::pair<const char *, int>> cases = {{"I", 0},
                                                             {"ii", 1},
                                                             {"III", 2},
                                                             {"avr", 3},
                                                             {"AVL", 4},
                                                             {"aVF", 5},
                                                             {"v1", 6},
                                                             {"V2", 7},
                                                             {"V3", 8},
                                                             {"v4", 9},
                                                             {"V5", 10},
                                                             {"V6", 11},
                                                             {"cm5", 12},
                                                             {"CR5", 13},
                                                             {"MLII", 1},
                                                             {"mlI", 0},
                                                             {"MLIII", 2},
                                                             {" II ", 1},
                                                             // Not ours: other chest and vector leads, and near misses.
                                                             {"V7", -1},
                                                             {"vx", -1},
                                                             {"ML", -1},
                                                             {"MLV5", -1},
                                                             {"IIII", -1},
                                                             {"II V5", -1},
                                                             {"", -1}};
    for (const auto &c : cases)
        EXPECT_EQ(LeadNames::channelOf(QLatin1String(c.first)), c.second) << '"' << c.first << '"';
}

}  // namespace
