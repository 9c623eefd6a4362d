#include "tools/sim/EcgPaperPage.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kPixelsPerMm = 8.0;
constexpr double kMmPerSecond = 25.0;
constexpr double kMmPerMillivolt = 10.0;
constexpr double kLeftMarginMm = 12.0;  // room for the calibration pulse
constexpr double kRightMarginMm = 5.0;
constexpr double kHeaderMm = 12.0;
constexpr double kRowMm = 30.0;
constexpr double kBottomMarginMm = 6.0;
constexpr int kColumns = 4;
constexpr int kRowsOfLeads = 3;

double px(double mm) { return mm * kPixelsPerMm; }
}  // namespace

EcgPaperPage::EcgPaperPage(int samplingRate, double spanSeconds, QString title)
    : samplingRate_(samplingRate), spanSeconds_(spanSeconds), title_(std::move(title)) {}

double EcgPaperPage::xForSeconds(double seconds) const { return px(kLeftMarginMm + seconds * kMmPerSecond); }

void EcgPaperPage::drawGrid(QPainter &painter, const QSize &size) const {
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(255, 247, 247));
    const double widthMm = size.width() / kPixelsPerMm;
    const double heightMm = size.height() / kPixelsPerMm;
    const QPen fine(QColor(246, 196, 200), 1.0);
    const QPen bold(QColor(228, 120, 130), 1.4);
    for (int pass = 0; pass < 2; ++pass) {
        for (int mm = 0; mm <= static_cast<int>(widthMm); ++mm) {
            if ((mm % 5 == 0) != (pass == 1)) continue;
            painter.setPen(pass == 1 ? bold : fine);
            painter.drawLine(QPointF(px(mm), 0), QPointF(px(mm), size.height()));
        }
        for (int mm = 0; mm <= static_cast<int>(heightMm); ++mm) {
            if ((mm % 5 == 0) != (pass == 1)) continue;
            painter.setPen(pass == 1 ? bold : fine);
            painter.drawLine(QPointF(0, px(mm)), QPointF(size.width(), px(mm)));
        }
    }
}

void EcgPaperPage::drawRow(QPainter &painter, double baselineMm, const std::vector<Strip> &strips) const {
    const double baseline = px(baselineMm);
    const double mv = px(kMmPerMillivolt);
    // 1 mV calibration pulse, 0.2 s wide.
    QPainterPath pulse;
    pulse.moveTo(px(2.0), baseline);
    pulse.lineTo(px(4.0), baseline);
    pulse.lineTo(px(4.0), baseline - mv);
    pulse.lineTo(px(9.0), baseline - mv);
    pulse.lineTo(px(9.0), baseline);
    pulse.lineTo(px(11.0), baseline);
    painter.setPen(QPen(Qt::black, 1.6));
    painter.drawPath(pulse);

    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(px(3.2)));
    font.setBold(true);
    painter.setFont(font);
    for (const Strip &strip : strips) {
        const std::vector<double> &values = strip.lead->millivolts;
        const auto first = static_cast<std::size_t>(std::llround(strip.fromSeconds * samplingRate_));
        const auto last =
            std::min(values.size(), static_cast<std::size_t>(std::llround(strip.toSeconds * samplingRate_)));
        if (first >= last) continue;
        QPainterPath trace;
        for (std::size_t i = first; i < last; ++i) {
            const QPointF point(xForSeconds(static_cast<double>(i) / samplingRate_), baseline - values[i] * mv);
            if (i == first)
                trace.moveTo(point);
            else
                trace.lineTo(point);
        }
        painter.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(trace);
        const double x = xForSeconds(strip.fromSeconds);
        if (strip.fromSeconds > 0.0) painter.drawLine(QPointF(x, baseline - px(4)), QPointF(x, baseline + px(4)));
        painter.setPen(QColor(30, 30, 120));
        painter.drawText(QPointF(x + px(1.5), baseline - px(9)), strip.lead->name);
    }
}

QImage EcgPaperPage::render(const std::vector<LeadTrace> &leads) const {
    const bool standard = leads.size() >= 12;
    std::vector<std::vector<Strip>> rows;
    if (standard) {
        const double column = spanSeconds_ / kColumns;
        for (int row = 0; row < kRowsOfLeads; ++row) {
            std::vector<Strip> strips;
            for (int c = 0; c < kColumns; ++c)
                strips.push_back(
                    {&leads[static_cast<std::size_t>(c * kRowsOfLeads + row)], c * column, (c + 1) * column});
            rows.push_back(strips);
        }
        // Rhythm strips: II, then the bipolar chest leads when recorded.
        rows.push_back({{&leads[1], 0.0, spanSeconds_}});
        for (std::size_t extra = 12; extra < leads.size(); ++extra)
            rows.push_back({{&leads[extra], 0.0, spanSeconds_}});
    } else {
        for (const LeadTrace &lead : leads) rows.push_back({{&lead, 0.0, spanSeconds_}});
    }

    const double widthMm = kLeftMarginMm + spanSeconds_ * kMmPerSecond + kRightMarginMm;
    const double heightMm = kHeaderMm + kRowMm * static_cast<double>(rows.size()) + kBottomMarginMm;
    QImage image(static_cast<int>(std::ceil(px(widthMm))), static_cast<int>(std::ceil(px(heightMm))),
                 QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawGrid(painter, image.size());

    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(px(3.5)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(px(kLeftMarginMm), px(7.5)),
                     title_ + QStringLiteral("    25 mm/s    10 mm/mV    %1 samples/s").arg(samplingRate_));

    for (std::size_t row = 0; row < rows.size(); ++row)
        drawRow(painter, kHeaderMm + kRowMm * (static_cast<double>(row) + 0.55), rows[row]);
    painter.end();
    return image;
}
