#include "ui/PlotLabelText.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(PlotLabelText, OnlyASingleFloatingConversionIsANumberFormat) {
    struct Case {
        const char *format;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"%g", true},  {"%.1f", true}, {"%+6.2f mm", true}, {"%g%%", true},   {"%e", true},
        {"%d", false}, {"%s", false},  {"%g %g", false},    {"100%%", false}, {"%*g", false},
        {"%n", false}, {"%Lg", false}, {"", false},         {"%", false},     {"%.", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PlotLabelText::isNumberFormat(QString::fromLatin1(c.format)), c.accepted) << c.format;
}

TEST(PlotLabelText, NumbersFollowTheFormatOrFallBackToShortestForm) {
    EXPECT_EQ(PlotLabelText::number(QStringLiteral("%.1f"), 2.26), QStringLiteral("2.3"));
    EXPECT_EQ(PlotLabelText::number(QStringLiteral("%g"), 1500), QStringLiteral("1500"));
    EXPECT_EQ(PlotLabelText::number(QStringLiteral("%g mmHg"), 120), QStringLiteral("120 mmHg"));
    // A format that would read a string or a second argument is not used.
    EXPECT_EQ(PlotLabelText::number(QStringLiteral("%s"), 1.5), QStringLiteral("1.5"));
    EXPECT_EQ(PlotLabelText::number(QStringLiteral("%g/%g"), 1.5), QStringLiteral("1.5"));
}

TEST(PlotLabelText, ElapsedTimesCountFromZero) {
    struct Case {
        const char *pattern;
        double seconds;
        const char *text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Case> cases = {
        {"mm:ss", 0, "00:00"},
        {"mm:ss", 75, "01:15"},
        {"mm:ss", 4500, "75:00"},  // no hour field: minutes run
                                   // on
        {"hh:mm:ss", 4500, "01:15:00"},
        {"h:mm", 3599, "0:59"},
        {"m:ss", 65, "1:05"},
        {"mm:ss", -30, "-00:30"},
        {"mm:ss", 59.6, "01:00"},
        {"mm.ss", 61, "01.01"},
        {"mm:ss", nan, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PlotLabelText::elapsed(QString::fromLatin1(c.pattern), c.seconds), QString::fromLatin1(c.text))
            << c.pattern << " " << c.seconds;
}

}  // namespace
