// What the stress monitor shows: its labels and stage table from a study,
// and when it prompts for the blood pressure and prints a stage.

#include "store/Study.h"
#include "stress/StagePrompts.h"
#include "stress/StressEvents.h"
#include "stress/StressMonitorTexts.h"

#include <gtest/gtest.h>
#include <memory>

using namespace StressMonitorTexts;

TEST(StressMonitorTexts, TimesAndHeartRate) {
    EXPECT_EQ(clockText(125.9), QStringLiteral(" 2:05"));
    EXPECT_EQ(clockText(-3.0), QStringLiteral(" 0:00"));
    EXPECT_EQ(totalTimeText(3600.0), QStringLiteral("60:00 total"));
    EXPECT_EQ(stageTimeText(180.0), QStringLiteral("/  3:00 stage"));
    struct Case {
        double rr;
        int hr;
    };
    for (const Case &c : {Case{0.5, 120}, Case{0.7, 85}, Case{0.0, 0}, Case{-1.0, 0}})
        EXPECT_EQ(heartRate(c.rr), c.hr) << c.rr;
}

TEST(StressMonitorTexts, OneDecimalNeverPrintsANegativeZero) {
    struct Case {
        double value;
        const char *text;
    };
    for (const Case &c : {Case{-0.04, "0.0"}, Case{-0.0, "0.0"}, Case{0.04, "0.0"}, Case{-0.05, "-0.1"},
                          Case{-1.26, "-1.3"}, Case{2.0, "2.0"}})
        EXPECT_EQ(oneDecimal(c.value), QLatin1String(c.text)) << c.value;
}

TEST(StressMonitorTexts, HeartRatePercentagesAreWholeAndZeroWithoutTargets) {
    struct Case {
        int hr, max, sub;
        const char *text;
    };
    const Case cases[] = {
        {150, 180, 153, "83% max 180<br/>98% sub 153"},
        {120, 0, 0, "0% max 0<br/>0% sub 0"},
        {120, 160, 0, "75% max 160<br/>0% sub 0"},
    };
    for (const Case &c : cases) EXPECT_EQ(heartRateInfoText(c.hr, c.max, c.sub), QString::fromUtf8(c.text));
    Study study;
    EXPECT_EQ(trainingZoneMax(study), 0) << "missing";
    study.setProperty("patient/trainingZoneMax", "abc");
    EXPECT_EQ(trainingZoneMax(study), 0) << "not a number";
    study.setProperty("patient/trainingZoneSubMax", "144");
    EXPECT_EQ(trainingZoneSubMax(study), 144);
}

TEST(StressMonitorTexts, StageTableCountsStagesPerPhaseAndShowsTheirResults) {
    Study study;
    auto recorded = std::make_unique<Protocol>();
    recorded->type = ProtocolType::Treadmill;
    recorded->appendTreadmillStage(StagePhase::Rest, 65.4, 0.0, 0.0);
    recorded->appendTreadmillStage(StagePhase::Exercise, 180.0, 2.7, 10.0);
    recorded->appendTreadmillStage(StagePhase::Exercise, 181.0, 4.0, 12.0);
    study.setProtocol(std::move(recorded));
    StudyResults &r = study.results();
    r.setPerStage(Result::BpmPerStage, 2, 131);
    r.setPerStage(Result::SysBpPerStage, 2, 130);
    r.setPerStage(Result::DiaBpPerStage, 2, 85);
    r.setPerStage(Result::DpPerStage, 2, 17030);
    r.setPerStage(Result::MetsPerStage, 2, 7.04);
    r.setPerStage(ResultName(LeadResult::StLevelPerStage, 10), 2, -0.123);
    r.setPerStage(ResultName(LeadResult::StSlopePerStage, 10), 2, 0.25);

    const StageTable table = stageTable(study, StressEvents::phaseNames(ProtocolType::Treadmill), "watts");
    EXPECT_EQ(table.headers, (QStringList{"Stage", "Duration", "Speed", "Incline", "METS", "HR", "SBP/DBP", "DP",
                                          "ST [V5]", QString::fromUtf8("\u2206ST [V5]")}));
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0],
              (QStringList{"Rest 1", "01:05", "0.0 km/h", "0.0 %", "", "0", "0/0", "0", "0.0 mm", "0.0 mm/s"}));
    EXPECT_EQ(table.rows[2], (QStringList{"Exercise 2", "03:01", "4.0 km/h", "12.0 %", "7.0", "131", "130/85", "17030",
                                          "-1.2 mm", "2.5 mm/s"}));
}

TEST(StagePrompts, APrintWaitsForThePromptOfItsStage) {
    struct Case {
        const char *name;
        bool openAtStageChange;  // the prompt still open when the stage changed
        bool accepted;
        bool ticked;
        bool printsAtChange;
        bool printsAtAccept;
    };
    const Case cases[] = {
        {"answered before the change, ticked", false, true, true, true, false},
        {"still open at the change, ticked", true, true, true, false, true},
        {"still open at the change, not ticked", true, true, false, false, false},
        {"still open at the change, cancelled", true, false, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        StagePrompts prompts;
        prompts.started();
        prompts.stopPressed();  // the same flags the end-of-stage prompt sets
        bool atAccept = false;
        if (!c.openAtStageChange && c.accepted) atAccept = prompts.promptAccepted(c.ticked);
        const bool atChange = prompts.stageChanged(c.openAtStageChange);
        if (c.openAtStageChange) {
            if (c.accepted)
                atAccept = prompts.promptAccepted(c.ticked);
            else
                prompts.promptRejected();
        }
        EXPECT_EQ(atChange, c.printsAtChange);
        EXPECT_EQ(atAccept, c.printsAtAccept);
        EXPECT_TRUE(prompts.armed()) << "the next stage may prompt again";
        EXPECT_FALSE(prompts.printPending());
    }
}

TEST(StagePrompts, NextStagePromptPrintsOnlyWhenTicked) {
    StagePrompts prompts;
    prompts.started();
    prompts.stageButtonPressed();
    EXPECT_FALSE(prompts.armed());
    EXPECT_FALSE(prompts.stageChanged(true)) << "nothing pending from the stage timer";
    EXPECT_TRUE(prompts.promptAccepted(true));
    prompts.stageButtonPressed();
    EXPECT_FALSE(prompts.promptAccepted(false));
    EXPECT_FALSE(prompts.printOnAccept());
}
