// The result series a new study carries: names, order, kinds and defaults,
// and writers that never create or retype a series.
#include "analysis/StudyResults.h"

#include <gtest/gtest.h>

namespace {
using Kind = StudyResults::Kind;

QStringList perLead(const char *pattern) {
    QStringList list;
    for (int k = 0; k < 16; ++k) list << QString::fromLatin1(pattern).arg(k);
    return list;
}
}  // namespace

TEST(StudyResults, NamesInTheirFixedOrder) {
    QStringList expected{"BPMTrend", "sysBPTrend", "diaBPTrend", "METSTrend", "DPTrend"};
    expected << perLead("STLevelTrend(%1)") << perLead("STSlopeTrend(%1)");
    expected << QStringList{"BPMPerStage", "sysBPPerStage", "diaBPPerStage", "DPPerStage", "METSPerStage"};
    expected << perLead("STLevelPerStage(%1)") << perLead("STSlopePerStage(%1)");
    expected << QStringList{"maxBPM", "maxSysBP", "maxDiaBP", "maxMETS", "maxDP", "maxVO2", "pacemakerPulses"};
    expected << QStringList{"measurementChannel",
                            "POnset",
                            "PPeak",
                            "POffset",
                            "QRSOnset",
                            "QRSOffset",
                            "TOnset",
                            "TPeak",
                            "TOffset",
                            "PAmp",
                            "QRSAmp",
                            "TAmp",
                            "avgRRInterval",
                            "QRSAxis"};
    const StudyResults results;
    EXPECT_EQ(results.names(), expected);
    EXPECT_EQ(results.size(), 5 + 32 + 5 + 32 + 7 + 14);
}

TEST(StudyResults, KindsAndDefaults) {
    struct Case {
        const char *name;
        Kind kind;
        double scalar;
    };
    const Case cases[] = {{"BPMTrend", Kind::Trend, 0.0},
                          {"STSlopeTrend(15)", Kind::Trend, 0.0},
                          {"METSPerStage", Kind::PerStage, 0.0},
                          {"STLevelPerStage(0)", Kind::PerStage, 0.0},
                          {"maxVO2", Kind::Scalar, 0.0},
                          {"pacemakerPulses", Kind::List, 0.0},
                          {"measurementChannel", Kind::Scalar, -1.0},
                          {"QRSAxis", Kind::Scalar, -999.0},
                          {"avgRRInterval", Kind::Scalar, 0.0},
                          {"TAmp", Kind::Scalar, 0.0}};
    const StudyResults results;
    for (const Case &c : cases) {
        const StudyResults::Series *s = results.find(QString::fromLatin1(c.name));
        ASSERT_NE(s, nullptr) << c.name;
        EXPECT_EQ(s->kind, c.kind) << c.name;
        EXPECT_EQ(results.scalar(QString::fromLatin1(c.name)), c.scalar) << c.name;
        EXPECT_TRUE(s->times.empty()) << c.name;
        EXPECT_EQ(s->values.size(), c.kind == Kind::Scalar ? 1u : 0u) << c.name;
    }
    EXPECT_FALSE(results.contains("STLevelTrend(16)"));
    EXPECT_FALSE(results.contains("bpmtrend"));
}

TEST(StudyResults, WritersKeepToExistingSeriesOfTheirKind) {
    StudyResults results;
    results.appendPoint("BPMTrend", 1.5, 72.0);
    results.appendPoint("maxBPM", 1.5, 72.0);       // a scalar: ignored
    results.appendPoint("NoSuchTrend", 1.5, 72.0);  // unknown: ignored
    results.setPerStage("BPMPerStage", 2, 120.0);   // grows with zeros
    results.setPerStage("BPMTrend", 0, 1.0);        // a trend: ignored
    results.setPerStage("BPMPerStage", -1, 1.0);    // no such stage
    results.setScalar("QRSAxis", 60.0);
    results.setScalar("pacemakerPulses", 3.0);  // a list: ignored
    results.appendToList("pacemakerPulses", 0.25);

    EXPECT_EQ(results.times("BPMTrend"), (std::vector<double>{1.5}));
    EXPECT_EQ(results.values("BPMTrend"), (std::vector<double>{72.0}));
    EXPECT_EQ(results.scalar("maxBPM"), 0.0);
    EXPECT_FALSE(results.contains("NoSuchTrend"));
    EXPECT_EQ(results.values("BPMPerStage"), (std::vector<double>{0.0, 0.0, 120.0}));
    EXPECT_EQ(results.perStage("BPMPerStage", 7), 0.0);
    EXPECT_EQ(results.scalar("QRSAxis"), 60.0);
    EXPECT_EQ(results.values("pacemakerPulses"), (std::vector<double>{0.25}));

    results.clear();
    EXPECT_TRUE(results.values("BPMTrend").empty());
    EXPECT_EQ(results.scalar("QRSAxis"), -999.0);
    EXPECT_EQ(results.size(), 95);
}
