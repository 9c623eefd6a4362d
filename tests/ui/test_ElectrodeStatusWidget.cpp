#include "ui/ElectrodePlacement.h"
#include "ui/ElectrodeStatusWidget.h"
#include "acquisition/LinkPacket.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace {

std::map<QString, QPointF> placement() {
    std::map<QString, QPointF> where;
    for (const ElectrodeSpot &spot : ElectrodePlacement::spots()) where[spot.name] = spot.where;
    return where;
}

TEST(ElectrodePlacement, ShowsExactlyTheElectrodesTheDeviceReports) {
    QStringList reported;
    for (int i = 0; i < LinkPacket::kElectrodeCount; ++i) reported << LinkPacket::electrodeName(i);
    QStringList shown = ElectrodeStatusWidget::electrodeNames();
    reported.sort();
    shown.sort();
    EXPECT_EQ(shown, reported);
}

TEST(ElectrodePlacement, ElectrodesSitOnTheTorsoAsSeenFacingThePatient) {
    const auto at = placement();
    const QPolygonF torso = ElectrodePlacement::torsoOutline();
    for (const auto &[name, point] : at) EXPECT_TRUE(torso.containsPoint(point, Qt::OddEvenFill)) << name.toStdString();
    // The patient's right is on the viewer's left.
    EXPECT_LT(at.at("RA").x(), 0.5);
    EXPECT_GT(at.at("LA").x(), 0.5);
    EXPECT_GT(at.at("LL").x(), 0.5);
    // V1 and V2 straddle the sternum; the chest row runs toward the left flank.
    EXPECT_LT(at.at("V1").x(), 0.5);
    EXPECT_GT(at.at("V2").x(), 0.5);
    for (int k = 1; k < 6; ++k) {
        const QString name = QStringLiteral("V%1").arg(k);
        const QString next = QStringLiteral("V%1").arg(k + 1);
        EXPECT_LT(at.at(name).x(), at.at(next).x()) << name.toStdString();
        EXPECT_LE(at.at(name).y(), at.at(next).y()) << name.toStdString();
    }
    // Arms above the chest electrodes, the leg electrode below them.
    for (int k = 1; k <= 6; ++k) {
        const QPointF v = at.at(QStringLiteral("V%1").arg(k));
        EXPECT_LT(at.at("RA").y(), v.y());
        EXPECT_GT(at.at("LL").y(), v.y());
    }
}

TEST(ElectrodeStatusWidget, ShowsEachElectrodeGreenWhenAttachedAndRedWhenOff) {
    ElectrodeStatusWidget widget;
    EXPECT_FALSE(widget.anyElectrodeOff());
    widget.setElectrodeOff(QStringLiteral("V3"), true);
    widget.setElectrodeOff(QStringLiteral("LA"), true);
    widget.setElectrodeOff(QStringLiteral("CM5"), true);  // not an electrode: ignored
    for (const QString &name : ElectrodeStatusWidget::electrodeNames()) {
        const bool off = name == QLatin1String("V3") || name == QLatin1String("LA");
        const auto *label = widget.findChild<QLabel *>(QStringLiteral("lbl") + name);
        ASSERT_NE(label, nullptr) << name.toStdString();
        EXPECT_EQ(label->text(), name);
        EXPECT_EQ(label->styleSheet(), off ? QStringLiteral("color: red") : QStringLiteral("color: green"));
        EXPECT_EQ(widget.isElectrodeOff(name), off);
    }
    EXPECT_TRUE(widget.anyElectrodeOff());
    widget.setElectrodeOff(QStringLiteral("V3"), false);
    widget.setElectrodeOff(QStringLiteral("LA"), false);
    EXPECT_FALSE(widget.anyElectrodeOff());
    EXPECT_EQ(widget.findChild<QLabel *>(QStringLiteral("lblV3"))->styleSheet(), QStringLiteral("color: green"));
}

TEST(ElectrodeStatusWidget, DoNotShowAgainHidesItAndTellsTheWindowOnce) {
    ElectrodeStatusWidget widget;
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    QSignalSpy dismissed(&widget, &ElectrodeStatusWidget::dismissed);
    auto *box = widget.findChild<QCheckBox *>(QStringLiteral("chkDoNotShowAgain"));
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
    EXPECT_EQ(dismissed.count(), 1);
    EXPECT_TRUE(widget.isDismissed());
    EXPECT_FALSE(widget.isVisible());
    box->setChecked(false);
    box->setChecked(true);
    EXPECT_EQ(dismissed.count(), 1);
}

}  // namespace
