#include "ui/StudyFieldRules.h"

#include <gtest/gtest.h>

namespace {

using namespace StudyFieldRules;

TEST(StudyFieldRules, AgeCountsWholeYearsOnTheStudyDate) {
    struct Case {
        const char *birth;
        QDate study;
        const char *age;
    };
    const std::vector<Case> cases{
        {"5/3/62", QDate(2024, 3, 4), "61"},      // two-digit year is 1962; birthday not yet reached
        {"5/3/62", QDate(2024, 3, 5), "62"},      // on the birthday
        {"5/3/1962", QDate(2024, 2, 28), "61"},   // earlier month
        {"31/12/1980", QDate(2024, 1, 1), "43"},  // later month
        {"05/03/1962", QDate(2024, 6, 1), "62"},  // leading zeros read as well
        {"1/6/2024", QDate(2024, 12, 1), ""},     // under one year
        {"31/2/1970", QDate(2024, 3, 1), ""},     // no such date
        {"", QDate(2024, 3, 1), ""},
        {"yesterday", QDate(2024, 3, 1), ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ageText(QString::fromUtf8(c.birth), c.study), QString::fromUtf8(c.age)) << c.birth;
}

TEST(StudyFieldRules, BirthDateIsStoredAsDigitsOrNotAtAll) {
    EXPECT_EQ(storedBirthDate(QStringLiteral("5/3/62")), QByteArray("19620305"));
    EXPECT_EQ(storedBirthDate(QStringLiteral("17/11/2001")), QByteArray("20011117"));
    EXPECT_EQ(storedBirthDate(QStringLiteral("30/2/2001")), QByteArray());
    EXPECT_EQ(storedBirthDate(QStringLiteral("not a date")), QByteArray());
    EXPECT_EQ(shownBirthDate("19620305"), QStringLiteral("5/3/1962"));
    EXPECT_EQ(shownBirthDate(""), QString());
}

TEST(StudyFieldRules, BodyMassIndexNeedsAHeight) {
    struct Case {
        const char *weight, *height, *index;
    };
    for (const Case &c : std::vector<Case>{{"80", "180", "24.7"},
                                           {"80", "", ""},
                                           {"80", "0", ""},
                                           {"80", "-170", ""},
                                           {"62.5", "165", "23.0"},
                                           {"", "180", "0.0"}})
        EXPECT_EQ(bodyMassIndexText(QString::fromUtf8(c.weight), QString::fromUtf8(c.height)),
                  QString::fromUtf8(c.index))
            << c.weight << " kg " << c.height << " cm";
}

TEST(StudyFieldRules, TrainingZoneFollowsSexAgeAndPercentage) {
    EXPECT_EQ(maxHeartRate(true, 50), 170);
    EXPECT_EQ(subMaxHeartRate(170, 85), 144);  // 144.5 truncated
    EXPECT_EQ(maxHeartRate(false, 50), 160);
    EXPECT_EQ(subMaxHeartRate(160, 85), 136);
}

TEST(StudyFieldRules, RememberedValuesAreTrimmedAndKeptOnce) {
    QStringList cities;
    cities = remember(cities, QStringLiteral("  Rosario "));
    cities = remember(cities, QStringLiteral("Rosario"));
    cities = remember(cities, QStringLiteral("   "));
    cities = remember(cities, QStringLiteral("rosario"));  // another spelling is another entry
    EXPECT_EQ(cities, (QStringList{QStringLiteral("Rosario"), QStringLiteral("rosario")}));
    EXPECT_EQ(offered({QStringLiteral("beta"), QStringLiteral("Alfa"), QStringLiteral("Gamma")}),
              (QStringList{QStringLiteral("Alfa"), QStringLiteral("beta"), QStringLiteral("Gamma")}));
}

}  // namespace
