// The result series a new study carries: names, order, kinds and defaults,
// writers that refuse a name of another kind, and the optional series.
#include "analysis/StudyResults.h"

#include <gtest/gtest.h>

#include <stdexcept>

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
        const std::optional<ResultName> name = ResultName::find(QString::fromLatin1(c.name));
        ASSERT_TRUE(name) << c.name;
        EXPECT_EQ(name->text(), QString::fromLatin1(c.name));
        const StudyResults::Series *s = results.find(*name);
        ASSERT_NE(s, nullptr) << c.name;
        EXPECT_EQ(s->kind, c.kind) << c.name;
        EXPECT_EQ(results.scalar(*name), c.scalar) << c.name;
        EXPECT_TRUE(s->times.empty()) << c.name;
        EXPECT_EQ(s->values.size(), c.kind == Kind::Scalar ? 1u : 0u) << c.name;
    }
    EXPECT_FALSE(ResultName::find("STLevelTrend(16)"));
    EXPECT_FALSE(ResultName::find("bpmtrend"));
    EXPECT_THROW(ResultName(LeadResult::StLevelTrend, 16), std::out_of_range);
    EXPECT_THROW(ResultName(LeadResult::StSlopePerStage, -1), std::out_of_range);
    EXPECT_EQ(ResultName(LeadResult::StSlopePerStage, 15).text(), "STSlopePerStage(15)");
}

// A name of the wrong kind is a programming error and must not be dropped
// silently. (A misspelt enumerator, Result::BpmTrnd, does not compile.)
TEST(StudyResults, WritersThrowOnANameOfAnotherKind) {
    StudyResults results;
    results.appendPoint(Result::BpmTrend, 1.5, 72.0);
    EXPECT_THROW(results.appendPoint(Result::MaxBpm, 1.5, 72.0), std::logic_error);
    results.setPerStage(Result::BpmPerStage, 2, 120.0);  // grows with zeros
    EXPECT_THROW(results.setPerStage(Result::BpmTrend, 0, 1.0), std::logic_error);
    results.setPerStage(Result::BpmPerStage, -1, 1.0);  // no such stage
    results.setScalar(Result::QrsAxis, 60.0);
    EXPECT_THROW(results.setScalar(Result::PacemakerPulses, 3.0), std::logic_error);
    EXPECT_THROW(results.appendToList(Result::QrsAxis, 3.0), std::logic_error);
    results.appendToList(Result::PacemakerPulses, 0.25);

    EXPECT_EQ(results.times(Result::BpmTrend), (std::vector<double>{1.5}));
    EXPECT_EQ(results.values(Result::BpmTrend), (std::vector<double>{72.0}));
    EXPECT_EQ(results.scalar(Result::MaxBpm), 0.0);
    EXPECT_EQ(results.values(Result::BpmPerStage), (std::vector<double>{0.0, 0.0, 120.0}));
    EXPECT_EQ(results.perStage(Result::BpmPerStage, 7), 0.0);
    EXPECT_EQ(results.scalar(Result::QrsAxis), 60.0);
    EXPECT_EQ(results.values(Result::PacemakerPulses), (std::vector<double>{0.25}));

    results.clear();
    EXPECT_TRUE(results.values(Result::BpmTrend).empty());
    EXPECT_EQ(results.scalar(Result::QrsAxis), -999.0);
    EXPECT_EQ(results.size(), 95);
}

// The global measurement's series exist only once written, in their fixed
// place after the series of every study, whatever order they are written in.
TEST(StudyResults, OptionalSeriesAppearOnceWrittenInTheirOrder) {
    StudyResults results;
    EXPECT_FALSE(results.contains(Result::GlobalQt));
    EXPECT_EQ(results.scalar(Result::GlobalQrsAxis), -999.0);
    EXPECT_EQ(results.scalar(Result::GlobalQt), 0.0);
    results.setScalar(Result::GlobalTAxis, 40.0);
    results.setScalar(Result::GlobalQt, 0.4);
    results.setScalar(Result::GlobalPOnset, -0.2);
    ASSERT_EQ(results.size(), 98);
    EXPECT_EQ(results.names().mid(95), (QStringList{"globalPOnset", "globalQTInterval", "globalTAxis"}));
    EXPECT_EQ(results.scalar(Result::GlobalQt), 0.4);
    EXPECT_EQ(results.at(97).values, (std::vector<double>{40.0}));
    EXPECT_EQ(results.names().at(94), "QRSAxis");
    results.clear();
    EXPECT_EQ(results.size(), 95);
}
