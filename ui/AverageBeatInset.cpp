#include "ui/AverageBeatInset.h"

#include "ui/EcgPainter.h"

#include <QPainter>
#include <cmath>

namespace AverageBeatInset {

namespace {
constexpr double kMmPerMillivolt = 10.0;  // what "mm" of ST means
constexpr double kTextMm = 2.4;
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
    const double x0 = box.left() + (box.width() - view.current.size() / view.rate * scale.pixelsPerSecond()) / 2;
    auto aligned = [&](const std::vector<double> &beat) {
        // Zero at the isoelectric point when it is known, so ST reads off the baseline.
        const std::size_t iso = static_cast<std::size_t>(view.isoelectric);
        const double zero = view.stValid && iso < beat.size() ? beat[iso] : 0.0;
        std::vector<double> shifted(beat);
        for (double &v : shifted) v -= zero;
        return shifted;
    };
    if (!view.reference.empty()) {
        const std::vector<double> reference = aligned(view.reference);
        inset.drawTrace(reference.data(), static_cast<int>(reference.size()), view.rate, QPointF(x0, baselineY), false,
                        ecg.scheme().reference, EcgPainter::kTraceWidthMm);
    }
    const std::vector<double> current = aligned(view.current);
    inset.drawTrace(current.data(), static_cast<int>(current.size()), view.rate, QPointF(x0, baselineY));

    if (view.stValid) {
        painter.setPen(QPen(ecg.scheme().marker, std::max(1.0, scale.px(0.2))));
        const double tick = scale.px(2.5);
        for (int point : {view.isoelectric, view.j, view.st}) {
            if (point < 0 || point >= static_cast<int>(current.size())) continue;
            const double x = x0 + point / view.rate * scale.pixelsPerSecond();
            const double y = baselineY - current[static_cast<std::size_t>(point)] * scale.pixelsPerMillivolt();
            painter.drawLine(QPointF(x, y - tick), QPointF(x, y + tick));
        }
        const double textHeight = scale.px(kTextMm) * 1.25;
        inset.drawLabel(QPointF(box.left() + scale.px(0.8), box.bottom() - 2 * textHeight - scale.px(0.5)),
                        levelText(view.levelMv), kTextMm);
        inset.drawLabel(QPointF(box.left() + scale.px(0.8), box.bottom() - textHeight - scale.px(0.5)),
                        slopeText(view.slopeMvPerSecond), kTextMm);
    }
    painter.restore();
}

}  // namespace AverageBeatInset
