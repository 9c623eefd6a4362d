#include "ui/AverageBeatInset.h"

#include "ui/EcgPainter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace AverageBeatInset {

namespace {
constexpr double kMmPerMillivolt = 10.0;  // what "mm" of ST means
constexpr double kTextMm = 2.2;
constexpr double kTwoLinesMm = 24.0;  // inset height from which the slope is written too
}  // namespace

QString levelText(double levelMv) {
    return QStringLiteral("ST %1 mm")
        .arg(levelMv * kMmPerMillivolt, 0, 'f', 1)
        .replace(QLatin1String("ST -0.0"), QLatin1String("ST 0.0"));
}

QString slopeText(double slopeMvPerSecond) {
    const double mm = slopeMvPerSecond * kMmPerMillivolt;
    return QStringLiteral("%1%2 mm/s")
        .arg(mm > 0.05 ? QStringLiteral("+") : QString())
        .arg(std::abs(mm) < 0.05 ? 0.0 : mm, 0, 'f', 1);
}

void draw(QPainter &painter, const EcgPainter &ecg, const QRectF &box, double baselineY, const AverageBeatView &view) {
    const EcgPaperScale &page = ecg.scale();
    EcgPaperScale scale = page;
    scale.mmPerSecond = kMmPerSecond;
    const EcgPainter inset(painter, scale, ecg.scheme());
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setPen(QPen(ecg.scheme().label, 1));
    painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    if (view.current.empty() || view.rate <= 0.0) {
        painter.restore();
        return;
    }
    const int first = std::max(0, static_cast<int>(kFromSeconds * view.rate));
    const int end = std::min(static_cast<int>(view.current.size()), static_cast<int>(kToSeconds * view.rate));
    if (first >= end) {
        painter.restore();
        return;
    }
    // Sample `first` sits one millimetre into the box.
    const double x0 = box.left() + scale.px(1.0) - first / view.rate * scale.pixelsPerSecond();
    auto aligned = [&](const std::vector<double> &beat) {
        // Zero at the isoelectric point when it is known, so ST reads off the baseline.
        const std::size_t iso = static_cast<std::size_t>(view.isoelectric);
        const double zero = view.stValid && iso < beat.size() ? beat[iso] : 0.0;
        std::vector<double> shifted(beat);
        for (double &v : shifted) v -= zero;
        return shifted;
    };
    auto drawPart = [&](const std::vector<double> &beat, const QColor &colour) {
        const int stop = std::min(end, static_cast<int>(beat.size()));
        if (stop > first)
            inset.drawTrace(beat.data() + first, stop - first, view.rate,
                            QPointF(x0 + first / view.rate * scale.pixelsPerSecond(), baselineY), false, colour,
                            EcgPainter::kTraceWidthMm);
    };
    if (!view.reference.empty()) drawPart(aligned(view.reference), ecg.scheme().reference);
    const std::vector<double> current = aligned(view.current);
    drawPart(current, ecg.scheme().trace);

    if (view.stValid) {
        painter.setPen(QPen(ecg.scheme().marker, std::max(1.0, scale.px(0.2))));
        const double tick = scale.px(2.5);
        for (int point : {view.isoelectric, view.j, view.st}) {
            if (point < first || point >= end) continue;
            const double x = x0 + point / view.rate * scale.pixelsPerSecond();
            const double y = baselineY - current[static_cast<std::size_t>(point)] * scale.pixelsPerMillivolt();
            painter.drawLine(QPointF(x, y - tick), QPointF(x, y + tick));
        }
        const double textX = box.left() + scale.px(1.0);
        const double lineHeight = scale.px(kTextMm) * 1.3;
        // A short row has room below the beat for the level only.
        const bool both = box.height() >= scale.px(kTwoLinesMm);
        const double firstLine = box.bottom() - (both ? 2 : 1) * lineHeight - scale.px(0.5);
        inset.drawLabel(QPointF(textX, firstLine), levelText(view.levelMv), kTextMm);
        if (both) inset.drawLabel(QPointF(textX, firstLine + lineHeight), slopeText(view.slopeMvPerSecond), kTextMm);
    }
    painter.restore();
}

}  // namespace AverageBeatInset
