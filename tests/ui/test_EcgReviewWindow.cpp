// The resting review window on a study `tarvelin-ecg-cli resting` made from
// the demonstration recording: what it opens with, wave limits moved with
// the mouse and the keys and the intervals following, what survives
// closing, the measurement lead, events and the conclusion.

#include "ReviewWindowRig.h"
#include "analysis/GlobalMeasurement.h"
#include "stress/RestingReview.h"
#include "ui/QBeatDisplay.h"
#include "ui/QSignalBrowseDisplay.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <cmath>

namespace {

#define REQUIRE_STUDY(rig)                                                                                             \
    ASSERT_NE((rig).study, nullptr) << "the resting study was not made (" TARVELIN_RESTING_REVIEW_STUDY_ID ")";        \
    (rig).open()

int shownMs(const RestingReviewRig &rig, int row, int column = EcgReviewWindow::ColumnGlobal) {
    const QTableWidgetItem *item = rig.widget<QTableWidget>("tableMeasurements")->item(row, column);
    bool ok = false;
    const int value = item ? item->text().toInt(&ok) : 0;
    EXPECT_TRUE(ok) << "row " << row << " shows " << (item ? item->text().toStdString() : "nothing");
    return value;
}

// Drags `marker` of the beat display by `samples` with the mouse; at 10
// pixels per mm and 50 mm/s a pixel is a sample of the 500/s averages.
void drag(QBeatDisplay *beat, int marker, int samples) {
    beat->setPixelsPerMm(10.0);
    const int from = beat->markerPosition(marker);
    const int y = static_cast<int>(beat->cellRect(0).center().y());
    const QPoint press(static_cast<int>(std::lround(beat->xOf(0, from))), y);
    const QPoint release(static_cast<int>(std::lround(beat->xOf(0, from + samples))), y);
    EXPECT_LT(release.x(), beat->width()) << "marker at " << from;
    QTest::mousePress(beat, Qt::LeftButton, Qt::NoModifier, press);
    QTest::mouseMove(beat, release);
    QTest::mouseRelease(beat, Qt::LeftButton, Qt::NoModifier, release);
}

}  // namespace

TEST(EcgReviewWindow, OpensTheRestingStudyWithItsMeasurement) {
    RestingReviewRig rig;
    REQUIRE_STUDY(rig);
    EXPECT_TRUE(rig.window->windowTitle().startsWith(QStringLiteral("Roe, Jane - ")));
    const StudyResults &r = rig.study->results();
    ASSERT_GT(r.scalar(Result::GlobalQrsDuration), 0.0);
    EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQrs), std::lround(1000.0 * r.scalar(Result::GlobalQrsDuration)));
    EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQt), std::lround(1000.0 * r.scalar(Result::GlobalQt)));
    EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowPr), std::lround(1000.0 * r.scalar(Result::GlobalPr)));
    auto *browse = rig.widget<QSignalBrowseDisplay>("ecgDisplay1");
    EXPECT_NEAR(browse->recordSeconds(), 10.0, 0.01);
    auto *beat = rig.widget<QBeatDisplay>("beatDisplay");
    // The markers stand where the stored limits are: R at 0.3 s of 500/s averages.
    EXPECT_EQ(beat->markerPosition(QBeatDisplay::QrsOffset),
              150 + std::lround(500.0 * r.scalar(Result::GlobalQrsOffset)));
    EXPECT_EQ(beat->markerPosition(QBeatDisplay::TOffset), 150 + std::lround(500.0 * r.scalar(Result::GlobalTOffset)));
    EXPECT_FALSE(rig.widget<QPushButton>("btnAutoMeasurement")->isEnabled());
    // Lead II is the measurement lead of a fresh profile; its own values are shown.
    EXPECT_EQ(rig.widget<QComboBox>("cmbMeasurementLead")->currentText(), QStringLiteral("II"));
    EXPECT_GT(shownMs(rig, EcgReviewWindow::RowQrs, EcgReviewWindow::ColumnLead), 0);
}

TEST(EcgReviewWindow, MovedLimitsMoveTheIntervalsBySoMuch) {
    struct Case {
        const char *name;
        int marker;
        int samples;         // 2 ms each
        int pr, p, qrs, qt;  // expected change in ms
    };
    const Case cases[] = {
        {"QrsOffLater", QBeatDisplay::QrsOffset, 10, 0, 0, 20, 0},
        {"QrsOnEarlier", QBeatDisplay::QrsOnset, -10, -20, 0, 20, 20},
        {"TOffLater", QBeatDisplay::TOffset, 10, 0, 0, 0, 20},
        {"POnEarlier", QBeatDisplay::POnset, -10, 20, 20, 0, 0},
        {"POffEarlier", QBeatDisplay::POffset, -5, 0, -10, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RestingReviewRig rig;
        REQUIRE_STUDY(rig);
        auto *beat = rig.widget<QBeatDisplay>("beatDisplay");
        ASSERT_GT(beat->markerPosition(c.marker), 0);
        const double qrs = rig.study->results().scalar(Result::GlobalQrsDuration);
        const int pr = shownMs(rig, EcgReviewWindow::RowPr), p = shownMs(rig, EcgReviewWindow::RowP);
        const int shownQrs = shownMs(rig, EcgReviewWindow::RowQrs), qt = shownMs(rig, EcgReviewWindow::RowQt);
        drag(beat, c.marker, c.samples);
        EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowPr), pr + c.pr);
        EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowP), p + c.p);
        EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQrs), shownQrs + c.qrs);
        EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQt), qt + c.qt);
        EXPECT_NEAR(rig.study->results().scalar(Result::GlobalQrsDuration), qrs + c.qrs / 1000.0, 1e-9);
        EXPECT_TRUE(rig.widget<QPushButton>("btnAutoMeasurement")->isEnabled());
    }
}

TEST(EcgReviewWindow, KeysMoveTheChosenMarkerOneSampleAtATime) {
    RestingReviewRig rig;
    REQUIRE_STUDY(rig);
    auto *beat = rig.widget<QBeatDisplay>("beatDisplay");
    const int qrs = shownMs(rig, EcgReviewWindow::RowQrs);
    const int at = beat->markerPosition(QBeatDisplay::QrsOffset);
    beat->setSelectedMarker(QBeatDisplay::QrsOffset);
    for (int k = 0; k < 10; ++k) QTest::keyClick(beat, Qt::Key_Right);
    EXPECT_EQ(beat->markerPosition(QBeatDisplay::QrsOffset), at + 10);
    EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQrs), qrs + 20);
    QTest::keyClick(beat, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQrs), qrs + 10);
    // Down goes to the next marker in time: after QRS off comes T off.
    QTest::keyClick(beat, Qt::Key_Down);
    EXPECT_EQ(beat->selectedMarker(), QBeatDisplay::TOffset);
}

TEST(EcgReviewWindow, CorrectionSurvivesReopeningAndAutoMeasurementUndoesIt) {
    RestingReviewRig rig;
    REQUIRE_STUDY(rig);
    const GlobalMeasurement automatic = storedGlobalMeasurement(*rig.study);
    const int qrs = shownMs(rig, EcgReviewWindow::RowQrs);
    drag(rig.widget<QBeatDisplay>("beatDisplay"), QBeatDisplay::QrsOffset, 10);
    rig.reopen();
    EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQrs), qrs + 20);
    EXPECT_TRUE(rig.widget<QPushButton>("btnAutoMeasurement")->isEnabled());
    QTest::mouseClick(rig.widget<QPushButton>("btnAutoMeasurement"), Qt::LeftButton);
    EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQrs), qrs);
    rig.reopen();
    const GlobalMeasurement restored = storedGlobalMeasurement(*rig.study);
    for (std::size_t k = 0; k < automatic.entries().size(); ++k) {
        SCOPED_TRACE(automatic.entries()[k].first.text().toStdString());
        EXPECT_EQ(restored.entries()[k].second, automatic.entries()[k].second);
    }
    EXPECT_FALSE(rig.widget<QPushButton>("btnAutoMeasurement")->isEnabled());
}

TEST(EcgReviewWindow, MeasurementLeadChangesTheLeadValuesAndIsKept) {
    RestingReviewRig rig;
    REQUIRE_STUDY(rig);
    auto *table = rig.widget<QTableWidget>("tableMeasurements");
    auto *combo = rig.widget<QComboBox>("cmbMeasurementLead");
    const auto column = [table] {
        QStringList values;
        for (int row = 0; row < table->rowCount(); ++row)
            values << table->item(row, EcgReviewWindow::ColumnLead)->text();
        return values;
    };
    const QStringList leadII = column();
    const QString globalQrs = table->item(EcgReviewWindow::RowQrs, EcgReviewWindow::ColumnGlobal)->text();
    const int v1 = combo->findText(QStringLiteral("V1"));
    ASSERT_GE(v1, 0);
    combo->setCurrentIndex(v1);
    QMetaObject::invokeMethod(combo, "activated", Q_ARG(int, v1));
    EXPECT_EQ(table->horizontalHeaderItem(EcgReviewWindow::ColumnLead)->text(), QStringLiteral("Lead V1"));
    EXPECT_NE(column(), leadII);
    // The amplitudes are the chosen lead's: V1's QRS is not lead II's.
    EXPECT_NE(column().value(EcgReviewWindow::RowQrsAmp), leadII.value(EcgReviewWindow::RowQrsAmp));
    EXPECT_EQ(table->item(EcgReviewWindow::RowQrs, EcgReviewWindow::ColumnGlobal)->text(), globalQrs);
    EXPECT_EQ(QSettings().value(QStringLiteral("EcgReviewWindow/MeasurementLead")).toString(), QStringLiteral("V1"));
    EXPECT_EQ(rig.study->results().scalar(Result::MeasurementChannel), v1);
    rig.reopen();
    EXPECT_EQ(rig.widget<QComboBox>("cmbMeasurementLead")->currentText(), QStringLiteral("V1"));
    EXPECT_EQ(rig.study->results().scalar(Result::MeasurementChannel), v1);
}

TEST(EcgReviewWindow, AllLeadsShowsEveryAverageAndOneLeadOnlyTheChosen) {
    RestingReviewRig rig;
    REQUIRE_STUDY(rig);
    auto *beat = rig.widget<QBeatDisplay>("beatDisplay");
    EXPECT_EQ(beat->columns(), 1);
    rig.widget<QCheckBox>("chkAllLeads")->setChecked(true);
    EXPECT_EQ(beat->columns(), 4);  // 12 leads, three rows
}

TEST(EcgReviewWindow, ConclusionAndPhrasesSurviveClosing) {
    RestingReviewRig rig;
    REQUIRE_STUDY(rig);
    QTest::mouseClick(rig.widget<QPushButton>("btnPredefinedAdd"), Qt::LeftButton);
    auto *list = rig.widget<QListView>("listPredefinedText");
    list->model()->setData(list->currentIndex(), QStringLiteral("Sinus rhythm, normal ECG"));
    rig.widget<QPlainTextEdit>("textConclusion")->setPlainText(QStringLiteral("Reviewed."));
    QMetaObject::invokeMethod(list, "doubleClicked", Q_ARG(QModelIndex, list->currentIndex()));
    rig.reopen();
    EXPECT_EQ(rig.widget<QPlainTextEdit>("textConclusion")->toPlainText(),
              QStringLiteral("Reviewed.\nSinus rhythm, normal ECG"));
    EXPECT_EQ(QSettings().value(QStringLiteral("EcgReviewWindow/PredefinedConclusionList")).toStringList(),
              QStringList{QStringLiteral("Sinus rhythm, normal ECG")});
    // The stress review keeps a list of its own.
    EXPECT_FALSE(QSettings().contains(QStringLiteral("ReviewWindow/PredefinedConclusionList")));
}

TEST(EcgReviewWindow, EventAddedDescribedAndRemoved) {
    RestingReviewRig rig;
    REQUIRE_STUDY(rig);
    const int before = rig.study->eventCount();
    auto *tree = rig.widget<QTreeWidget>("treeEvents");
    QTest::mouseClick(rig.widget<QPushButton>("btnAddEvent"), Qt::LeftButton);
    ASSERT_EQ(rig.study->eventCount(), before + 1);
    EXPECT_EQ(rig.study->event(before).description, QByteArray("Enter description"));
    tree->topLevelItem(before)->setText(2, QStringLiteral("Cough artefact"));
    rig.reopen();
    ASSERT_EQ(rig.study->eventCount(), before + 1);
    EXPECT_EQ(rig.study->event(before).description, QByteArray("Cough artefact"));
    tree = rig.widget<QTreeWidget>("treeEvents");
    tree->setCurrentItem(tree->topLevelItem(before));
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_EQ(rig.study->eventCount(), before);
    rig.reopen();
    EXPECT_EQ(rig.study->eventCount(), before);
}

TEST(EcgReviewWindow, ALimitDraggedPastItsNeighbourGoesBack) {
    RestingReviewRig rig;
    REQUIRE_STUDY(rig);
    auto *beat = rig.widget<QBeatDisplay>("beatDisplay");
    const int qrs = shownMs(rig, EcgReviewWindow::RowQrs);
    const int off = beat->markerPosition(QBeatDisplay::QrsOffset);
    const int on = beat->markerPosition(QBeatDisplay::QrsOnset);
    ASSERT_GT(off - on, 12);
    // Dropped 5 samples before QRS on: far enough from it to be grabbed alone.
    drag(beat, QBeatDisplay::QrsOffset, on - off - 5);
    EXPECT_EQ(beat->markerPosition(QBeatDisplay::QrsOffset), off);
    EXPECT_EQ(shownMs(rig, EcgReviewWindow::RowQrs), qrs);
    EXPECT_FALSE(rig.widget<QPushButton>("btnAutoMeasurement")->isEnabled());
    EXPECT_TRUE(rig.study->property("automaticGlobalMeasurement").isEmpty());
}
