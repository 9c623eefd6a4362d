// The beat display: markers drawn where their samples lie in every lead,
// dragged by the mouse, reported once when let go, kept inside the beat.

#include "DisplayTestSupport.h"

#include "ui/QBeatDisplay.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr double kRate = 500.0;

struct Beats {
    Beats() {
        std::vector<std::vector<double>> averages(12, std::vector<double>(400, 0.0));
        QStringList names;
        for (int c = 0; c < 12; ++c) {
            names << ChannelTable::name(c);
            for (int i = 145; i < 155; ++i) averages[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = 1.0;
        }
        display.setAverages(averages, names, kRate);
        RestingMarkers m;
        m.pOnset = 60;
        m.pPeak = 80;
        m.pEnd = 100;
        m.qrsOnset = 140;
        m.qrsEnd = 170;
        m.tOnset = 230;
        m.tPeak = 280;
        display.setMarkers(m);
        display.setPixelsPerMm(4.0);
        display.setColorScheme(QStringLiteral("Light"));
        display.resize(800, 500);
    }
    QBeatDisplay display;
};

TEST(QBeatDisplay, MarkersAreDrawnAtTheirSamplesInEveryLead) {
    Beats beats;
    const QImage image = DisplayTest::grab(beats.display, QStringLiteral("beat-display"));
    const QColor marker = DisplayColorScheme::byName(QStringLiteral("Light")).marker;
    // 50 mm/s at 4 px/mm: 0.4 px per sample.
    for (int cell : {0, 5, 11}) {
        const QRectF r = beats.display.cellRect(cell);
        const double expectedX = beats.display.xOf(cell, 140);
        EXPECT_NEAR(beats.display.xOf(cell, 240) - beats.display.xOf(cell, 140), 40.0, 1e-9);
        int hits = 0;
        for (int y = static_cast<int>(r.top() + 10); y < static_cast<int>(r.bottom() - 10); ++y) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor c = image.pixelColor(static_cast<int>(std::lround(expectedX)) + dx, y);
                if (std::abs(c.green() - marker.green()) < 40 && c.red() < 120 && c.blue() < 140) {
                    ++hits;
                    break;
                }
            }
        }
        EXPECT_GT(hits, 10) << "QRS on in cell " << cell;
    }
}

struct Drag {
    const char *label;
    int marker;
    double dxPx;
    int expected;  // -1: no signal
};

class BeatDragging : public ::testing::TestWithParam<Drag> {};

TEST_P(BeatDragging, MovesTheMarkerAndSignalsOnRelease) {
    const Drag d = GetParam();
    Beats beats;
    beats.display.show();
    QSignalSpy moved(&beats.display, &QBeatDisplay::markerMoved);
    const int cell = 4;
    const int start = beats.display.markerPosition(d.marker);
    const QRectF r = beats.display.cellRect(cell);
    const QPoint from(static_cast<int>(std::lround(beats.display.xOf(cell, start))), static_cast<int>(r.center().y()));
    const QPoint to(from.x() + static_cast<int>(d.dxPx), from.y());
    QTest::mousePress(&beats.display, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&beats.display, &move);
    EXPECT_EQ(moved.count(), 0) << "nothing said before the marker is let go";
    QTest::mouseRelease(&beats.display, Qt::LeftButton, Qt::NoModifier, to);
    if (d.expected < 0) {
        EXPECT_EQ(moved.count(), 0);
        EXPECT_EQ(beats.display.markerPosition(d.marker), start);
        return;
    }
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.front().at(0).toInt(), d.marker);
    EXPECT_EQ(moved.front().at(1).toInt(), d.expected);
    EXPECT_EQ(beats.display.markerPosition(d.marker), d.expected);
}

INSTANTIATE_TEST_SUITE_P(Markers, BeatDragging,
                         ::testing::Values(Drag{"QrsOnRight", QBeatDisplay::QrsOnset, 8, 160},
                                           Drag{"TPeakLeft", QBeatDisplay::TPeak, -20, 230},
                                           Drag{"POnPastTheStart", QBeatDisplay::POnset, -200, 1},
                                           Drag{"NotMoved", QBeatDisplay::QrsOffset, 0, -1}),
                         [](const ::testing::TestParamInfo<Drag> &info) { return info.param.label; });

TEST(QBeatDisplay, APressAwayFromEveryMarkerMovesNothing) {
    Beats beats;
    beats.display.show();
    QSignalSpy moved(&beats.display, &QBeatDisplay::markerMoved);
    const QRectF r = beats.display.cellRect(0);
    const QPoint from(static_cast<int>(beats.display.xOf(0, 120)), static_cast<int>(r.center().y()));
    QTest::mousePress(&beats.display, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseRelease(&beats.display, Qt::LeftButton, Qt::NoModifier, from + QPoint(30, 0));
    EXPECT_EQ(moved.count(), 0);
    EXPECT_EQ(beats.display.markerPosition(QBeatDisplay::QrsOnset), 140);
    EXPECT_EQ(QBeatDisplay::markerName(QBeatDisplay::POffset), QLatin1String("P off"));
}

}  // namespace

TEST(QBeatDisplay, KeysMoveTheChosenMarkerAndStopAtTheBeatsEnds) {
    struct Case {
        const char *name;
        int marker;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int presses;
        int expected;  // sample after the presses
        int reports;   // markerMoved signals
    };
    const Case cases[] = {
        {"RightOneSample", QBeatDisplay::QrsOffset, Qt::Key_Right, Qt::NoModifier, 3, 173, 3},
        {"ShiftLeftFive", QBeatDisplay::QrsOnset, Qt::Key_Left, Qt::ShiftModifier, 2, 130, 2},
        // Sample 0 is "not found": a marker walked left stops at 1, and the
        // presses that no longer move it say nothing.
        {"StopsAtTheStart", QBeatDisplay::POnset, Qt::Key_Left, Qt::ShiftModifier, 13, 1, 12},
        {"StopsAtTheEnd", QBeatDisplay::TPeak, Qt::Key_Right, Qt::ShiftModifier, 30, 399, 24},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Beats beats;
        QSignalSpy moved(&beats.display, &QBeatDisplay::markerMoved);
        beats.display.setSelectedMarker(c.marker);
        for (int k = 0; k < c.presses; ++k) QTest::keyClick(&beats.display, c.key, c.modifiers);
        EXPECT_EQ(beats.display.markerPosition(c.marker), c.expected);
        EXPECT_EQ(moved.count(), c.reports);
        ASSERT_FALSE(moved.isEmpty());
        EXPECT_EQ(moved.last().at(0).toInt(), c.marker);
        EXPECT_EQ(moved.last().at(1).toInt(), c.expected);
    }
}

TEST(QBeatDisplay, UpAndDownWalkTheShownMarkersInOrderAndHiddenOnesCannotBeChosen) {
    Beats beats;
    beats.display.setSelectedMarker(QBeatDisplay::TOffset);  // not found: 0
    EXPECT_EQ(beats.display.selectedMarker(), -1);
    QTest::keyClick(&beats.display, Qt::Key_Down);
    EXPECT_EQ(beats.display.selectedMarker(), QBeatDisplay::POnset);
    QTest::keyClick(&beats.display, Qt::Key_Down);
    EXPECT_EQ(beats.display.selectedMarker(), QBeatDisplay::PPeak) << "in time, P peak comes before P off";
    QTest::keyClick(&beats.display, Qt::Key_Up);
    QTest::keyClick(&beats.display, Qt::Key_Up);
    EXPECT_EQ(beats.display.selectedMarker(), QBeatDisplay::TPeak) << "Up from the first goes round to the last";
    // With nothing chosen the arrows move nothing.
    beats.display.setSelectedMarker(-1);
    QSignalSpy moved(&beats.display, &QBeatDisplay::markerMoved);
    QTest::keyClick(&beats.display, Qt::Key_Right);
    EXPECT_EQ(moved.count(), 0);
}

TEST(QBeatDisplay, FewLeadsTakeFewerRowsAndAFittedBeatFillsTheWidget) {
    QBeatDisplay display;
    display.resize(800, 500);
    display.setAverages({std::vector<double>(400, 0.0)}, {QStringLiteral("II")}, kRate);
    EXPECT_EQ(display.columns(), 1);
    EXPECT_NEAR(display.cellRect(0).bottom(), 500.0, 1e-9) << "one lead, one row";
    display.setFitToSize(true);
    // 0.8 s at 50 mm/s and the margins (44 mm) across 800 px, or 38.5 mm down 500 px.
    EXPECT_NEAR(display.pixelsPerMm(), std::min(800.0 / 44.0, 500.0 / 38.5), 1e-9);
    EXPECT_LE(display.xOf(0, 400), 800.0);
    display.setPixelsPerMm(4.0);
    EXPECT_EQ(display.pixelsPerMm(), 4.0) << "a forced scale wins";
}
