#include "ui/ReviewTrendPlots.h"

#include "analysis/StudyResults.h"
#include "ui/PressurePairSeries.h"
#include "ui/QPlotGraphic.h"
#include "ui/TrendSeries.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("ReviewTrendPlots", text); }

// The double product in thousands: five-digit values do not fit the label
// strip beside the plot.
class ThousandsSeries : public PlotSeries {
public:
    explicit ThousandsSeries(const PlotSeries &series) : series_(series) {}
    int count() const override { return series_.count(); }
    double time(int index) const override { return series_.time(index); }
    double value(int index) const override { return series_.value(index) / 1000.0; }

private:
    const PlotSeries &series_;
};

void prepare(QPlotGraphic *plot, const PlotSeries *series, double duration, double yMin, double yMax,
             const QString &title) {
    plot->setSeries(series);
    plot->setStyle(1);
    plot->setTimeFormat(QStringLiteral("mm:ss"));
    plot->setXRange(0.0, duration);
    plot->setYRange(yMin, yMax);
    plot->setTitle(title);
    plot->setCursorEnabled(true);
    plot->setFreeCursor(QString());
    plot->setShowXLabels(false);
}

}  // namespace

ReviewTrendPlots::ReviewTrendPlots(const Plots &plots, const StudyResults &results, double durationSeconds,
                                   bool tiltTest)
    : plots_(plots), results_(results), tiltTest_(tiltTest) {
    hr_ = std::make_unique<TrendSeries>(results, Result::BpmTrend);
    bp_ = std::make_unique<PressurePairSeries>(results);
    dp_ = std::make_unique<TrendSeries>(results, Result::DpTrend);
    mets_ = std::make_unique<TrendSeries>(results, Result::MetsTrend);
    prepare(plots_.hr, hr_.get(), durationSeconds, 50.0, tiltTest ? 150.0 : 200.0, tr("HR"));
    prepare(plots_.bp, bp_.get(), durationSeconds, tiltTest ? 0.0 : 50.0, tiltTest ? 200.0 : 250.0, tr("BP"));
    plots_.bp->setStyle(4);
    dpThousands_ = std::make_unique<ThousandsSeries>(*dp_);
    prepare(plots_.dp, dpThousands_.get(), durationSeconds, 0.0, 40.0, tr("DP x1000"));
    plots_.dp->fitToData(false, true);
    prepare(plots_.st, nullptr, durationSeconds, -0.5, 0.5, QString());
    plots_.st->setValueFormats(QStringLiteral("%g"), QStringLiteral("%+.1f"));
    plots_.st->setColor(Qt::darkRed);
    prepare(plots_.mets, mets_.get(), durationSeconds, 0.0, 10.0, tr("METS"));
    plots_.mets->fitToData(false, true);
    plots_.mets->setShowXLabels(true);
    if (tiltTest) {
        plots_.bp->setShowXLabels(true);
        for (QPlotGraphic *plot : {plots_.dp, plots_.st, plots_.mets}) plot->hide();
    }
    for (QPlotGraphic *plot : shown()) plot->refresh();
}

ReviewTrendPlots::~ReviewTrendPlots() {
    for (QPlotGraphic *plot : {plots_.hr, plots_.bp, plots_.dp, plots_.st, plots_.mets}) plot->setSeries(nullptr);
}

void ReviewTrendPlots::setStLead(int lead, const QString &name) {
    stLead_ = lead;
    plots_.st->setSeries(nullptr);
    st_ = std::make_unique<TrendSeries>(results_, StudyResults::stLevelTrend(lead));
    plots_.st->setSeries(st_.get());
    plots_.st->setTitle(tr("ST [%1]").arg(name));
    plots_.st->refresh();
}

void ReviewTrendPlots::setCursorTime(double seconds) {
    for (QPlotGraphic *plot : shown()) plot->setCursorTime(seconds);
}

std::vector<QPlotGraphic *> ReviewTrendPlots::shown() const {
    if (tiltTest_) return {plots_.hr, plots_.bp};
    return {plots_.hr, plots_.bp, plots_.dp, plots_.st, plots_.mets};
}
