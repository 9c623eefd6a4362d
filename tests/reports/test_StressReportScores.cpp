// The exercise scores and the reviewer's findings on the stress report: a
// score without its data prints "not available", findings not recorded leave
// their fields empty so the template drops the lines.

#include "reports/StressReportData.h"
#include "store/ExerciseFindings.h"
#include "store/Protocol.h"
#include "store/Study.h"

#include <gtest/gtest.h>

namespace {

// Bruce, 60 s rest at 80 bpm, 240 s exercise, 90 s recovery; V5 at -0.12 mV
// in the second exercise stage; a man of 50 reaching 150 bpm and 8 METS.
void fillBruce(Study &study) {
    study.setProperty("patient/age", "50");
    study.setProperty("patient/sex", "M");
    auto protocol = std::make_unique<Protocol>();
    protocol->name = "Bruce";
    protocol->appendTreadmillStage(StagePhase::Rest, 60, 0, 0);
    protocol->appendTreadmillStage(StagePhase::Exercise, 180, 2.7, 10);
    protocol->appendTreadmillStage(StagePhase::Exercise, 60, 4.0, 12);
    protocol->appendTreadmillStage(StagePhase::Recovery, 90, 0, 0);
    study.setProtocol(std::move(protocol));
    StudyResults &r = study.results();
    r.setPerStage(Result::BpmPerStage, 0, 80);
    r.setPerStage(StudyResults::stLevelPerStage(10), 2, -0.12);
    r.setScalar(Result::MaxBpm, 150);
    r.setScalar(Result::MaxMets, 8.0);
    // 150 bpm over the last exercise seconds, 120 bpm one minute later.
    for (int t = 296; t <= 300; ++t) r.appendPoint(Result::BpmTrend, t, 150);
    for (int t = 356; t <= 390; ++t) r.appendPoint(Result::BpmTrend, t, 120);
}

}  // namespace

TEST(StressReportScores, ScoresAndFindingsAsPrinted) {
    struct Case {
        const char *name;
        std::optional<Angina> angina;
        std::optional<StopReason> reason;
        const char *reasonText;
        QString duke, stopReason, anginaText;
    };
    // Duke: 4 min − 5 × 1.2 mm − 4 × index.
    const Case cases[] = {
        {"nothing recorded", std::nullopt, std::nullopt, "", "not available", "", ""},
        {"limiting angina, chest pain with a note", Angina::Limiting, StopReason::ChestPain, "at 4 min", "-10.0",
         "Chest pain: at 4 min", "Limiting"},
        {"no angina, fatigue", Angina::None, StopReason::Fatigue, "", "-2.0", "Fatigue", "None"},
        {"a note alone", std::nullopt, std::nullopt, "asked to stop", "not available", "asked to stop", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Study study(3);
        fillBruce(study);
        ExerciseFindings::setAngina(study, c.angina);
        ExerciseFindings::setStopReason(study, c.reason);
        ExerciseFindings::setStopReasonText(study, QString::fromUtf8(c.reasonText));
        const ReportData data = StressReportData::fill(study, ReportSettings());
        EXPECT_EQ(data.field("dukeScore"), c.duke);
        EXPECT_EQ(data.field("stopReason"), c.stopReason);
        EXPECT_EQ(data.field("angina"), c.anginaText);
        EXPECT_EQ(data.field("heartRateRecovery"), "30 bpm");
        EXPECT_EQ(data.field("chronotropicIndex"), "0.78") << "(150 - 80) / (170 - 80)";
        EXPECT_EQ(data.field("metsAgainstPredicted"), "8.0 of 10.5 predicted (76%)");
    }
}
