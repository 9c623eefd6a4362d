// Loads entering and leaving a stage through the operator's units.
#include "store/Stage.h"

#include <gtest/gtest.h>

namespace {

struct UnitCase {
    const char *parameter;
    double given;
    const char *unit;
    double stored;
    double shown;  // read back in the same unit
};

const UnitCase kUnitCases[] = {
    {"speed", 2.7, "km/h", 2.7, 2.7},
    {"incline", 10.0, "%", 10.0, 10.0},
    // Entered with 1.6, shown with 1.609344: 10 mph comes back as 9.94.
    {"speed", 10.0, "mph", 16.0, 9.9419},
    {"speed", 10.0, "MpH", 16.0, 9.9419},
    {"workload", 100.0, "watts", 100.0, 100.0},
    {"workload", 600.0, "kgm/min", 100.0, 600.0},
    {"workload", 600.0, "KGM/MIN", 100.0, 600.0},
    {"dose", 20.0, "", 20.0, 20.0},
    // Units only mean something for their own parameter.
    {"incline", 10.0, "mph", 10.0, 10.0},
    {"speed", 600.0, "kgm/min", 600.0, 600.0},
};

class UnitConversion : public ::testing::TestWithParam<UnitCase> {};

TEST_P(UnitConversion, StoresCanonicalAndShowsInTheGivenUnit) {
    const UnitCase &c = GetParam();
    const QString name = QString::fromLatin1(c.parameter);
    Stage stage;
    EXPECT_EQ(stage.parameter(name, QString::fromLatin1(c.unit)), 0.0);  // absent
    stage.setParameter(name, c.given, QString::fromLatin1(c.unit));
    EXPECT_DOUBLE_EQ(stage.parameters().value(name), c.stored);
    EXPECT_NEAR(stage.parameter(name, QString::fromLatin1(c.unit)), c.shown, 5e-5);
}

INSTANTIATE_TEST_SUITE_P(Loads, UnitConversion, ::testing::ValuesIn(kUnitCases));

TEST(UnitConversion, SettingAgainReplaces) {
    Stage stage;
    stage.setParameter(QStringLiteral("speed"), 4.0, QStringLiteral("km/h"));
    stage.setParameter(QStringLiteral("speed"), 5.0, QStringLiteral("mph"));
    EXPECT_EQ(stage.parameters().size(), 1);
    EXPECT_DOUBLE_EQ(stage.parameter(QStringLiteral("speed"), QStringLiteral("km/h")), 8.0);
}

}  // namespace
