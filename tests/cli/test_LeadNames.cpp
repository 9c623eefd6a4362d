// Lead names as recording files spell them, matched to the channel table.

#include "tools/cli/InputSignals.h"
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

// --leads renames the input's leads in order and maps them again; what the
// reader refused for its content stays unused; mistakes are refused whole.
TEST(LeadNames, RenameMapsTheLeadsAgain) {
    const auto input = [] {
        InputSignals in;
        // ECG1 and ECG2 are no table leads; "II" was refused (not a voltage);
        // the second "V1" repeats the first.
        in.leads = {{"ECG1", -1, {}}, {"ECG2", -1, {}}, {"II", -1, {}}, {"V1", 6, {}}, {"V1", -1, {}}};
        return in;
    };
    struct Case {
        QStringList names;
        bool ok;
        std::vector<int> channels;
        const char *messagePart;
    };
    const Case cases[] = {{{"II", "v5", "I", "V2", "V3"}, true, {1, 10, -1, 7, 8}, ""},
                          {{"-", "MLII", "III", "V1", "V4"}, true, {-1, 1, -1, 6, 9}, ""},
                          {{"II", "V5"}, false, {}, "2 leads, the input has 5"},
                          {{"II", "V5", "I", "V7", "V3"}, false, {}, "\"V7\""},
                          {{"II", "V5", "I", "V2", "ii"}, false, {}, "II twice"}};
    for (const Case &c : cases) {
        InputSignals in = input();
        QString error;
        ASSERT_EQ(LeadNames::rename(c.names, &in, &error), c.ok) << c.names.join(',').toStdString();
        if (!c.ok) {
            EXPECT_TRUE(error.contains(QLatin1String(c.messagePart))) << error.toStdString();
            continue;
        }
        for (std::size_t i = 0; i < in.leads.size(); ++i)
            EXPECT_EQ(in.leads[i].channel, c.channels[i]) << c.names.join(',').toStdString() << " lead " << i;
    }
    InputSignals in = input();
    QString error;
    ASSERT_TRUE(LeadNames::rename({"ii", "-", "I", "V2", "V3"}, &in, &error));
    EXPECT_EQ(in.leads[0].name, QStringLiteral("II"));
    EXPECT_EQ(in.leads[1].name, QStringLiteral("ECG2"));
}

}  // namespace
