// The global 12-lead measurement on averages built from the simulator's beat
// model, whose wave limits are known: the limits found, the intervals derived
// from them, and that one flat, noisy or inverted lead does not move them.

#include "analysis/ChannelTable.h"
#include "analysis/GlobalMeasurement.h"
#include "analysis/RestingValues.h"
#include "analysis/StudyResults.h"
#include "tools/sim/model/BeatMorphology.h"
#include "tools/sim/model/LeadSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

namespace {

constexpr int kLeads = 12;
// Atrial fibrillation waves left in an average: uncorrelated with the QRS,
// averaging over the beats has already shrunk them to some 10 microvolts.
constexpr double kFibrillationMv = 0.01;

struct ModelAverages {
    std::vector<std::vector<double>> leads;
    std::vector<QString> names;
    int rate = 500;
    double rr = 0.0;
    // Truth, seconds relative to R.
    double pOn = 0.0, pOff = 0.0, qrsOn = 0.0, qrsOff = 0.0, tOff = 0.0;
};

// Steady sinus rhythm averaged as the averager does: 0.8 s with R at 0.3 s,
// neighbouring beats included, the segment mean removed, 16-bit units.
// With `fibrillation`, the P waves give way to irregular atrial waves (4 to
// 9 Hz) over the whole cycle.
ModelAverages modelAverages(double heartRate, bool fibrillation = false) {
    BeatShape shape = BeatMorphology::sinus(heartRate);
    if (fibrillation) {
        int kept = 0;
        for (int w = 0; w < shape.waveCount; ++w)
            if (shape.waves[static_cast<std::size_t>(w)].centre >= 0.0)
                shape.waves[static_cast<std::size_t>(kept++)] = shape.waves[static_cast<std::size_t>(w)];
        shape.waveCount = kept;
    }
    ModelAverages m;
    m.rr = 60.0 / heartRate;
    const int r = m.rate * 3 / 10;
    for (int lead = 0; lead < kLeads; ++lead) {
        const Vector3 &v = LeadSystem::leadVectors()[static_cast<std::size_t>(lead)];
        std::vector<double> x;
        for (int i = 0; i < m.rate * 8 / 10; ++i) {
            double sum = 0.0;
            for (int k = -2; k <= 2; ++k)
                sum += dot(
                    v, BeatMorphology::dipoleAt(shape, static_cast<double>(i - r) / m.rate - k * m.rr + shape.rPeak));
            const double t = static_cast<double>(i) / m.rate;
            if (fibrillation)
                sum += kFibrillationMv * (0.6 * std::sin(2 * 3.14159265 * (4.3 + 0.4 * lead) * t + lead) +
                                          0.4 * std::sin(2 * 3.14159265 * (7.1 + 0.3 * lead) * t + 2.0 * lead));
            x.push_back(sum * 65536.0 / 600.0);
        }
        const double mean = std::accumulate(x.begin(), x.end(), 0.0) / static_cast<double>(x.size());
        for (double &s : x) s -= mean;
        m.leads.push_back(x);
        m.names.push_back(ChannelTable::name(lead));
    }
    double pFrom = 0.0, pTo = -1.0;
    for (int w = 0; w < shape.waveCount; ++w) {
        const DipoleWave &wave = shape.waves[static_cast<std::size_t>(w)];
        if (wave.centre >= 0.0) continue;
        pFrom = std::min(pFrom, wave.centre - wave.halfWidth);
        pTo = std::max(pTo, wave.centre + wave.halfWidth);
    }
    m.pOn = pFrom - shape.rPeak;
    m.pOff = pTo - shape.rPeak;
    m.qrsOn = -shape.rPeak;
    m.qrsOff = shape.jPoint - shape.rPeak;
    m.tOff = shape.tEnd - shape.rPeak;
    return m;
}

GlobalMeasurement measure(const ModelAverages &m) { return measureGlobal(m.leads, m.names, m.rate, m.rr); }

class GlobalModelBeats : public ::testing::TestWithParam<double> {};

TEST_P(GlobalModelBeats, FindTheModelsLimits) {
    const ModelAverages m = modelAverages(GetParam());
    const GlobalMeasurement g = measure(m);
    ASSERT_TRUE(g.pOnset && g.pOffset && g.qrsOnset && g.qrsOffset && g.tOffset);
    EXPECT_EQ(g.leads.size(), static_cast<std::size_t>(kLeads));
    // The model's wave edges are smooth bells, so a limit where the leads
    // visibly start or stop lies a little inside them.
    const struct {
        const char *what;
        double found, truth, tolerance;
    } limits[] = {{"P onset", *g.pOnset, m.pOn, 0.025},
                  {"P offset", *g.pOffset, m.pOff, 0.025},
                  {"QRS onset", *g.qrsOnset, m.qrsOn, 0.012},
                  {"QRS offset", *g.qrsOffset, m.qrsOff, 0.012},
                  {"T offset", *g.tOffset, m.tOff, 0.030}};
    for (const auto &l : limits) EXPECT_NEAR(l.found, l.truth, l.tolerance) << l.what;

    EXPECT_DOUBLE_EQ(*g.pr, *g.qrsOnset - *g.pOnset);
    EXPECT_DOUBLE_EQ(*g.pDuration, *g.pOffset - *g.pOnset);
    EXPECT_DOUBLE_EQ(*g.qrsDuration, *g.qrsOffset - *g.qrsOnset);
    EXPECT_DOUBLE_EQ(*g.qt, *g.tOffset - *g.qrsOnset);
    EXPECT_NEAR(*g.qtcBazett, *g.qt / std::sqrt(m.rr), 1e-12);
    EXPECT_NEAR(*g.qtcFridericia, *g.qt / std::pow(m.rr, 1.0 / 3.0), 1e-12);
    EXPECT_NEAR(*g.heartRateBpm, GetParam(), 1e-9);
    // The QRS axis is the measurement lead's method over the global limits.
    const int on = static_cast<int>(std::lround((*g.qrsOnset + 0.3) * m.rate));
    const int off = static_cast<int>(std::lround((*g.qrsOffset + 0.3) * m.rate));
    EXPECT_NEAR(*g.qrsAxis, qrsAxis(m.leads[0], m.leads[2], on, off), 1e-9);
    ASSERT_TRUE(g.pAxis && g.tAxis);
    EXPECT_TRUE(std::fabs(*g.pAxis) <= 180.0 && std::fabs(*g.tAxis) <= 180.0);
}

INSTANTIATE_TEST_SUITE_P(Rates, GlobalModelBeats, ::testing::Values(60.0, 75.0, 100.0));

// One lead gone wrong leaves the limits within 6 ms of the clean result: the
// flat and the noisy lead are left out, an inverted one changes nothing.
TEST(GlobalMeasurement, OneBadLeadDoesNotDecide) {
    const ModelAverages clean = modelAverages(70.0);
    const GlobalMeasurement reference = measure(clean);
    ASSERT_TRUE(reference.pOnset && reference.tOffset);
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 400.0);
    const struct {
        const char *what;
        int lead;
        int kind;  // 0 flat, 1 noisy, 2 inverted
        std::size_t leadsUsed;
    } cases[] = {{"flat V2", 7, 0, 11}, {"noisy V4", 9, 1, 11}, {"noisy II", 1, 1, 11}, {"inverted aVR", 3, 2, 12}};
    for (const auto &c : cases) {
        ModelAverages m = clean;
        for (double &v : m.leads[static_cast<std::size_t>(c.lead)])
            v = c.kind == 0 ? 0.0 : c.kind == 1 ? v + noise(random) : -v;
        const GlobalMeasurement g = measure(m);
        EXPECT_EQ(g.leads.size(), c.leadsUsed) << c.what;
        ASSERT_TRUE(g.pOnset && g.pOffset && g.qrsOnset && g.qrsOffset && g.tOffset) << c.what;
        EXPECT_NEAR(*g.pOnset, *reference.pOnset, 0.006) << c.what;
        EXPECT_NEAR(*g.pOffset, *reference.pOffset, 0.006) << c.what;
        EXPECT_NEAR(*g.qrsOnset, *reference.qrsOnset, 0.006) << c.what;
        EXPECT_NEAR(*g.qrsOffset, *reference.qrsOffset, 0.006) << c.what;
        EXPECT_NEAR(*g.tOffset, *reference.tOffset, 0.006) << c.what;
    }
}

// Atrial fibrillation waves are no P wave: no P limits, no PR, the rest as
// without them.
TEST(GlobalMeasurement, NoPWaveInAtrialFibrillation) {
    const ModelAverages m = modelAverages(90.0, true);
    const GlobalMeasurement g = measure(m);
    EXPECT_FALSE(g.pOnset || g.pOffset || g.pr || g.pDuration || g.pAxis);
    ASSERT_TRUE(g.qrsOnset && g.qrsOffset && g.tOffset);
    EXPECT_NEAR(*g.qrsOnset, m.qrsOn, 0.012);
    EXPECT_NEAR(*g.qrsOffset, m.qrsOff, 0.012);
    EXPECT_NEAR(*g.tOffset, m.tOff, 0.030);
}

TEST(GlobalMeasurement, NothingFromFlatLeadsOrAnUnknownRate) {
    const std::vector<std::vector<double>> flat(kLeads, std::vector<double>(400, 3.0));
    std::vector<QString> names;
    for (int k = 0; k < kLeads; ++k) names.push_back(ChannelTable::name(k));
    const GlobalMeasurement none = measureGlobal(flat, names, 500, 0.8);
    EXPECT_FALSE(none.qrsOnset || none.pOnset || none.tOffset || none.qrsAxis);
    EXPECT_TRUE(none.leads.empty());

    const ModelAverages m = modelAverages(70.0);
    const GlobalMeasurement noRate = measureGlobal(m.leads, m.names, m.rate, 0.0);
    EXPECT_TRUE(noRate.qt);
    EXPECT_FALSE(noRate.qtcBazett || noRate.qtcFridericia || noRate.heartRateBpm);
}

// Into the study: every value under its global name, the unmeasured ones as
// the series' starting values.
TEST(GlobalMeasurement, EntriesStoreUnderTheGlobalNames) {
    const GlobalMeasurement g = measure(modelAverages(75.0));
    StudyResults results;
    for (const auto &[name, value] : g.entries()) results.setScalar(name, value);
    EXPECT_EQ(results.size(), 95 + 15);
    EXPECT_EQ(results.scalar(Result::GlobalQt), *g.qt);
    EXPECT_EQ(results.scalar(Result::GlobalQrsAxis), *g.qrsAxis);
    EXPECT_EQ(results.names().mid(95, 3), (QStringList{"globalPOnset", "globalPOffset", "globalQRSOnset"}));

    GlobalMeasurement empty;
    StudyResults unmeasured;
    for (const auto &[name, value] : empty.entries()) unmeasured.setScalar(name, value);
    EXPECT_EQ(unmeasured.scalar(Result::GlobalPr), 0.0);
    EXPECT_EQ(unmeasured.scalar(Result::GlobalTAxis), -999.0);
}

}  // namespace
