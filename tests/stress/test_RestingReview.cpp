// The reviewer's corrections of a resting ECG's global measurement: a moved
// wave limit moves the intervals by exactly as much, the derived values agree
// with the automatic measurement when nothing moved, the acquisition's values
// come back whole, and the measurement lead's own values.

#include "analysis/GlobalMeasurement.h"
#include "analysis/RestingValues.h"
#include "store/Study.h"
#include "stress/RestingReview.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 500;
constexpr int kR = 150;  // 0.3 s
constexpr double kRr = 0.8;

double bump(int i, double centre, double width) {
    const double d = (i - centre) / width;
    return std::exp(-0.5 * d * d);
}

// A 0.8 s average: P 160 ms before R, a narrow QRS, T 260 ms after R; each
// lead a different mix so leads I and III give a definite axis.
std::vector<double> beat(double p, double qrs, double t) {
    std::vector<double> x(400, 0.0);
    for (int i = 0; i < 400; ++i)
        x[static_cast<std::size_t>(i)] = p * bump(i, kR - 80, 9) + qrs * bump(i, kR, 5) -
                                         0.25 * qrs * bump(i, kR + 12, 4) + t * bump(i, kR + 130, 22);
    return x;
}

struct Rig {
    std::vector<std::vector<double>> averages;
    std::vector<QString> names;
    Study study;
    GlobalMeasurement automatic;

    Rig() {
        const double mix[12][3] = {{60, 900, 200}, {100, 1300, 300}, {40, 400, 100},  {-80, -1100, -250},
                                   {10, 250, 50},  {70, 850, 200},   {30, -700, -80}, {50, 200, 300},
                                   {60, 800, 350}, {70, 1200, 380},  {70, 1400, 320}, {60, 1100, 260}};
        const char *leads[12] = {"I", "II", "III", "aVR", "aVL", "aVF", "V1", "V2", "V3", "V4", "V5", "V6"};
        for (int k = 0; k < 12; ++k) {
            averages.push_back(beat(mix[k][0], mix[k][1], mix[k][2]));
            names.push_back(QLatin1String(leads[k]));
        }
        // Limits as a measurement might place them on this beat, whole samples from R.
        automatic.pOnset = -0.200;
        automatic.pOffset = -0.110;
        automatic.qrsOnset = -0.030;
        automatic.qrsOffset = 0.050;
        automatic.tOffset = 0.380;
        automatic.heartRateBpm = 60.0 / kRr;
        deriveGlobalValues(automatic, averages, names, kRate, kRr);
        for (const auto &[name, value] : automatic.entries()) study.results().setScalar(name, value);
        for (const auto &[name, value] : restingValues(averages, names, kRate, 1, kRr).entries())
            study.results().setScalar(name, value);
    }
    RestingReview review() { return RestingReview(study, averages, names, kRate, 0.001, 0.0); }
};

}  // namespace

TEST(RestingReview, TheSyntheticBeatHasEveryAxis) {
    Rig rig;
    ASSERT_TRUE(rig.automatic.pAxis && rig.automatic.qrsAxis && rig.automatic.tAxis);
}

TEST(RestingReview, DerivingFromUnmovedLimitsGivesTheAutomaticValues) {
    Rig rig;
    const GlobalMeasurement measured = measureGlobal(rig.averages, rig.names, kRate, kRr);
    ASSERT_TRUE(measured.qrsOnset && measured.qrsAxis);
    GlobalMeasurement derived = measured;
    derived.pr = derived.qt = derived.qrsAxis = derived.tAxis = std::nullopt;
    deriveGlobalValues(derived, rig.averages, rig.names, kRate, kRr);
    const auto a = measured.entries(), d = derived.entries();
    ASSERT_EQ(a.size(), d.size());
    for (std::size_t k = 0; k < a.size(); ++k) {
        SCOPED_TRACE(a[k].first.text().toStdString());
        EXPECT_NEAR(d[k].second, a[k].second, 1e-12);
    }
}

TEST(RestingReview, AMovedLimitMovesTheIntervalsByExactlyAsMuch) {
    struct Case {
        const char *name;
        WaveLimit limit;
        int samples;            // 2 ms each
        double pr, p, qrs, qt;  // expected change in seconds
        // Which axes may change: P and T are measured from the level just
        // before the QRS onset, so a moved onset moves them too.
        bool pAxis, qrsAxis, tAxis;
    };
    const Case cases[] = {
        {"QrsOffsetLater", WaveLimit::QrsOffset, 10, 0, 0, 0.020, 0, false, true, true},
        {"QrsOnsetEarlier", WaveLimit::QrsOnset, -10, -0.020, 0, 0.020, 0.020, true, true, true},
        {"TOffsetLater", WaveLimit::TOffset, 10, 0, 0, 0, 0.020, false, false, true},
        {"POnsetEarlier", WaveLimit::POnset, -10, 0.020, 0.020, 0, 0, true, false, false},
        {"POffsetEarlier", WaveLimit::POffset, -5, 0, -0.010, 0, 0, true, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        RestingReview review = rig.review();
        const GlobalMeasurement before = review.global();
        ASSERT_TRUE(review.setLimit(c.limit, review.limitSample(c.limit) + c.samples));
        const GlobalMeasurement &after = review.global();
        EXPECT_NEAR(*after.pr - *before.pr, c.pr, 1e-12);
        EXPECT_NEAR(*after.pDuration - *before.pDuration, c.p, 1e-12);
        EXPECT_NEAR(*after.qrsDuration - *before.qrsDuration, c.qrs, 1e-12);
        EXPECT_NEAR(*after.qt - *before.qt, c.qt, 1e-12);
        EXPECT_NEAR(*after.qtcBazett, *after.qt / std::sqrt(kRr), 1e-12);
        if (!c.pAxis) EXPECT_NEAR(*after.pAxis, *before.pAxis, 1e-9);
        if (!c.qrsAxis) EXPECT_NEAR(*after.qrsAxis, *before.qrsAxis, 1e-9);
        if (!c.tAxis) EXPECT_NEAR(*after.tAxis, *before.tAxis, 1e-9);
        EXPECT_EQ(*after.heartRateBpm, *before.heartRateBpm);
        // The study holds what the review shows.
        EXPECT_NEAR(rig.study.results().scalar(Result::GlobalQrsDuration), *after.qrsDuration, 1e-12);
        EXPECT_NEAR(rig.study.results().scalar(Result::GlobalQt), *after.qt, 1e-12);
        EXPECT_TRUE(review.corrected());
    }
}

TEST(RestingReview, ALimitOutsideTheAveragesOrPastItsNeighbourIsRefused) {
    // Limits at samples 50 (P on), 95 (P off), 135 (QRS on), 175 (QRS off), 340 (T off).
    struct Case {
        const char *name;
        WaveLimit limit;
        int sample;
        bool taken;
    };
    const Case cases[] = {
        {"AtZero", WaveLimit::TOffset, 0, false},
        {"Negative", WaveLimit::TOffset, -3, false},
        {"PastTheEnd", WaveLimit::TOffset, 400, false},
        {"FarPastTheEnd", WaveLimit::TOffset, 1000, false},
        {"LastSample", WaveLimit::TOffset, 399, true},
        {"QrsOffBeforeQrsOn", WaveLimit::QrsOffset, 130, false},
        {"QrsOffOnQrsOn", WaveLimit::QrsOffset, 135, false},
        {"QrsOffJustAfterQrsOn", WaveLimit::QrsOffset, 136, true},
        {"POffAfterQrsOn", WaveLimit::POffset, 140, false},
        {"POnAfterPOff", WaveLimit::POnset, 96, false},
        {"TOffBeforeQrsOff", WaveLimit::TOffset, 170, false},
        {"QrsOnBeforePOff", WaveLimit::QrsOnset, 90, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        RestingReview review = rig.review();
        const double qrs = *review.global().qrsDuration, qt = *review.global().qt;
        EXPECT_EQ(review.setLimit(c.limit, c.sample), c.taken);
        EXPECT_EQ(review.corrected(), c.taken);
        if (c.taken) continue;
        EXPECT_EQ(*review.global().qrsDuration, qrs);
        EXPECT_EQ(*review.global().qt, qt);
        EXPECT_EQ(rig.study.results().scalar(Result::GlobalTOffset), *rig.automatic.tOffset);
        EXPECT_EQ(rig.study.results().scalar(Result::GlobalQrsOffset), *rig.automatic.qrsOffset);
    }
}

TEST(RestingReview, AutomaticValuesComeBackExactlyAfterSeveralMoves) {
    Rig rig;
    RestingReview review = rig.review();
    EXPECT_FALSE(review.restoreAutomatic());
    review.setLimit(WaveLimit::QrsOffset, review.limitSample(WaveLimit::QrsOffset) + 7);
    review.setLimit(WaveLimit::POnset, review.limitSample(WaveLimit::POnset) - 3);
    review.setLimit(WaveLimit::TOffset, review.limitSample(WaveLimit::TOffset) + 11);
    ASSERT_TRUE(review.restoreAutomatic());
    EXPECT_FALSE(review.corrected());
    for (const auto &[name, value] : rig.automatic.entries()) {
        SCOPED_TRACE(name.text().toStdString());
        EXPECT_EQ(rig.study.results().scalar(name), value);
    }
    EXPECT_EQ(*review.global().qrsDuration, *rig.automatic.qrsDuration);
    EXPECT_FALSE(review.restoreAutomatic());
}

TEST(RestingReview, TheKeptMemberTouchesOnlyTheGlobalSeries) {
    Rig rig;
    // A hand-edited member naming other series must not reach them.
    rig.study.setProperty(RestingReview::kAutomaticMember, "maxBPM=999 QRSAxis=12 globalQRSDuration=0.5 junk =3");
    RestingReview review = rig.review();
    ASSERT_TRUE(review.restoreAutomatic());
    EXPECT_EQ(rig.study.results().scalar(Result::GlobalQrsDuration), 0.5);
    EXPECT_NE(rig.study.results().scalar(Result::MaxBpm), 999.0);
    EXPECT_NE(rig.study.results().scalar(Result::QrsAxis), 12.0);
}

TEST(RestingReview, StoredZerosAndNoAxisReadAsNotMeasured) {
    Study study;
    study.results().setScalar(Result::GlobalQrsOnset, -0.04);
    study.results().setScalar(Result::GlobalQrsOffset, 0.0);
    study.results().setScalar(Result::GlobalQrsAxis, kNoAxis);
    study.results().setScalar(Result::GlobalTAxis, 75.0);
    const GlobalMeasurement g = storedGlobalMeasurement(study);
    EXPECT_EQ(g.qrsOnset, std::optional<double>(-0.04));
    EXPECT_FALSE(g.qrsOffset);
    EXPECT_FALSE(g.qrsAxis);
    EXPECT_EQ(g.tAxis, std::optional<double>(75.0));
    EXPECT_FALSE(g.pOnset);
}

TEST(RestingReview, MeasurementLeadRewritesTheRestingValuesOnlyWhenChanged) {
    Rig rig;
    RestingReview review = rig.review();
    EXPECT_EQ(review.measurementLead(), 1);
    EXPECT_FALSE(review.setMeasurementLead(1));
    EXPECT_FALSE(review.setMeasurementLead(12));
    EXPECT_FALSE(review.setMeasurementLead(-1));
    ASSERT_TRUE(review.setMeasurementLead(10));
    EXPECT_EQ(rig.study.results().scalar(Result::MeasurementChannel), 10.0);
    const RestingValues v5 = restingValues(rig.averages, rig.names, kRate, 10, kRr);
    EXPECT_EQ(rig.study.results().scalar(Result::QrsOffset), v5.qrsOffset);
    // The global measurement is the same whatever the lead.
    EXPECT_EQ(rig.study.results().scalar(Result::GlobalQrsDuration), *rig.automatic.qrsDuration);
}

TEST(RestingReview, LeadValuesAreTheLeadsOwn) {
    Rig rig;
    RestingReview review = rig.review();
    const LeadMeasurement ii = review.leadMeasurement(1);
    const LeadMeasurement v1 = review.leadMeasurement(6);
    ASSERT_TRUE(ii.qrsDuration && ii.qrsAmplitude && ii.tAmplitude);
    // Lead II's QRS: 1300 units up, a quarter of that down just after, at 1 uV a unit.
    EXPECT_NEAR(*ii.qrsAmplitude, 1.3 + 0.25 * 1.3 * 0.9, 0.4);
    EXPECT_GT(*ii.tAmplitude, 0.2);
    ASSERT_TRUE(v1.tAmplitude);
    EXPECT_LT(*v1.tAmplitude, 0.0);  // V1's T is inverted
    EXPECT_NEAR(*ii.qrsDuration, static_cast<double>(ii.markers.qrsEnd - ii.markers.qrsOnset) / kRate, 1e-12);
    if (ii.qt) EXPECT_NEAR(*ii.qtcBazett, *ii.qt / std::sqrt(kRr), 1e-12);
    EXPECT_FALSE(review.leadMeasurement(12).qrsDuration);
}
