// The average-beat block of ReportGraphics: a grid of leads, each cell on
// ECG paper at true scale with the rest average behind the chosen one.

#include "reports/ReportGraphics.h"

#include "acquisition/FileSignal.h"
#include "reports/EventCapture.h"
#include "reports/ReportTemplate.h"
#include "reports/StressAverageBeats.h"
#include "store/Study.h"
#include "ui/EcgPainter.h"

#include <QPainter>
#include <cmath>
#include <stdexcept>

namespace {

constexpr double kBeatSeconds = 0.8;
// Lead name on the first line, its ST level and slope on the second.
constexpr double kLabelRoomMm = 7.5;
constexpr double kValueLineMm = 3.6;
constexpr double kValueHeightMm = 2.4;
// Room for 2.5 mV at the gain, as a row of the ECG page.
double traceRoomMm(double gain) { return std::max(15.0, 5.0 * std::ceil(2.5 * gain / 5.0)); }

struct Grid {
    int columns = 6;
    EcgPaperScale scale;
    double cellWidth = 0.0, cellHeight = 0.0;
};

Grid grid(const TemplateNode &node, double widthMm) {
    Grid g;
    g.columns = std::max(1, static_cast<int>(node.number(QStringLiteral("columns"), 6)));
    g.scale.mmPerSecond = node.number(QStringLiteral("speed"), EcgPaperScale::kStandardSpeed);
    g.scale.mmPerMillivolt = node.number(QStringLiteral("gain"), EcgPaperScale::kStandardGain);
    if (!EcgPaperScale::isSpeed(g.scale.mmPerSecond) || !EcgPaperScale::isGain(g.scale.mmPerMillivolt))
        throw std::runtime_error(
            QStringLiteral("Report template error: line %1: average beat speed or gain not offered")
                .arg(node.line)
                .toStdString());
    g.cellWidth = std::floor(widthMm / g.columns);
    g.cellHeight = traceRoomMm(g.scale.mmPerMillivolt) + kLabelRoomMm;
    return g;
}

// A level that rounds to nothing prints as "0.0", never "-0.0", which
// reads as a depression.
QString mm(double mv, const char *unit) {
    const double tenths = std::round(100.0 * mv) / 10.0;
    return QStringLiteral("%1 %2").arg(QString::number(tenths == 0.0 ? 0.0 : tenths, 'f', 1), QLatin1String(unit));
}

}  // namespace

int ReportGraphics::averageLeadCount() {
    if (capture_) return static_cast<int>(capture_->beats.size());
    if (!study_ || !study_->recording()) return 0;
    if (!averages_) averages_ = std::make_unique<StressAverageBeats>(*study_);
    return static_cast<int>(averages_->channels().size());
}

QString ReportGraphics::averageLeadName(int k) {
    if (capture_) return capture_->beats[static_cast<std::size_t>(k)].name;
    return study_->recording()->channelName(averages_->channels()[static_cast<std::size_t>(k)]);
}

bool ReportGraphics::averageBeat(const QString &momentName, int k, AverageBeatView *rest, bool *haveRest,
                                 AverageBeatView *shown) {
    if (capture_) {
        // A captured beat carries its own reference, taken at rest.
        if (momentName != QLatin1String("event")) return false;
        *shown = capture_->beats[static_cast<std::size_t>(k)].view;
        rest->current = shown->reference;
        rest->rate = shown->rate;
        *haveRest = !rest->current.empty();
        return !shown->current.empty();
    }
    StressAverageBeats::Moment moment;
    if (!StressAverageBeats::parseMoment(momentName, &moment)) return false;
    const int channel = averages_->channels()[static_cast<std::size_t>(k)];
    // The whole recording's beat (a resting ECG) has no reference to lie over.
    *haveRest = moment != StressAverageBeats::Moment::Rest && moment != StressAverageBeats::Moment::Record &&
                averages_->view(StressAverageBeats::Moment::Rest, channel, rest);
    return averages_->view(moment, channel, shown);
}

double ReportGraphics::averageBeatsHeightMm(const TemplateNode &node, double widthMm) {
    const int leads = averageLeadCount();
    if (leads == 0) return 0.0;
    const Grid g = grid(node, widthMm);
    if (g.cellWidth < kBeatSeconds * g.scale.mmPerSecond) return 0.0;
    return std::ceil(static_cast<double>(leads) / g.columns) * g.cellHeight;
}

void ReportGraphics::paintAverageBeats(QPainter &painter, double pixelsPerMm, const QRectF &areaMm,
                                       const TemplateNode &node, const QString &momentName) {
    StressAverageBeats::Moment moment;
    if (momentName != QLatin1String("event") && !StressAverageBeats::parseMoment(momentName, &moment))
        throw std::runtime_error(QStringLiteral("Report template error: line %1: unknown moment \"%2\"")
                                     .arg(node.line)
                                     .arg(momentName)
                                     .toStdString());
    const int leads = averageLeadCount();
    if (leads == 0) return;
    Grid g = grid(node, areaMm.width());
    g.scale.pixelsPerMm = pixelsPerMm;
    const DisplayColorScheme &scheme = DisplayColorScheme::byName(QStringLiteral("Light"));
    const EcgPainter ecg(painter, g.scale, scheme);
    const QString values = node.attribute(QStringLiteral("values"), QStringLiteral("all"));
    const double trace = traceRoomMm(g.scale.mmPerMillivolt);
    for (int k = 0; k < leads; ++k) {
        const int column = k % g.columns, row = k / g.columns;
        const double left = areaMm.left() + column * g.cellWidth, top = areaMm.top() + row * g.cellHeight;
        const QRectF paper(left * pixelsPerMm, (top + kLabelRoomMm) * pixelsPerMm, g.cellWidth * pixelsPerMm,
                           trace * pixelsPerMm);
        ecg.drawPaper(paper, paper.topLeft());
        ecg.drawLabel(QPointF(left * pixelsPerMm, top * pixelsPerMm), averageLeadName(k));
        AverageBeatView rest, shown;
        bool haveRest = false;
        if (!averageBeat(momentName, k, &rest, &haveRest, &shown)) continue;
        // Baseline at the middle of the paper, the R peak a quarter in.
        const double offset = (g.cellWidth - kBeatSeconds * g.scale.mmPerSecond) / 2.0;
        const QPointF origin((left + offset) * pixelsPerMm, (top + kLabelRoomMm + trace / 2.0) * pixelsPerMm);
        if (haveRest)
            ecg.drawTrace(rest.current.data(), static_cast<int>(rest.current.size()), rest.rate, origin, false,
                          scheme.reference, EcgPainter::kTraceWidthMm);
        ecg.drawTrace(shown.current.data(), static_cast<int>(shown.current.size()), shown.rate, origin);
        // values="level" leaves the slope out where twelve narrow cells
        // have no room for it.
        if (shown.stValid && values != QLatin1String("none"))
            ecg.drawLabel(QPointF(left * pixelsPerMm, (top + kValueLineMm) * pixelsPerMm),
                          values == QLatin1String("level")
                              ? mm(shown.levelMv, "mm")
                              : mm(shown.levelMv, "mm") + QStringLiteral("  ") + mm(shown.slopeMvPerSecond, "mm/s"),
                          kValueHeightMm);
    }
}
