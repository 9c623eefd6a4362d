#include "reports/ReportRenderer.h"

#include "reports/ReportBarcode.h"
#include "reports/ReportGraphics.h"
#include "reports/ReportLayout.h"

#include <QFile>
#include <QImageReader>
#include <QPagedPaintDevice>
#include <QPainter>
#include <stdexcept>

namespace {

constexpr double kRuleWidthMm = 0.2;

QRectF toPixels(const QRectF &mm, double pxPerMm) {
    return QRectF(mm.left() * pxPerMm, mm.top() * pxPerMm, mm.width() * pxPerMm, mm.height() * pxPerMm);
}

// A picture scaled into its box with its proportions kept; a missing or
// unreadable file leaves the box empty rather than failing the report.
void paintImage(QPainter &painter, const QRectF &box, const QString &file) {
    QImageReader reader(file);
    const QImage image = reader.read();
    if (image.isNull() || box.isEmpty()) return;
    QSizeF size = image.size();
    size.scale(box.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(box.topLeft(), size), image);
}

}  // namespace

ReportRenderer::ReportRenderer(const ReportTemplate &report, const ReportData &data) : template_(report), data_(data) {}

int ReportRenderer::render(QPagedPaintDevice &device) {
    unknown_.clear();
    ReportLayout layout(template_, data_, device);
    // The page layout turns a portrait size for landscape itself; handed the
    // turned size it would turn it back and cut the report's right side off.
    QSizeF portrait = layout.pageSizeMm();
    if (layout.landscape()) portrait.transpose();
    device.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                                     layout.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    ReportGraphics graphics(data_.study(), data_.field(QStringLiteral("traceLayout")),
                            data_.field(QStringLiteral("rhythmLead")), data_.capture());
    layout.ecgHeight = [&graphics](const TemplateNode &node, const FieldScope &scope, double width) {
        const QString event = FieldText::substitute(node.attribute(QStringLiteral("event"), "last"), scope);
        return graphics.ecgHeightMm(node, event, width);
    };
    layout.averageBeatsHeight = [&graphics](const TemplateNode &node, double width) {
        return graphics.averageBeatsHeightMm(node, width);
    };
    const std::vector<PlacedPage> pages = layout.bodyPages(&unknown_);
    const int count = static_cast<int>(pages.size());

    QPainter painter;
    if (!painter.begin(&device)) throw std::runtime_error("Report output could not be opened");
    painter.setRenderHint(QPainter::Antialiasing);
    const double pxPerMm = device.logicalDpiX() / 25.4;
    for (int p = 0; p < count; ++p) {
        if (p > 0 && !device.newPage()) throw std::runtime_error("Report output could not start a new page");
        PlacedPage items = layout.frame(p + 1, count, &unknown_);
        items.insert(items.end(), pages[static_cast<std::size_t>(p)].begin(), pages[static_cast<std::size_t>(p)].end());
        for (const PlacedItem &item : items) {
            const QRectF box = toPixels(item.mm, pxPerMm);
            switch (item.kind) {
            case PlacedItem::Kind::Text:
                painter.setPen(Qt::black);
                painter.setFont(item.font);
                painter.drawText(box, item.flags, item.text);
                break;
            case PlacedItem::Kind::Line:
                painter.setPen(QPen(Qt::black, kRuleWidthMm * pxPerMm));
                painter.drawLine(box.topLeft(), box.topRight());
                break;
            case PlacedItem::Kind::Image: paintImage(painter, box, item.text); break;
            case PlacedItem::Kind::Barcode:
                ReportBarcode::paint(
                    painter, box, ReportBarcode::encode(item.node->attribute(QStringLiteral("type"), "qr"), item.text));
                break;
            case PlacedItem::Kind::Trend: graphics.paintTrend(painter, pxPerMm, item.mm, *item.node, item.text); break;
            case PlacedItem::Kind::AverageBeats:
                graphics.paintAverageBeats(painter, pxPerMm, item.mm, *item.node, item.text);
                break;
            case PlacedItem::Kind::Ecg: graphics.paintEcg(painter, pxPerMm, item.mm, *item.node, item.text); break;
            }
        }
    }
    if (!painter.end()) throw std::runtime_error("Report output could not be finished");
    return count;
}
