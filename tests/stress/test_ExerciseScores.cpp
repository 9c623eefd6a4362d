// The exercise-test scores from a stored series worked by hand, and the
// figures whose data are missing, which must read "not available" and never 0.

#include "analysis/ChannelTable.h"
#include "store/ExerciseFindings.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "stress/ExerciseScores.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using P = StagePhase;

// A Bruce test: 120 s rest, 180 + 180 + 95 s exercise, 120 s recovery.
// Heart rate per beat every second: 70 at rest, rising 0.2 bpm/s to 161
// at the end of exercise, then falling 0.5 bpm/s.
std::unique_ptr<Study> bruceStudy() {
    auto study = std::make_unique<Study>(1);
    auto protocol = std::make_unique<Protocol>();
    protocol->name = QStringLiteral("Bruce");
    protocol->appendTreadmillStage(P::Rest, 120, 0, 0);
    protocol->appendTreadmillStage(P::Exercise, 180, 2.7, 10);
    protocol->appendTreadmillStage(P::Exercise, 180, 4.0, 12);
    protocol->appendTreadmillStage(P::Exercise, 95, 5.4, 14);
    protocol->appendTreadmillStage(P::Recovery, 120, 0, 0);
    study->setProtocol(std::move(protocol));
    StudyResults &r = study->results();
    for (int t = 1; t <= 695; ++t) {
        double bpm = 70.0;
        if (t > 120 && t <= 575) bpm = 70.0 + 0.2 * (t - 120);
        if (t > 575) bpm = 161.0 - 0.5 * (t - 575);
        r.appendPoint(Result::BpmTrend, t, bpm);
    }
    const double stageBpm[] = {70, 106, 142, 161, 101};
    for (int s = 0; s < 5; ++s) r.setPerStage(Result::BpmPerStage, s, stageBpm[s]);
    r.setScalar(Result::MaxBpm, 161);
    r.setScalar(Result::MaxMets, 7.0);
    const int v5 = ChannelTable::indexOf("V5");
    const int aVR = ChannelTable::indexOf("aVR");
    const int cm5 = ChannelTable::indexOf("CM5");
    const double v5Levels[] = {-0.30, -0.05, -0.10, -0.18, -0.12};  // rest stage ignored
    for (int s = 0; s < 5; ++s) {
        r.setPerStage(StudyResults::stLevelPerStage(v5), s, v5Levels[s]);
        r.setPerStage(StudyResults::stLevelPerStage(aVR), s, 0.40);   // aVR ignored
        r.setPerStage(StudyResults::stLevelPerStage(cm5), s, -0.50);  // not a standard lead
    }
    study->setProperty("patient/age", "55");
    study->setProperty("patient/sex", "M");
    ExerciseFindings::setAngina(*study, Angina::NonLimiting);
    return study;
}

}  // namespace

TEST(ExerciseScores, HandComputedFromAStoredSeries) {
    struct Case {
        const char *name;
        void (*change)(Study &);
        double duke, hrr, chronotropic, metsPercent;
    };
    // Exercise 455 s = 7.5833 min; ST 1.8 mm (V5, exercise stage 3).
    // Peak exercise: mean of 160.2 .. 161 over (570, 575] = 160.6.
    // One minute: mean of 133 .. 131 over (630, 635] = 132; HRR 28.6.
    // Chronotropic (161 − 70) / (165 − 70) = 0.95789.
    // Predicted METS for a man of 55: 18 − 8.25 = 9.75; 7 / 9.75 = 71.79 %.
    const Case cases[] = {
        {"as recorded", [](Study &) {}, 455.0 / 60.0 - 9.0 - 4.0, 28.6, 91.0 / 95.0, 700.0 / 9.75},
        {"no angina", [](Study &s) { ExerciseFindings::setAngina(s, Angina::None); }, 455.0 / 60.0 - 9.0, 28.6,
         91.0 / 95.0, 700.0 / 9.75},
        {"limiting angina", [](Study &s) { ExerciseFindings::setAngina(s, Angina::Limiting); },
         455.0 / 60.0 - 9.0 - 8.0, 28.6, 91.0 / 95.0, 700.0 / 9.75},
        {"ST elevation counts as deviation",
         [](Study &s) { s.results().setPerStage(StudyResults::stLevelPerStage(0), 2, 0.25); },
         455.0 / 60.0 - 12.5 - 4.0, 28.6, 91.0 / 95.0, 700.0 / 9.75},
        {"a woman of 40",
         [](Study &s) {
             s.setProperty("patient/sex", "F");
             s.setProperty("patient/age", "40");
         },
         455.0 / 60.0 - 9.0 - 4.0, 28.6, 91.0 / 110.0, 700.0 / (14.7 - 5.2)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto study = bruceStudy();
        c.change(*study);
        const ExerciseScores s = ExerciseScores::compute(*study);
        ASSERT_TRUE(s.dukeScore && s.heartRateRecovery && s.chronotropicIndex && s.metsPercent);
        EXPECT_NEAR(*s.dukeScore, c.duke, 1e-9);
        EXPECT_NEAR(*s.heartRateRecovery, c.hrr, 1e-9);
        EXPECT_NEAR(*s.chronotropicIndex, c.chronotropic, 1e-9);
        EXPECT_NEAR(*s.metsPercent, c.metsPercent, 1e-9);
    }
}

TEST(ExerciseScores, MissingDataIsNotAvailableNotZero) {
    struct Case {
        const char *name;
        void (*change)(Study &);
        bool duke, hrr, chronotropic, predictedMets;
    };
    const Case cases[] = {
        {"angina not recorded", [](Study &s) { ExerciseFindings::setAngina(s, std::nullopt); }, false, true, true,
         true},
        {"another protocol", [](Study &s) { s.protocol()->name = QStringLiteral("Naughton"); }, false, true, true,
         true},
        {"recording ends within the first recovery minute",
         [](Study &s) {
             auto &r = s.results();
             const std::vector<double> times(r.times(Result::BpmTrend).begin(),
                                             r.times(Result::BpmTrend).begin() + 620);
             const std::vector<double> values(r.values(Result::BpmTrend).begin(),
                                              r.values(Result::BpmTrend).begin() + 620);
             r.clear();
             for (std::size_t i = 0; i < times.size(); ++i) r.appendPoint(Result::BpmTrend, times[i], values[i]);
             r.setScalar(Result::MaxBpm, 161);
             r.setPerStage(Result::BpmPerStage, 0, 70);
             r.setPerStage(StudyResults::stLevelPerStage(0), 1, -0.1);
         },
         true, false, true, true},
        {"no age", [](Study &s) { s.setProperty("patient/age", ""); }, true, true, false, false},
        {"no sex", [](Study &s) { s.setProperty("patient/sex", ""); }, true, true, true, false},
        {"no rest heart rate", [](Study &s) { s.results().setPerStage(Result::BpmPerStage, 0, 0); }, true, true, false,
         true},
        {"no protocol", [](Study &s) { s.setProtocol(nullptr); }, false, false, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto study = bruceStudy();
        c.change(*study);
        const ExerciseScores s = ExerciseScores::compute(*study);
        EXPECT_EQ(s.dukeScore.has_value(), c.duke);
        EXPECT_EQ(s.heartRateRecovery.has_value(), c.hrr);
        EXPECT_EQ(s.chronotropicIndex.has_value(), c.chronotropic);
        EXPECT_EQ(s.predictedMets.has_value(), c.predictedMets);
        if (!c.duke) {
            EXPECT_EQ(ExerciseScoreTexts::duke(s), ExerciseScoreTexts::notAvailable());
        }
        if (!c.hrr) {
            EXPECT_EQ(ExerciseScoreTexts::heartRateRecovery(s), ExerciseScoreTexts::notAvailable());
        }
        if (!c.chronotropic) {
            EXPECT_EQ(ExerciseScoreTexts::chronotropicIndex(s), ExerciseScoreTexts::notAvailable());
        }
    }
    Study empty;
    const ExerciseScores none = ExerciseScores::compute(empty);
    EXPECT_EQ(ExerciseScoreTexts::mets(none), ExerciseScoreTexts::notAvailable()) << "maxMETS 0 is not a figure";
}
