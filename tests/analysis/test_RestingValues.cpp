// The QRS axis and the stored resting values.
#include "analysis/RestingValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A lead flat at 5 whose QRS, inside samples [10, 30), rises `up` above that
// level and then falls `down` below it.
std::vector<double> leadWith(double up, double down) {
    std::vector<double> x(60, 5.0);
    for (int i = 12; i < 18; ++i) x[static_cast<std::size_t>(i)] += up * (i - 11) / 6.0;
    for (int i = 18; i < 24; ++i) x[static_cast<std::size_t>(i)] -= down * (i - 17) / 6.0;
    return x;
}

TEST(QrsAxis, FollowsTheNetDeflectionsOfLeadsOneAndThree) {
    const std::vector<double> up = leadWith(100, 0), down = leadWith(0, 100), flat = leadWith(0, 0), none;
    struct Case {
        const char *what;
        std::vector<double> i, iii;
        int onset, end;
        double degrees;
    };
    const Case cases[] = {{"equal nets in I and III", up, up, 10, 30, 60.0},
                          {"equal nets, each partly cancelled", leadWith(130, 30), up, 10, 30, 60.0},
                          {"III flat: perpendicular to III", up, flat, 10, 30, 30.0},
                          {"I flat: perpendicular to I", flat, up, 10, 30, 90.0},
                          {"both negative", down, down, 10, 30, -120.0},
                          {"lead I missing", none, up, 10, 30, kNoAxis},
                          {"lead III missing", up, none, 10, 30, kNoAxis},
                          {"onset unset", up, up, 0, 30, kNoAxis},
                          {"limits reversed", up, up, 30, 10, kNoAxis},
                          {"both leads flat", flat, flat, 10, 30, kNoAxis}};
    for (const Case &c : cases) EXPECT_NEAR(qrsAxis(c.i, c.iii, c.onset, c.end), c.degrees, 1e-9) << c.what;
}

// 250/s, R at sample 75: a QRS from 66 to 84 and a T ending by 170.
std::vector<double> restingLead(double scale) {
    std::vector<double> x(200, 0.0);
    for (int i = 66; i < 85; ++i) x[static_cast<std::size_t>(i)] = scale * 200.0 * (1.0 - std::fabs(i - 75) / 10.0);
    for (int i = 120; i < 170; ++i)
        x[static_cast<std::size_t>(i)] = scale * 40.0 * std::pow(std::sin(3.14159265 * (i - 120) / 50.0), 2);
    return x;
}

TEST(RestingValues, AreMarkerTimesRelativeToRWithTheAxisOfLeadsOneAndThree) {
    const RestingValues v =
        restingValues({restingLead(1.0), restingLead(0.5), restingLead(1.0)}, {"III", "II", "I"}, 250, 1, 0.8);
    EXPECT_DOUBLE_EQ(v.qrsOnset, 66 / 250.0 - 0.3);
    EXPECT_TRUE(v.qrsOffset > 0.0 && v.qrsOffset < 0.080) << v.qrsOffset;
    EXPECT_TRUE(v.tOffset > 0.300 && v.tOffset < 0.400) << v.tOffset;
    const std::vector<std::pair<QString, double>> expected = {
        {"measurementChannel", 1}, {"POnset", 0.0} /* no P: unset */,
        {"QRSOnset", v.qrsOnset},  {"QRSOffset", v.qrsOffset},
        {"TOffset", v.tOffset},    {"avgRRInterval", 0.8},
        {"QRSAxis", v.qrsAxis}};
    std::vector<std::pair<QString, double>> entries;
    for (const auto &[name, value] : v.entries()) entries.emplace_back(name.text(), value);
    EXPECT_EQ(entries, expected);
    EXPECT_NEAR(v.qrsAxis, 60.0, 1e-9) << "leads I and III found by name";

    const std::vector<double> flat(200, 3.0);
    const RestingValues none = restingValues({flat, flat, flat}, {"I", "II", "III"}, 250, 1, 0.8);
    EXPECT_EQ(none.qrsOnset, 0.0);
    EXPECT_EQ(none.qrsAxis, kNoAxis);
    EXPECT_EQ(restingValues({restingLead(1.0), restingLead(1.0)}, {"I", "II"}, 250, 1, 0.8).qrsAxis, kNoAxis);
}

}  // namespace
