// Average-beat delineation on hand-made averages: nothing on a flat one, and
// P and T search windows that follow the cycle length.
#include "analysis/AverageDelineation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kR = 75;  // 0.3 s at 250/s

// An offset average with raised-cosine P, R and T waves centred where asked.
std::vector<double> averageWith(double pCentre, double tCentre) {
    std::vector<double> x(200, -12.0);
    for (const auto &[centre, halfWidth, height] :
         {std::tuple{pCentre, 15.0, 20.0}, {double(kR), 8.0, 200.0}, {tCentre, 20.0, 40.0}})
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double u = (static_cast<double>(i) - centre) / halfWidth;
            if (std::fabs(u) < 1.0) x[i] += height * std::pow(std::cos(1.5707963267948966 * u), 2);
        }
    return x;
}

TEST(AverageDelineation, AFlatAverageHasNoWaves) {
    const AverageDelineation d = delineateAverage(std::vector<double>(200, 250.0), kR, 200);
    for (int v : {d.pOnset, d.pPeak, d.pEnd, d.qrsOnset, d.r, d.q, d.s, d.qrsEnd, d.tOnset, d.tPeak, d.tEnd})
        EXPECT_EQ(v, 0);
}

// A T centred at R + 80 falls steepest at R + 90: inside the 0.4 s window of
// a cycle of 0.7 s or more, beyond half of any shorter one. A P centred at
// R - 45 rises steepest at R - 52: beyond 0.4 of a 0.48 s cycle before R.
TEST(AverageDelineation, PAndTWindowsFollowTheCycleLength) {
    struct Case {
        const char *what;
        double tCentre, pCentre;
        int rr;
        bool tFound, pFound;
    };
    const Case cases[] = {{"0.7 s cycle: 0.4 s T window", kR + 80, kR - 45, 175, true, true},
                          {"0.696 s cycle: T window to half the cycle", kR + 80, kR - 45, 174, false, true},
                          {"0.48 s cycle: P window from R - 0.4 RR", kR + 45, kR - 45, 120, true, false},
                          {"0.48 s cycle, later P", kR + 45, kR - 35, 120, true, true},
                          {"unknown cycle: widest windows", kR + 80, kR - 45, 0, true, true}};
    for (const Case &c : cases) {
        const AverageDelineation d = delineateAverage(averageWith(c.pCentre, c.tCentre), kR, c.rr);
        EXPECT_NEAR(d.r, kR, 1) << c.what;
        EXPECT_NEAR(d.tPeak, c.tFound ? c.tCentre : 0.0, 1) << c.what;
        EXPECT_NEAR(d.pPeak, c.pFound ? c.pCentre : 0.0, 1) << c.what;
        EXPECT_TRUE(!c.tFound || (d.tOnset < d.tPeak && d.tPeak < d.tEnd)) << c.what;
        EXPECT_TRUE(!c.pFound || (d.pOnset < d.pPeak && d.pPeak < d.pEnd && d.pEnd < d.qrsOnset)) << c.what;
    }
}

}  // namespace
