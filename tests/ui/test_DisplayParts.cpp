// The parts the displays share: the ST texts of the inset, the colour
// schemes by name, the ruler check's correction kept in the settings, and
// the monitor's inset column drawing the current and reference averages
// and being repainted only when the averages change.

#include "DisplayTestSupport.h"

#include "ui/AverageBeatInset.h"
#include "ui/DisplayColorScheme.h"
#include "ui/DisplayScale.h"
#include "ui/QSignalMonitorDisplay.h"
#include "ui/RulerCheckDialog.h"

#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QPaintEvent>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

TEST(AverageBeatInset, StTextsInMillimetresOfStandardPaper) {
    struct Case {
        double mv;
        const char *level;
        const char *slope;
    };
    for (const Case &c : {Case{-0.12, "ST -1.2 mm", "-1.2 mm/s"}, Case{0.05, "ST 0.5 mm", "+0.5 mm/s"},
                          Case{-0.001, "ST 0.0 mm", "0.0 mm/s"}, Case{0.2, "ST 2.0 mm", "+2.0 mm/s"}}) {
        EXPECT_EQ(AverageBeatInset::levelText(c.mv), QLatin1String(c.level)) << c.mv;
        EXPECT_EQ(AverageBeatInset::slopeText(c.mv), QLatin1String(c.slope)) << c.mv;
    }
}

TEST(DisplayColorScheme, ThreeSchemesByNameLightForAnythingElse) {
    EXPECT_EQ(DisplayColorScheme::names(), (QStringList{"Light", "Blue", "Black"}));
    EXPECT_EQ(DisplayColorScheme::byName(QStringLiteral("Black")).name, QLatin1String("Black"));
    EXPECT_EQ(DisplayColorScheme::byName(QString()).name, QLatin1String("Light"));
    EXPECT_EQ(DisplayColorScheme::byName(QStringLiteral("black")).name, QLatin1String("Light"));
    EXPECT_EQ(DisplayColorScheme::byName(QStringLiteral("Light")).paper, QColor(Qt::white));
    // Traces stand out from their paper in every scheme.
    for (const DisplayColorScheme &s : DisplayColorScheme::all())
        EXPECT_GT(std::abs(s.trace.lightness() - s.paper.lightness()), 120) << s.name.toStdString();
}

TEST(RulerCheckDialog, TheMeasuredWidthCorrectsTheScaleInTheSettings) {
    QSettings().remove(QLatin1String(DisplayScale::kCorrectionKey));
    const double screen = DisplayScale::pixelsPerMm(nullptr);
    {
        RulerCheckDialog dialog;
        dialog.measuredWidth()->setValue(40.0);  // the box came out too small
        dialog.accept();
    }
    EXPECT_DOUBLE_EQ(QSettings().value(QLatin1String(DisplayScale::kCorrectionKey)).toDouble(), 1.25);
    EXPECT_DOUBLE_EQ(DisplayScale::pixelsPerMm(nullptr), screen * 1.25);
    {
        // Measured again after the correction: 50 mm is right now.
        RulerCheckDialog dialog;
        dialog.measuredWidth()->setValue(50.0);
        dialog.accept();
    }
    EXPECT_DOUBLE_EQ(DisplayScale::correction(), 1.25);
    {
        RulerCheckDialog dialog;
        dialog.measuredWidth()->setValue(100.0);
        dialog.reject();
    }
    EXPECT_DOUBLE_EQ(DisplayScale::correction(), 1.25);
    QSettings().setValue(QLatin1String(DisplayScale::kCorrectionKey), 7.0);  // damaged
    EXPECT_DOUBLE_EQ(DisplayScale::correction(), 1.0);
    QSettings().remove(QLatin1String(DisplayScale::kCorrectionKey));
}

// One average for every lead: a 1 mV box from 0.25 s to 0.35 s; the
// reference, half as tall, from 0.45 s to 0.55 s.
class BoxAverages : public AverageBeatProvider {
public:
    long long revision() override { return changes; }
    bool view(int, AverageBeatView *out) override {
        *out = AverageBeatView{};
        out->rate = 500;
        for (int i = 0; i < 400; ++i) {
            out->current.push_back(i >= 125 && i < 175 ? 1.0 : 0.0);
            out->reference.push_back(i >= 225 && i < 275 ? 0.5 : 0.0);
        }
        out->stValid = true;
        out->isoelectric = 100;
        out->j = 180;
        out->st = 220;
        out->levelMv = -0.1;
        return true;
    }
    long long changes = 1;
};

class PaintLog : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) painted |= static_cast<QPaintEvent *>(event)->region().boundingRect();
        return false;
    }
    QRect painted;
};

TEST(QSignalMonitorDisplay, InsetsShowBothAveragesAndRepaintOnlyWhenTheyChange) {
    DisplayTest::Feed feed(12);
    QSignalMonitorDisplay display;
    display.setPixelsPerMm(4.0);
    display.setColorScheme(QStringLiteral("Light"));
    display.resize(900, 600);
    display.setSource(&feed.buffer);
    auto provider = std::make_unique<BoxAverages>();
    BoxAverages *averages = provider.get();
    display.setAverageBeatProvider(std::move(provider));
    display.show();
    feed.append([](int, std::int64_t) { return 0.0; }, 100, [&] { display.refresh(); });
    QCoreApplication::processEvents();

    const QRectF column = display.insetArea();
    ASSERT_FALSE(column.isEmpty());
    EXPECT_LE(column.width(), AverageBeatInset::kWidthMm * 4.0 + 1);
    const QImage image = DisplayTest::grab(display, QStringLiteral("monitor-insets"));
    const QColor reference = DisplayColorScheme::byName(QStringLiteral("Light")).reference;
    int referencePixels = 0, tracePixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = static_cast<int>(column.left()); x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - reference.red()) < 30 && std::abs(c.blue() - reference.blue()) < 30 &&
                std::abs(c.green() - reference.green()) < 30)
                ++referencePixels;
            if (c.lightness() < 60) ++tracePixels;
        }
    EXPECT_GT(referencePixels, 12 * 20) << "the reference average in every inset";
    EXPECT_GT(tracePixels, 12 * 40) << "the current average in every inset";

    PaintLog log;
    display.installEventFilter(&log);
    feed.append([](int, std::int64_t) { return 0.0; }, 10, [&] { display.refresh(); });
    QCoreApplication::processEvents();
    EXPECT_FALSE(log.painted.intersects(column.toAlignedRect())) << "same averages: the insets are left alone";
    log.painted = QRect();
    averages->changes = 2;
    feed.append([](int, std::int64_t) { return 0.0; }, 10, [&] { display.refresh(); });
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.painted.contains(column.toAlignedRect().adjusted(1, 1, -1, -1)));
    display.removeEventFilter(&log);

    display.setShowAverageBeat(false);
    EXPECT_TRUE(display.insetArea().isEmpty());
}

}  // namespace
