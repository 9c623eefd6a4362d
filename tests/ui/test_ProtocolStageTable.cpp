#include "store/StandardProtocols.h"
#include "ui/ProtocolStageTable.h"

#include <gtest/gtest.h>

namespace {

Protocol standard(const char *name) {
    for (const Protocol &p : StandardProtocols::all())
        if (p.name == QLatin1String(name)) return p;
    ADD_FAILURE() << "no standard protocol " << name;
    return Protocol();
}

QStringList rowTexts(const ProtocolStageTable &table, int row) {
    QStringList texts;
    for (int column = 0; column < static_cast<int>(table.columns().size()); ++column)
        texts << table.cellText(row, column);
    return texts;
}

TEST(ProtocolStageTable, ShowsEachTypeWithItsColumnsAndUnits) {
    Protocol bruce = standard("Bruce");
    ProtocolStageTable treadmill(bruce, QStringLiteral("watts"));
    EXPECT_EQ(treadmill.headings(), (QStringList{"Stage", "Duration", "Speed", "Incline"}));
    EXPECT_EQ(rowTexts(treadmill, 0), (QStringList{"Rest 1", "05:00", "0.0 km/h", "0.0 %"}));
    EXPECT_EQ(rowTexts(treadmill, 2), (QStringList{"Exercise 2", "03:00", "4.0 km/h", "12.0 %"}));
    EXPECT_EQ(rowTexts(treadmill, 10), (QStringList{"Recovery 3", "05:00", "0.0 km/h", "0.0 %"}));

    Protocol who = standard("Who");
    ProtocolStageTable watts(who, QStringLiteral("watts"));
    EXPECT_EQ(watts.headings(), (QStringList{"Stage", "Duration", "Workload"}));
    EXPECT_EQ(rowTexts(watts, 1), (QStringList{"Exercise 1", "03:00", "25.0 watts"}));
    ProtocolStageTable kgm(who, QStringLiteral("kgm/min"));
    EXPECT_EQ(kgm.cellText(1, 2), QStringLiteral("150.0 kgm/min"));

    Protocol drug;
    drug.type = ProtocolType::Pharmacologic;
    drug.insertStage(0).setParameter(QStringLiteral("dose"), 20.4, QString());
    ProtocolStageTable dose(drug, QStringLiteral("watts"));
    EXPECT_EQ(dose.headings(), (QStringList{"Stage", "Duration", "Dose"}));
    EXPECT_EQ(dose.cellText(0, 2), QStringLiteral("20"));
}

TEST(ProtocolStageTable, TypedDurationsKeepThePreviousOneWhenTheyGiveNoTime) {
    struct Case {
        const char *typed;
        int seconds;  // the stage held 100 s before
        const char *shown;
    };
    for (const Case &c : std::vector<Case>{{"2:30", 150, "02:30"},
                                           {"3", 180, "03:00"},
                                           {"12", 720, "12:00"},
                                           {"1:75", 100, "01:40"},
                                           {"0:00", 100, "01:40"},
                                           {"0:45", 45, "00:45"},
                                           {"-2", 100, "01:40"},
                                           {"abc", 100, "01:40"},
                                           {"4 min", 240, "04:00"}}) {
        Protocol bruce = standard("Bruce");
        bruce.stage(1).duration = 100;
        ProtocolStageTable table(bruce, QStringLiteral("watts"));
        EXPECT_EQ(table.edit(1, 1, QString::fromUtf8(c.typed)), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(bruce.stage(1).duration, c.seconds) << c.typed;
    }
}

TEST(ProtocolStageTable, TypedLoadsAreStoredInCanonicalUnits) {
    Protocol who = standard("Who");
    ProtocolStageTable kgm(who, QStringLiteral("kgm/min"));
    EXPECT_EQ(kgm.edit(1, 2, QStringLiteral("600")), QStringLiteral("600.0 kgm/min"));
    EXPECT_DOUBLE_EQ(who.stage(1).parameter(QStringLiteral("workload"), QStringLiteral("watts")), 100.0);

    Protocol bruce = standard("Bruce");
    ProtocolStageTable treadmill(bruce, QStringLiteral("watts"));
    EXPECT_EQ(treadmill.edit(1, 2, QStringLiteral("3.24")), QStringLiteral("3.2 km/h"));
    // The cell's own text, unit included, reads back as the number it shows.
    EXPECT_EQ(treadmill.edit(1, 3, QStringLiteral("10.5 %")), QStringLiteral("10.5 %"));
    EXPECT_DOUBLE_EQ(bruce.stage(1).parameter(QStringLiteral("speed"), QStringLiteral("km/h")), 3.24);
    EXPECT_DOUBLE_EQ(bruce.stage(1).parameter(QStringLiteral("incline"), QStringLiteral("%")), 10.5);
    // The label column is not the user's to change.
    EXPECT_EQ(treadmill.edit(1, 0, QStringLiteral("Warm-up")), QStringLiteral("Exercise 1"));
}

TEST(ProtocolStageTable, StageCommandsRenumberThePhases) {
    Protocol p;
    ProtocolStageTable table(p, QStringLiteral("watts"));
    table.append(StagePhase::Rest);
    table.append(StagePhase::Exercise);
    table.edit(1, 1, QStringLiteral("2:00"));
    table.edit(1, 2, QStringLiteral("5"));
    table.append(StagePhase::Recovery);
    // Insert copies the selected stage's duration and loads, then takes the phase chosen.
    table.insert(1, StagePhase::Exercise);
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(rowTexts(table, 1), (QStringList{"Exercise 1", "02:00", "5.0 km/h", "0.0 %"}));
    EXPECT_EQ(table.cellText(2, 0), QStringLiteral("Exercise 2"));
    table.insert(-1, StagePhase::Recovery);  // nothing selected: appended
    EXPECT_EQ(table.cellText(4, 0), QStringLiteral("Recovery 2"));
    table.remove(1);
    EXPECT_EQ(table.cellText(1, 0), QStringLiteral("Exercise 1"));
    table.remove(9);
    EXPECT_EQ(table.rowCount(), 4);
}

}  // namespace
