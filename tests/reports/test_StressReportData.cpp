// The values a stress report prints, filled from a study made by hand: the
// stage table's cells by protocol type, the maxima against the age and the
// header settings.

#include "reports/StressReportData.h"
#include "store/Protocol.h"
#include "store/Study.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<Study> ergometerStudy(const char *age) {
    auto study = std::make_unique<Study>(7);
    study->setProperty("patient/age", age);
    study->setProperty("patient/lastName", "Doe");
    study->setProperty("patient/firstName", "Jane");
    study->setStudyDateTime("20261208093005");
    auto protocol = std::make_unique<Protocol>();
    protocol->name = "Astrand";
    protocol->type = ProtocolType::Ergometer;
    protocol->appendErgometerStage(StagePhase::Rest, 65.4, 0);
    protocol->appendErgometerStage(StagePhase::Exercise, 180, 100);
    protocol->appendErgometerStage(StagePhase::Exercise, 125, 150);
    protocol->appendErgometerStage(StagePhase::Recovery, 60, 0);
    study->setProtocol(std::move(protocol));
    StudyResults &r = study->results();
    const double hr[] = {72, 118, 151, 96}, sbp[] = {120, 150, 0, 130}, mets[] = {0, 4.05, 5.6, 1};
    for (int i = 0; i < 4; ++i) {
        r.setPerStage(Result::BpmPerStage, i, hr[i]);
        r.setPerStage(Result::SysBpPerStage, i, sbp[i]);
        r.setPerStage(Result::DiaBpPerStage, i, sbp[i] > 0 ? 80 : 0);
        r.setPerStage(Result::DpPerStage, i, hr[i] * sbp[i]);
        r.setPerStage(Result::MetsPerStage, i, mets[i]);
        r.setPerStage(StudyResults::stLevelPerStage(10), i, -0.126 * i);
        r.setPerStage(StudyResults::stSlopePerStage(10), i, 0.04);
    }
    r.setScalar(Result::MaxBpm, 151);
    r.setScalar(Result::MaxMets, 5.6);
    return study;
}

}  // namespace

TEST(StressReportData, StageRowsOfAnErgometerTestInEitherWorkloadUnit) {
    const auto study = ergometerStudy("60");
    struct Case {
        const char *unit;
        const char *secondStageWorkload;
    } cases[] = {{"watts", "100.0 W"}, {"", "600.0 kgm/min"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.unit);
        ReportSettings settings;
        settings.workloadUnit = c.unit;
        const ReportData data = StressReportData::fill(*study, settings);
        ASSERT_EQ(data.rowCount("stage"), 4);
        EXPECT_EQ(data.row("stage", 1).value("workload").toStdString(), c.secondStageWorkload);
        EXPECT_EQ(data.field("hasWorkload"), "1");
        EXPECT_EQ(data.field("hasSpeed"), "");
    }
    const ReportData data = StressReportData::fill(*study, ReportSettings());
    // name, duration, METS, HR, BP, DP, ST and slope of V5 as the monitor shows them.
    const QStringList expected[] = {
        {"Rest 1", "01:05", "", "72", "120/80", "8640", "0.0 mm", "0.4 mm/s"},
        {"Exercise 1", "03:00", "4.0", "118", "150/80", "17700", "-1.3 mm", "0.4 mm/s"},
        {"Exercise 2", "02:05", "5.6", "151", "0/0", "0", "-2.5 mm", "0.4 mm/s"},
        {"Recovery 1", "01:00", "1.0", "96", "130/80", "12480", "-3.8 mm", "0.4 mm/s"},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const ReportData::Row &row = data.row("stage", i);
        const QStringList got{row.value("name"), row.value("duration"), row.value("METS"), row.value("HR"),
                              row.value("BP"),   row.value("DP"),       row.value("ST"),   row.value("STSlope")};
        EXPECT_EQ(got, expected[i]);
    }
    EXPECT_EQ(data.field("exerciseDuration"), "5:05");
    EXPECT_EQ(data.field("totalDuration"), "7:10");
    EXPECT_EQ(data.field("studyDate"), "2026-12-08 09:30");
    EXPECT_EQ(data.field("patientName"), "Doe, Jane");
}

TEST(StressReportData, MaximumHeartRateAgainstTheAgePredictedMaximum) {
    struct Case {
        const char *age;
        const char *predicted;
        const char *percent;
    } cases[] = {
        {"60", "160", "94"},  // 151 / 160 = 94.4 %
        {"20", "200", "76"},  // 75.5 % rounds up
        {"", "", ""},         // unknown age: no percentage rather than a wrong one
        {"abc", "", ""},     {"0", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.age);
        const ReportData data = StressReportData::fill(*ergometerStudy(c.age), ReportSettings());
        EXPECT_EQ(data.field("maxHR"), "151");
        EXPECT_EQ(data.field("predictedMaxHR"), c.predicted);
        EXPECT_EQ(data.field("maxHRPercent"), c.percent);
    }
}

TEST(StressReportData, HeaderAndSignatureComeFromTheSettingsHandedIn) {
    ReportSettings settings;
    settings.headerTitle = "Cardiology Unit";
    settings.headerLogoFilename = "/srv/logo.png";
    settings.signatureName = "Dr. A. Ruiz";
    settings.signatureLicense = "MC 1234";
    const ReportData data = StressReportData::fill(*ergometerStudy("60"), settings);
    EXPECT_EQ(data.field("headerTitle"), "Cardiology Unit");
    EXPECT_EQ(data.field("headerLogo"), "/srv/logo.png");
    EXPECT_EQ(data.field("signatureName"), "Dr. A. Ruiz");
    EXPECT_EQ(data.field("signatureLicense"), "MC 1234");
    QString value;
    EXPECT_TRUE(data.field("signatureImage", &value));
    EXPECT_TRUE(value.isEmpty());
    EXPECT_EQ(data.rowCount("lead"), 0) << "no recording, no average beats";
    EXPECT_TRUE(data.hasRowSet("event"));
}
