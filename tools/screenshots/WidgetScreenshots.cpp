#include "tools/screenshots/WidgetScreenshots.h"

#include "analysis/StudyResults.h"
#include "tools/sim/model/DeterministicRandom.h"
#include "tools/sim/model/HeartRateProfile.h"
#include "ui/BPDialog.h"
#include "ui/ElectrodeStatusWidget.h"
#include "ui/PressurePairSeries.h"
#include "ui/QPlotGraphic.h"
#include "ui/TrendSeries.h"

#include <QLineEdit>
#include <memory>

namespace {

// A 15-minute treadmill test: 90 s rest, three 3-minute stages, then
// recovery, with the simulator's exercise heart-rate profile.
constexpr double kTestSeconds = 900.0;
constexpr double kRecoveryStart = 630.0;
// The V5 lead's slot in the study's per-lead series.
constexpr int kLeadV5 = 10;
const QSize kPlotSize(720, 200);

struct StageSpan {
    double start, end;
};
constexpr StageSpan kExercise2{270.0, 450.0};

// Beat-by-beat heart rate and ST level, per-stage pressures; a 30-second
// loss of signal in recovery shows how the plot marks a gap.
std::unique_ptr<StudyResults> simulatedStressTest() {
    auto results = std::make_unique<StudyResults>();
    const HeartRateProfile profile = HeartRateProfile::stress(72.0, 168.0, kTestSeconds);
    DeterministicRandom random(20261208);
    double st = 0.0;
    for (double t = 0.0; t < kTestSeconds;) {
        const double bpm = profile.rateAt(t) + 1.5 * random.normal();
        if (t < 700.0 || t > 730.0) {
            results->appendPoint(Result::BpmTrend, t, bpm);
            // Horizontal ST depression in V5 growing with the work, with the
            // smoothing the analysis applies.
            const double target = -0.2 - 1.6 * profile.exertionAt(t) + 0.15 * random.normal();
            st = 0.9 * st + 0.1 * target;
            results->appendPoint(StudyResults::stLevelTrend(kLeadV5), t, st);
        }
        t += 60.0 / bpm;
    }
    const double readings[][3] = {{80, 128, 82},  {260, 146, 80}, {440, 168, 78},
                                  {620, 186, 76}, {750, 160, 78}, {880, 134, 80}};
    for (const auto &r : readings) {
        results->appendPoint(Result::SysBpTrend, r[0], r[1]);
        results->appendPoint(Result::DiaBpTrend, r[0], r[2]);
    }
    return results;
}

// `gapLimit`: beat-by-beat trends show a loss of signal; readings taken once
// a stage are meant to be far apart.
QImage plotPicture(const PlotSeries &series, const QString &title, int style, double yMin, double yMax,
                   const QColor &color, const QString &yFormat, double gapLimit) {
    QPlotGraphic plot;
    plot.resize(kPlotSize);
    plot.setXRange(0.0, kTestSeconds);
    plot.setYRange(yMin, yMax);
    plot.setTimeFormat(QStringLiteral("mm:ss"));
    plot.setValueFormats(QStringLiteral("%g"), yFormat);
    plot.setTitle(title);
    plot.setColor(color);
    plot.setStyle(style);
    plot.setGapLimit(gapLimit);
    plot.setHighlight(0, kExercise2.start, kExercise2.end, QColor(0xe4, 0xee, 0xfa));
    // The cursor marks the start of recovery.
    plot.setFreeCursor(QStringLiteral("Recovery"));
    plot.setCursorTime(kRecoveryStart);
    plot.setSeries(&series);
    return plot.grab().toImage();
}

QImage heartRateLines() {
    const auto results = simulatedStressTest();
    const TrendSeries series(*results, Result::BpmTrend);
    return plotPicture(series, QString::fromUtf8(sample("HR (bpm)", "FC (lpm)")), 1, 50, 190, QColor(0xb0, 0x10, 0x10),
                       QStringLiteral("%g"), 10.0);
}

QImage stLevelPoints() {
    const auto results = simulatedStressTest();
    const TrendSeries series(*results, StudyResults::stLevelTrend(kLeadV5));
    return plotPicture(series, QString::fromUtf8(sample("ST level V5 (mm)", "Nivel ST V5 (mm)")), 0, -2.5, 1.0,
                       QColor(0x10, 0x50, 0xa0), QStringLiteral("%.1f"), 10.0);
}

QImage systolicWithMarkers() {
    const auto results = simulatedStressTest();
    const TrendSeries series(*results, Result::SysBpTrend);
    return plotPicture(series, QString::fromUtf8(sample("SBP (mmHg)", "TAS (mmHg)")), 2, 60, 200,
                       QColor(0x20, 0x80, 0x30), QStringLiteral("%g"), 0.0);
}

QImage pressurePairs() {
    const auto results = simulatedStressTest();
    const PressurePairSeries series(*results);
    return plotPicture(series, QString::fromUtf8(sample("BP (mmHg)", "TA (mmHg)")), 4, 60, 200,
                       QColor(0x60, 0x20, 0x90), QStringLiteral("%g"), 0.0);
}

QImage bloodPressureDialog() {
    BPDialog dialog(QString::fromUtf8(sample("Exercise 2\n5.5 km/h 14.0 %", "Ejercicio 2\n5.5 km/h 14.0 %")));
    dialog.findChild<QLineEdit *>(QStringLiteral("txtSBP"))->setText(QStringLiteral("168"));
    dialog.findChild<QLineEdit *>(QStringLiteral("txtDBP"))->setText(QStringLiteral("78"));
    return dialog.grab().toImage();
}

QImage electrodeStatus() {
    ElectrodeStatusWidget widget;
    widget.setElectrodeOff(QStringLiteral("LA"), true);
    widget.setElectrodeOff(QStringLiteral("V3"), true);
    return widget.grab().toImage();
}

}  // namespace

void addWidgetScreenshots(ScreenshotList &list) {
    list.push_back({QStringLiteral("trend-plot-lines"), heartRateLines});
    list.push_back({QStringLiteral("trend-plot-points"), stLevelPoints});
    list.push_back({QStringLiteral("trend-plot-lines-markers"), systolicWithMarkers});
    list.push_back({QStringLiteral("trend-plot-paired-segments"), pressurePairs});
    list.push_back({QStringLiteral("bp-dialog"), bloodPressureDialog});
    list.push_back({QStringLiteral("electrode-status"), electrodeStatus});
}
