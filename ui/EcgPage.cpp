#include "ui/EcgPage.h"

#include "ui/EcgPainter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kMostGridLeads = 12;
}

bool EcgPage::parseLayout(const QString &text, Layout *layout) {
    if (text == QLatin1String("12x1"))
        *layout = Layout::TwelveByOne;
    else if (text == QLatin1String("6x2"))
        *layout = Layout::SixByTwo;
    else if (text == QLatin1String("4x3"))
        *layout = Layout::FourByThree;
    else
        return false;
    return true;
}

int EcgPage::columns(Layout layout) {
    switch (layout) {
    case Layout::TwelveByOne: return 1;
    case Layout::SixByTwo: return 2;
    case Layout::FourByThree: return 4;
    }
    return 1;
}

EcgPage::EcgPage(Layout layout, double rate, double seconds, const EcgPaperScale &scale,
                 const DisplayColorScheme &scheme)
    : layout_(layout), rate_(rate), seconds_(seconds), scale_(scale), scheme_(scheme) {}

int EcgPage::gridLeads(int leadCount) const { return std::min(leadCount, kMostGridLeads); }

int EcgPage::rowCount(int leadCount) const {
    const int c = columns(layout_);
    return (gridLeads(leadCount) + c - 1) / c;
}

double EcgPage::rowHeightMm() const {
    // Room for about 2.5 mV at the gain, in whole 5 mm squares.
    return std::max(15.0, 5.0 * std::ceil(2.5 * scale_.mmPerMillivolt / 5.0));
}

QSizeF EcgPage::sizeMm(int leadCount) const {
    const int rows = rowCount(leadCount) + static_cast<int>(rhythm_.size());
    return QSizeF(kLeftMarginMm + seconds_ * scale_.mmPerSecond + kRightMarginMm,
                  kHeaderMm + rows * rowHeightMm() + kBottomMarginMm);
}

void EcgPage::paint(QPainter &painter, double pixelsPerMm, const std::vector<EcgPageLead> &leads) const {
    EcgPaperScale scale = scale_;
    scale.pixelsPerMm = pixelsPerMm;
    const EcgPainter ecg(painter, scale, scheme_);
    const int leadCount = static_cast<int>(leads.size());
    const QSizeF size = sizeMm(leadCount);
    ecg.drawPaper(QRectF(0, 0, scale.px(size.width()), scale.px(size.height())), QPointF(0, 0));
    ecg.drawLabel(
        QPointF(scale.px(kLeftMarginMm), scale.px(3.0)),
        QStringLiteral("%1    %2 mm/s    %3 mm/mV").arg(title_).arg(scale.mmPerSecond).arg(scale.mmPerMillivolt), 3.5);

    const double rowMm = rowHeightMm();
    const double pulseMm = EcgPainter::calibrationWidthMm(scale.mmPerSecond);
    auto drawRow = [&](int row, const std::vector<std::pair<int, int>> &strips, int parts) {
        const double topMm = kHeaderMm + row * rowMm;
        const double baselineMm = topMm + std::round(rowMm * 0.6);
        ecg.drawCalibrationPulse(QPointF(scale.px(kLeftMarginMm - pulseMm - 1.0), scale.px(baselineMm)));
        const double partSeconds = seconds_ / parts;
        for (const auto &strip : strips) {
            const EcgPageLead &lead = leads[static_cast<std::size_t>(strip.first)];
            const int part = strip.second;
            const auto first = static_cast<std::size_t>(std::llround(part * partSeconds * rate_));
            const auto end = std::min(lead.millivolts.size(),
                                      static_cast<std::size_t>(std::llround((part + 1) * partSeconds * rate_)));
            const double xMm = kLeftMarginMm + first / rate_ * scale.mmPerSecond;
            if (part > 0) {
                painter.save();
                painter.setPen(QPen(scheme_.trace, ecg.lineWidth(EcgPainter::kTraceWidthMm)));
                painter.drawLine(QPointF(scale.px(xMm), scale.px(baselineMm - 3.0)),
                                 QPointF(scale.px(xMm), scale.px(baselineMm + 3.0)));
                painter.restore();
            }
            if (first < end)
                ecg.drawTrace(lead.millivolts.data() + first, static_cast<int>(end - first), rate_,
                              QPointF(scale.px(xMm), scale.px(baselineMm)), lead.inverted);
            ecg.drawLabel(QPointF(scale.px(xMm + 1.0), scale.px(topMm + 1.0)), lead.name);
        }
    };

    const int cols = columns(layout_);
    const int rows = rowCount(leadCount);
    for (int r = 0; r < rows; ++r) {
        std::vector<std::pair<int, int>> strips;
        for (int c = 0; c < cols; ++c) {
            const int lead = c * rows + r;
            if (lead < gridLeads(leadCount)) strips.push_back({lead, c});
        }
        drawRow(r, strips, cols);
    }
    int row = rows;
    for (int lead : rhythm_)
        if (lead >= 0 && lead < leadCount) drawRow(row++, {{lead, 0}}, 1);
}
