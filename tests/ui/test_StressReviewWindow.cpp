// The stress review window on a study `tarvelin-ecg-cli run` made from the
// simulator's stress profile: the stored series in the stage table, pressure
// edits and the maxima, events, conclusion phrases, what survives closing,
// the ST lead, the tilt-test trends, the ST read at the stage ends against
// the stored stage values, the scores, and the parts following each other.

#include "ReviewWindowRig.h"
#include "analysis/ChannelTable.h"
#include "store/ExerciseFindings.h"
#include "store/Protocol.h"
#include "stress/StressMonitorTexts.h"
#include "ui/QPlotGraphic.h"
#include "ui/QSignalBrowseDisplay.h"
#include "ui/TrendSeries.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <cmath>

namespace {

const int kV5 = ChannelTable::indexOf("V5");
const int kV2 = ChannelTable::indexOf("V2");

#define REQUIRE_STUDY(rig)                                                                                             \
    ASSERT_NE((rig).study, nullptr) << "the review study was not made (" TARVELIN_REVIEW_STUDY_ID ")";                 \
    (rig).open()

QString stCell(const StudyResults &r, int lead, int stage) {
    return QString::asprintf("%.1f mm", 10.0 * r.perStage(StudyResults::stLevelPerStage(lead), stage));
}

}  // namespace

TEST(StressReviewWindow, StageTableShowsTheStoredSeries) {
    ReviewWindowRig rig;
    REQUIRE_STUDY(rig);
    auto *tree = rig.widget<QTreeWidget>("treeProtocol");
    const StudyResults &r = rig.study->results();
    ASSERT_EQ(tree->topLevelItemCount(), rig.study->protocol()->stageCount());
    ASSERT_GE(tree->topLevelItemCount(), 4);
    const int p = rig.window->pressureColumn();
    for (int stage = 0; stage < tree->topLevelItemCount(); ++stage) {
        SCOPED_TRACE(stage);
        const QTreeWidgetItem *row = tree->topLevelItem(stage);
        EXPECT_EQ(row->text(p - 1), QString::number(static_cast<int>(r.perStage(Result::BpmPerStage, stage))));
        EXPECT_EQ(row->text(p), QStringLiteral("%1/%2")
                                    .arg(r.perStage(Result::SysBpPerStage, stage))
                                    .arg(r.perStage(Result::DiaBpPerStage, stage)));
        EXPECT_EQ(row->text(p + 2), stCell(r, kV5, stage));
    }
    EXPECT_EQ(tree->topLevelItem(1)->text(p), "140/82");
    EXPECT_EQ(tree->headerItem()->text(p + 2), "ST [V5]");
}

TEST(StressReviewWindow, PressureEditsStoreAndRecomputeTheMaxima) {
    struct Case {
        const char *typed;
        bool stored;
    };
    const Case cases[] = {{"135/85", true},  {"135-85", false},  {"200/185", true},
                          {"85/135", false}, {"1350/85", false}, {"", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        ReviewWindowRig rig;
        REQUIRE_STUDY(rig);
        auto *tree = rig.widget<QTreeWidget>("treeProtocol");
        StudyResults &r = rig.study->results();
        const int p = rig.window->pressureColumn();
        const int stage = 0;  // rest, 120/80
        const std::vector<double> sysBefore = r.values(Result::SysBpPerStage);
        const double maxSysBefore = r.scalar(Result::MaxSysBp);
        QTreeWidgetItem *row = tree->topLevelItem(stage);
        emit tree->itemDoubleClicked(row, p);
        row->setText(p, QString::fromLatin1(c.typed));
        if (!c.stored) {
            EXPECT_EQ(row->text(p), "120/80") << "the stored text comes back";
            EXPECT_EQ(r.values(Result::SysBpPerStage), sysBefore);
            EXPECT_EQ(r.scalar(Result::MaxSysBp), maxSysBefore);
            continue;
        }
        const QStringList typed = QString::fromLatin1(c.typed).split('/');
        const double sys = typed[0].toDouble(), dia = typed[1].toDouble();
        EXPECT_EQ(row->text(p), QString::fromLatin1(c.typed));
        EXPECT_EQ(r.perStage(Result::SysBpPerStage, stage), sys);
        EXPECT_EQ(r.perStage(Result::DiaBpPerStage, stage), dia);
        const double hr = static_cast<int>(r.perStage(Result::BpmPerStage, stage));
        EXPECT_EQ(r.perStage(Result::DpPerStage, stage), hr * sys);
        EXPECT_EQ(row->text(p + 1), QString::number(static_cast<int>(hr * sys)));
        double maxSys = 0, maxDia = 0, maxDp = 0;
        for (int s = 0; s < tree->topLevelItemCount(); ++s) {
            maxSys = std::max(maxSys, r.perStage(Result::SysBpPerStage, s));
            maxDia = std::max(maxDia, r.perStage(Result::DiaBpPerStage, s));
            maxDp = std::max(maxDp, r.perStage(Result::DpPerStage, s));
        }
        EXPECT_EQ(r.scalar(Result::MaxSysBp), maxSys);
        EXPECT_EQ(r.scalar(Result::MaxDiaBp), maxDia);
        EXPECT_EQ(r.scalar(Result::MaxDp), maxDp);
        EXPECT_DOUBLE_EQ(r.scalar(Result::MaxVo2), 3.5 * r.scalar(Result::MaxMets));
        rig.reopen();
        EXPECT_EQ(rig.study->results().perStage(Result::SysBpPerStage, stage), sys) << "saved on closing";
        EXPECT_EQ(rig.study->results().scalar(Result::MaxSysBp), maxSys);
    }
}

TEST(StressReviewWindow, AnEventAddedDescribedAndRemoved) {
    ReviewWindowRig rig;
    REQUIRE_STUDY(rig);
    auto *display = rig.widget<QSignalBrowseDisplay>("ecgDisplay1");
    auto *events = rig.widget<QTreeWidget>("treeEvents");
    const int before = rig.study->eventCount();
    display->setStartTime(100.0);
    QTest::mouseClick(rig.widget<QPushButton>("btnAddEvent"), Qt::LeftButton);
    ASSERT_EQ(rig.study->eventCount(), before + 1);
    const StudyEvent &added = rig.study->event(before);
    EXPECT_EQ(added.position, 100.0);
    EXPECT_EQ(added.duration, 7.0);
    EXPECT_EQ(added.description, "Enter description");
    QTreeWidgetItem *row = events->topLevelItem(before);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(events->currentItem(), row);
    row->setText(2, "  ST depression V5  ");
    EXPECT_EQ(rig.study->event(before).description, "ST depression V5");

    display->setStartTime(10.0);
    events->setCurrentItem(nullptr);
    events->setCurrentItem(row);
    EXPECT_EQ(display->startTime(), 99.0) << "selecting the event shows it";
    EXPECT_EQ(display->highlightStart(), 100.0);

    events->setFocus();
    QTest::keyClick(events, Qt::Key_Delete);
    EXPECT_EQ(rig.study->eventCount(), before);
    EXPECT_EQ(events->topLevelItemCount(), before);
    for (int i = 0; i < rig.study->eventCount(); ++i) EXPECT_NE(rig.study->event(i).description, "ST depression V5");
}

TEST(StressReviewWindow, PredefinedPhrasesAppendToTheConclusion) {
    ReviewWindowRig rig;
    ASSERT_NE(rig.study, nullptr);
    QSettings().setValue("ReviewWindow/PredefinedConclusionList",
                         QStringList{"Submaximal test", "Clinically and electrically negative"});
    QSettings().setValue("ReviewWindow/PredefinedConclusionListAlphaSort", true);
    rig.study->setProperty("conclusion", "Good effort.");
    rig.open();
    auto *list = rig.widget<QListView>("listPredefinedText");
    auto *text = rig.widget<QPlainTextEdit>("textConclusion");
    const QModelIndex first = list->model()->index(0, 0);
    EXPECT_EQ(first.data().toString(), "Clinically and electrically negative") << "sorted";
    emit list->doubleClicked(first);
    EXPECT_EQ(text->toPlainText(), "Good effort.\nClinically and electrically negative");
    EXPECT_EQ(rig.study->property("conclusion"), "Good effort.\nClinically and electrically negative");

    QTest::mouseClick(rig.widget<QPushButton>("btnPredefinedAdd"), Qt::LeftButton);
    EXPECT_EQ(list->model()->rowCount(), 3);
    rig.widget<QCheckBox>("chkPredefinedAlphaSort")->setChecked(false);
    list->setCurrentIndex(list->model()->index(2, 0));
    EXPECT_EQ(list->currentIndex().data().toString(), "Enter conclusion");
    QTest::mouseClick(rig.widget<QPushButton>("btnPredefinedUp"), Qt::LeftButton);
    EXPECT_EQ(list->model()->index(1, 0).data().toString(), "Enter conclusion");
    QTest::mouseClick(rig.widget<QPushButton>("btnPredefinedRemove"), Qt::LeftButton);
    rig.window->close();
    EXPECT_EQ(QSettings().value("ReviewWindow/PredefinedConclusionList").toStringList(),
              (QStringList{"Submaximal test", "Clinically and electrically negative"}));
    EXPECT_FALSE(QSettings().value("ReviewWindow/PredefinedConclusionListAlphaSort").toBool());
}

TEST(StressReviewWindow, ConclusionAndFindingsSurviveClosingAndReopening) {
    ReviewWindowRig rig;
    REQUIRE_STUDY(rig);
    rig.widget<QPlainTextEdit>("textConclusion")->setPlainText("Negative for ischaemia.\nGood tolerance.");
    auto *reason = rig.widget<QComboBox>("cmbStopReason");
    reason->setCurrentIndex(reason->findText("Fatigue"));
    emit reason->activated(reason->currentIndex());
    auto *detail = rig.widget<QLineEdit>("txtStopReason");
    detail->setText("legs");
    auto *angina = rig.widget<QComboBox>("cmbAngina");
    angina->setCurrentIndex(angina->findText("Non-limiting"));
    emit angina->activated(angina->currentIndex());

    rig.reopen();
    EXPECT_EQ(rig.widget<QPlainTextEdit>("textConclusion")->toPlainText(), "Negative for ischaemia.\nGood tolerance.");
    EXPECT_EQ(rig.widget<QComboBox>("cmbStopReason")->currentText(), "Fatigue");
    EXPECT_EQ(rig.widget<QLineEdit>("txtStopReason")->text(), "legs");
    EXPECT_EQ(rig.widget<QComboBox>("cmbAngina")->currentText(), "Non-limiting");
    EXPECT_EQ(ExerciseFindings::stopReason(*rig.study), StopReason::Fatigue);
    EXPECT_EQ(ExerciseFindings::angina(*rig.study), Angina::NonLimiting);
}

TEST(StressReviewWindow, TheStLeadChangesTheTrendAndTheColumns) {
    ReviewWindowRig rig;
    REQUIRE_STUDY(rig);
    auto *plot = rig.widget<QPlotGraphic>("graphicST");
    auto *tree = rig.widget<QTreeWidget>("treeProtocol");
    const int st = rig.window->pressureColumn() + 2;
    const auto *before = dynamic_cast<const TrendSeries *>(plot->series());
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->name(), StudyResults::stLevelTrend(kV5));

    emit plot->customContextMenuRequested(QPoint(10, 10));
    ASSERT_NE(rig.window->contextMenu(), nullptr);
    QAction *v2 = nullptr;
    for (QAction *a : rig.window->contextMenu()->actions())
        if (a->menu())
            for (QAction *lead : a->menu()->actions())
                if (lead->text() == "V2") v2 = lead;
    ASSERT_NE(v2, nullptr);
    v2->trigger();

    const auto *after = dynamic_cast<const TrendSeries *>(plot->series());
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->name(), StudyResults::stLevelTrend(kV2));
    EXPECT_EQ(tree->headerItem()->text(st), "ST [V2]");
    EXPECT_EQ(tree->headerItem()->text(st + 1), QString::fromUtf8("\u2206ST [V2]"));
    for (int stage = 0; stage < tree->topLevelItemCount(); ++stage)
        EXPECT_EQ(tree->topLevelItem(stage)->text(st), stCell(rig.study->results(), kV2, stage)) << stage;
    EXPECT_EQ(QSettings().value("ReviewWindow/STLeadName").toString(), "V2");
}

TEST(StressReviewWindow, ATiltTestShowsOnlyHeartRateAndPressure) {
    ReviewWindowRig rig;
    ASSERT_NE(rig.study, nullptr);
    rig.study->protocol()->type = ProtocolType::TiltTest;
    rig.open();
    for (const char *name : {"graphicHR", "graphicBP"}) EXPECT_TRUE(rig.widget<QWidget>(name)->isVisible()) << name;
    for (const char *name : {"graphicDP", "graphicST", "graphicMETS"})
        EXPECT_FALSE(rig.widget<QWidget>(name)->isVisible()) << name;
    EXPECT_EQ(rig.widget<QPlotGraphic>("graphicBP")->yRange().max, 200.0);
}

TEST(StressReviewWindow, StAtEachStageEndAgreesWithTheStoredStageValue) {
    ReviewWindowRig rig;
    REQUIRE_STUDY(rig);
    auto *tree = rig.widget<QTreeWidget>("treeProtocol");
    const StudyResults &r = rig.study->results();
    for (int stage = 0; stage < tree->topLevelItemCount(); ++stage) {
        SCOPED_TRACE(stage);
        tree->setCurrentItem(tree->topLevelItem(stage));
        EXPECT_NEAR(rig.window->position(), rig.study->protocol()->stageEnd(stage), 0.01);
        const std::optional<double> st = rig.window->stLevelAtPosition();
        ASSERT_TRUE(st);
        EXPECT_NEAR(*st, r.perStage(StudyResults::stLevelPerStage(kV5), stage), 0.02);
        rig.window->refreshStReading();
        EXPECT_TRUE(rig.widget<QLabel>("lblSTInfo")->text().endsWith(QString::asprintf("%.1f mm", 10 * *st)));
    }
}

TEST(StressReviewWindow, ScoresOfTheStudyFromItsStoredSeries) {
    ReviewWindowRig rig;
    REQUIRE_STUDY(rig);
    auto *angina = rig.widget<QComboBox>("cmbAngina");
    EXPECT_EQ(rig.widget<QLabel>("lblDuke")->text(), "not available") << "angina not yet recorded";
    angina->setCurrentIndex(angina->findText("Limiting"));
    emit angina->activated(angina->currentIndex());

    // By hand from the stored series: exercise minutes of the recorded
    // exercise stages, the largest |ST| of their and the recovery stages'
    // standard leads but aVR, the mean rate of the 5 s before the end of
    // exercise and before one minute later, the rest stage's rate.
    const Protocol &p = *rig.study->protocol();
    const StudyResults &r = rig.study->results();
    double minutes = 0, st = 0, recoveryStart = -1, restHr = 0;
    for (int s = 0; s < p.stageCount(); ++s) {
        if (p.stage(s).phase == StagePhase::Exercise) minutes += p.stage(s).duration / 60;
        if (p.stage(s).phase == StagePhase::Rest) restHr = r.perStage(Result::BpmPerStage, s);
        if (p.stage(s).phase == StagePhase::Recovery && recoveryStart < 0) recoveryStart = p.stageStart(s);
        if (p.stage(s).phase == StagePhase::Rest) continue;
        for (int lead = 0; lead < 12; ++lead)
            if (lead != ChannelTable::indexOf("aVR"))
                st = std::max(st, 10 * std::fabs(r.perStage(StudyResults::stLevelPerStage(lead), s)));
    }
    auto meanRate = [&](double end) {
        double sum = 0;
        int n = 0;
        for (std::size_t i = 0; i < r.times(Result::BpmTrend).size(); ++i)
            if (r.times(Result::BpmTrend)[i] > end - 5 && r.times(Result::BpmTrend)[i] <= end) {
                sum += r.values(Result::BpmTrend)[i];
                ++n;
            }
        return sum / n;
    };
    ASSERT_GT(recoveryStart, 0);
    const double duke = minutes - 5 * st - 8;
    const double hrr = meanRate(recoveryStart) - meanRate(recoveryStart + 60);
    const double ci = (r.scalar(Result::MaxBpm) - restHr) / (220 - 55 - restHr);
    EXPECT_EQ(rig.widget<QLabel>("lblDuke")->text(), QString::number(duke, 'f', 1));
    EXPECT_EQ(rig.widget<QLabel>("lblHrRecovery")->text(), QStringLiteral("%1 bpm").arg(QString::number(hrr, 'f', 0)));
    EXPECT_EQ(rig.widget<QLabel>("lblChronotropic")->text(), QString::number(ci, 'f', 2));
    EXPECT_GT(hrr, 5.0) << "the simulated rate falls in recovery";
}

TEST(StressReviewWindow, TrendsStageTableAndEcgFollowEachOther) {
    ReviewWindowRig rig;
    REQUIRE_STUDY(rig);
    auto *display = rig.widget<QSignalBrowseDisplay>("ecgDisplay1");
    auto *tree = rig.widget<QTreeWidget>("treeProtocol");
    auto *hr = rig.widget<QPlotGraphic>("graphicHR");
    auto *st = rig.widget<QPlotGraphic>("graphicST");

    tree->setCurrentItem(tree->topLevelItem(2));  // second exercise stage
    const double end = rig.study->protocol()->stageEnd(2);
    EXPECT_NEAR(display->startTime() + display->pageSeconds(), end, 0.01);
    EXPECT_NEAR(hr->cursorTime(), end, 0.01);
    EXPECT_NEAR(st->cursorTime(), end, 0.01);
    EXPECT_TRUE(rig.widget<QLabel>("lblStageInfo")->text().contains("Exercise 2"));
    EXPECT_EQ(rig.widget<QLabel>("lblTotalElapsedTime")->text(), StressMonitorTexts::totalTimeText(end));

    // A click on the heart-rate trend moves the ECG there.
    const PlotGeometry g = hr->geometryNow();
    const QPoint at(static_cast<int>(g.xAt(150.0)), (g.top() + g.bottom()) / 2);
    QTest::mouseClick(hr, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_NEAR(rig.window->position(), hr->cursorTime(), 1e-9);
    EXPECT_NEAR(rig.window->position(), 150.0, 1.0);

    // Scrolling the ECG moves the cursors and the frames.
    display->setFocus();
    QTest::keyClick(display, Qt::Key_Home);
    EXPECT_NEAR(hr->cursorTime(), display->pageSeconds(), 0.01);
    EXPECT_TRUE(rig.widget<QLabel>("lblStageInfo")->text().contains("Rest 1"));
    QTest::keyClick(display, Qt::Key_End);
    EXPECT_NEAR(st->cursorTime(), display->recordSeconds(), 0.01);
    EXPECT_TRUE(rig.widget<QLabel>("lblStageInfo")->text().contains("Recovery"));
}

TEST(StressReviewWindow, TheEcgContextMenuAndItsSettings) {
    ReviewWindowRig rig;
    ASSERT_NE(rig.study, nullptr);
    QSettings().setValue("ReviewWindow/DisplayColorScheme", "Black");
    QSettings().setValue("ReviewWindow/ShowAverageBeat", false);
    rig.open();
    auto *display = rig.widget<QSignalBrowseDisplay>("ecgDisplay1");
    EXPECT_EQ(display->colorScheme(), "Black");
    EXPECT_FALSE(display->showAverageBeat());
    for (int lead = 0; lead < 14; ++lead) EXPECT_EQ(display->isLeadShown(lead), lead < 12) << lead;

    auto trigger = [&](const QString &text) {
        emit display->customContextMenuRequested(QPoint(20, 20));
        for (QAction *action : rig.window->contextMenu()->actions())
            if (action->text() == text) {
                action->trigger();
                return true;
            }
        return false;
    };
    ASSERT_TRUE(trigger("Show graphics"));
    EXPECT_FALSE(rig.widget<QWidget>("frameTools")->isVisible());
    ASSERT_TRUE(trigger("Show graphics"));
    EXPECT_TRUE(rig.widget<QWidget>("frameTools")->isVisible());
    ASSERT_TRUE(trigger("Hexaxial order"));
    ASSERT_TRUE(trigger("Average beat"));
    ASSERT_TRUE(trigger("V1"));
    EXPECT_FALSE(display->isLeadShown(ChannelTable::indexOf("V1")));
    rig.window->close();
    EXPECT_TRUE(QSettings().value("ReviewWindow/HexaxialOrder").toBool());
    EXPECT_TRUE(QSettings().value("ReviewWindow/ShowAverageBeat").toBool());
    EXPECT_EQ(QSettings().value("ReviewWindow/DisplayColorScheme").toString(), "Black");
}
