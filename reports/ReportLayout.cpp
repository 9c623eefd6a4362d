#include "reports/ReportLayout.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <algorithm>
#include <stdexcept>

namespace {

constexpr double kCellPaddingMm = 0.8;
constexpr double kBlockGapMm = 1.5;
// Below a trend: its time labels reach a little under the plot.
constexpr double kTrendGapMm = 4.0;
constexpr double kDefaultTextSize = 9.0;

int alignment(const TemplateNode &node) {
    const QString a = node.attribute(QStringLiteral("align"));
    if (a == QLatin1String("center")) return Qt::AlignHCenter;
    if (a == QLatin1String("right")) return Qt::AlignRight;
    return Qt::AlignLeft;
}

// Header and footer never grow into the body: what does not fit their band
// is left out.
void keepInside(PlacedPage &placed, double bottom, PlacedPage &kept) {
    constexpr double kTolerance = 0.01;
    for (PlacedItem &item : placed)
        if (item.mm.bottom() <= bottom + kTolerance) kept.push_back(std::move(item));
}

}  // namespace

// Places blocks from top to bottom between `top` and `bottom`; when
// `breaks` is false (header, footer) nothing starts a new page.
struct ReportLayout::Flow {
    ReportLayout &layout;
    FieldScope scope;
    QStringList *unknown;
    bool breaks;
    double top, bottom;
    std::vector<PlacedPage> pages{1};
    double y;

    Flow(ReportLayout &l, FieldScope s, QStringList *u, bool b, double t, double btm)
        : layout(l), scope(std::move(s)), unknown(u), breaks(b), top(t), bottom(btm), y(t) {}

    // The template's own words go through the report catalogue first, so a
    // translated installation prints them in its language; the fields'
    // values are the study's and stay as they are.
    QString text(const QString &raw) {
        const QByteArray source = raw.toUtf8();
        return FieldText::substitute(QCoreApplication::translate("ReportTemplate", source.constData()), scope, unknown);
    }
    bool shown(const TemplateNode &node) {
        return FieldText::condition(node.attribute(QStringLiteral("if")), scope, unknown);
    }
    void newPage() {
        pages.emplace_back();
        y = top;
    }
    // Makes room for `height` mm, on a new page when this one is too full
    // (unless it is still empty: a block taller than a page is cut, not
    // repeated on page after page).
    void room(double height) {
        if (breaks && y + height > bottom && y > top) newPage();
    }
    void place(PlacedItem item) { pages.back().push_back(std::move(item)); }

    void blocks(const TemplateNode &parent, double x, double width) {
        for (const TemplateNode &child : parent.children) block(child, x, width);
    }

    void block(const TemplateNode &node, double x, double width) {
        if (!shown(node)) return;
        const QString &tag = node.tag;
        if (tag == QLatin1String("table")) return table(node, x, width);
        if (tag == QLatin1String("repeat")) return repeat(node, x, width);
        if (tag == QLatin1String("fields")) return fields(node, x, width);
        if (tag == QLatin1String("pagebreak")) {
            if (breaks && y > top) newPage();
            return;
        }
        const double height = measure(node, width);
        room(height);
        put(node, QRectF(x, y, width, height));
        y += height;
    }

    // Height of a block that never breaks.
    double measure(const TemplateNode &node, double width) {
        const QString &tag = node.tag;
        if (tag == QLatin1String("text"))
            return layout.measureText(text(node.text), layout.font(node, kDefaultTextSize), width, textFlags(node)) +
                   kCellPaddingMm;
        if (tag == QLatin1String("image"))
            return text(node.attribute(QStringLiteral("source"))).isEmpty() ? 0.0
                                                                            : node.number(QStringLiteral("height"), 15);
        if (tag == QLatin1String("barcode"))
            return text(node.attribute(QStringLiteral("data"))).isEmpty() ? 0.0
                                                                          : node.number(QStringLiteral("height"), 20);
        if (tag == QLatin1String("trend")) return node.number(QStringLiteral("height"), 40) + kTrendGapMm;
        if (tag == QLatin1String("ecg")) return layout.ecgHeight ? layout.ecgHeight(node, scope, width) : 0.0;
        if (tag == QLatin1String("averagebeats"))
            return layout.averageBeatsHeight ? layout.averageBeatsHeight(node, width) : 0.0;
        if (tag == QLatin1String("space")) return node.number(QStringLiteral("height"), 4);
        if (tag == QLatin1String("line")) return kBlockGapMm;
        if (tag == QLatin1String("row")) {
            double height = 0.0;
            const std::vector<double> widths = rowWidths(node, width);
            for (std::size_t i = 0; i < node.children.size(); ++i)
                if (shown(node.children[i])) height = std::max(height, measure(node.children[i], widths[i]));
            return height;
        }
        throw std::runtime_error(QStringLiteral("Report template error: line %1: <%2> cannot stand here")
                                     .arg(node.line)
                                     .arg(tag)
                                     .toStdString());
    }

    static int textFlags(const TemplateNode &node) { return alignment(node) | Qt::AlignTop | Qt::TextWordWrap; }

    std::vector<double> rowWidths(const TemplateNode &row, double width) {
        std::vector<double> widths(row.children.size(), -1.0);
        double fixed = 0.0;
        int open = 0;
        for (std::size_t i = 0; i < row.children.size(); ++i) {
            if (!shown(row.children[i])) continue;
            widths[i] = row.children[i].number(QStringLiteral("width"), -1.0);
            if (widths[i] < 0)
                ++open;
            else
                fixed += widths[i];
        }
        const double share = open > 0 ? std::max(0.0, width - fixed) / open : 0.0;
        for (double &w : widths)
            if (w < 0) w = share;
        return widths;
    }

    void put(const TemplateNode &node, const QRectF &area) {
        const QString &tag = node.tag;
        PlacedItem item;
        item.node = &node;
        item.mm = area;
        if (tag == QLatin1String("text")) {
            item.text = text(node.text);
            item.font = layout.font(node, kDefaultTextSize);
            item.flags = textFlags(node);
        } else if (tag == QLatin1String("image")) {
            item.kind = PlacedItem::Kind::Image;
            item.text = text(node.attribute(QStringLiteral("source")));
            item.mm.setWidth(std::min(area.width(), node.number(QStringLiteral("width"), area.width())));
            if (item.text.isEmpty()) return;
        } else if (tag == QLatin1String("barcode")) {
            item.kind = PlacedItem::Kind::Barcode;
            item.text = text(node.attribute(QStringLiteral("data")));
            item.mm.setWidth(std::min(area.width(), node.number(QStringLiteral("width"), area.height())));
            if (item.text.isEmpty()) return;
        } else if (tag == QLatin1String("trend")) {
            item.kind = PlacedItem::Kind::Trend;
            item.text = text(node.attribute(QStringLiteral("series")));
            item.mm.setHeight(area.height() - kTrendGapMm);
        } else if (tag == QLatin1String("ecg")) {
            item.kind = PlacedItem::Kind::Ecg;
            item.text = text(node.attribute(QStringLiteral("event"), QStringLiteral("last")));
            if (area.height() <= 0.0) return;
        } else if (tag == QLatin1String("averagebeats")) {
            item.kind = PlacedItem::Kind::AverageBeats;
            item.text = node.attribute(QStringLiteral("moment"), QStringLiteral("peak"));
            if (area.height() <= 0.0) return;
        } else if (tag == QLatin1String("line")) {
            item.kind = PlacedItem::Kind::Line;
            item.mm = QRectF(area.left(), area.center().y(), area.width(), 0.0);
        } else if (tag == QLatin1String("row")) {
            const std::vector<double> widths = rowWidths(node, area.width());
            double x = area.left();
            for (std::size_t i = 0; i < node.children.size(); ++i) {
                if (!shown(node.children[i])) continue;
                put(node.children[i], QRectF(x, area.top(), widths[i], area.height()));
                x += widths[i];
            }
            return;
        } else {
            return;  // space
        }
        place(item);
    }

    void repeat(const TemplateNode &node, double x, double width) {
        const QString set = node.attribute(QStringLiteral("over"));
        checkSet(node, set);
        for (int i = 0; i < layout.data_.rowCount(set); ++i) {
            scope.entries.push_back({set, i});
            blocks(node, x, width);
            scope.entries.pop_back();
        }
    }

    void checkSet(const TemplateNode &node, const QString &set) {
        if (!layout.data_.hasRowSet(set))
            throw std::runtime_error(QStringLiteral("Report template error: line %1: the report has no set \"%2\"")
                                         .arg(node.line)
                                         .arg(set)
                                         .toStdString());
    }

    void fields(const TemplateNode &node, double x, double width) {
        const int columns = std::max(1, static_cast<int>(node.number(QStringLiteral("columns"), 1)));
        const double labelWidth = node.number(QStringLiteral("labelWidth"), 30);
        const double columnWidth = width / columns;
        const QFont labelFont = layout.font(node, kDefaultTextSize, true);
        QFont valueFont = layout.font(node, kDefaultTextSize);
        valueFont.setBold(false);
        std::vector<const TemplateNode *> visible;
        for (const TemplateNode &field : node.children)
            if (shown(field)) visible.push_back(&field);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        for (std::size_t first = 0; first < visible.size(); first += static_cast<std::size_t>(columns)) {
            const std::size_t end = std::min(visible.size(), first + static_cast<std::size_t>(columns));
            double height = 0.0;
            for (std::size_t i = first; i < end; ++i) {
                const double valueWidth = columnWidth - labelWidth;
                height = std::max(
                    {height, layout.measureText(text(visible[i]->attribute("label")), labelFont, labelWidth, flags),
                     layout.measureText(text(visible[i]->text), valueFont, valueWidth, flags)});
            }
            height += kCellPaddingMm;
            room(height);
            for (std::size_t i = first; i < end; ++i) {
                const double left = x + columnWidth * static_cast<double>(i - first);
                place({PlacedItem::Kind::Text, QRectF(left, y, labelWidth, height),
                       text(visible[i]->attribute("label")), labelFont, flags, visible[i]});
                place({PlacedItem::Kind::Text, QRectF(left + labelWidth, y, columnWidth - labelWidth, height),
                       text(visible[i]->text), valueFont, flags, visible[i]});
            }
            y += height;
        }
    }

    void table(const TemplateNode &node, double x, double width) {
        const QString set = node.attribute(QStringLiteral("repeat"));
        checkSet(node, set);
        std::vector<const TemplateNode *> columns;
        for (const TemplateNode &column : node.children)
            if (shown(column)) columns.push_back(&column);
        if (columns.empty()) return;
        std::vector<double> widths;
        double fixed = 0.0;
        int open = 0;
        for (const TemplateNode *column : columns) {
            widths.push_back(column->number(QStringLiteral("width"), -1.0));
            if (widths.back() < 0)
                ++open;
            else
                fixed += widths.back();
        }
        for (double &w : widths)
            if (w < 0) w = std::max(0.0, width - fixed) / std::max(1, open);
        const QFont bodyFont = layout.font(node, kDefaultTextSize);
        QFont titleFont = bodyFont;
        titleFont.setBold(true);

        auto cells = [&](const std::vector<QString> &texts, const QFont &font) {
            double height = 0.0;
            for (std::size_t c = 0; c < columns.size(); ++c)
                height = std::max(height, layout.measureText(texts[c], font, widths[c] - kCellPaddingMm,
                                                             alignment(*columns[c]) | Qt::TextWordWrap));
            return height + kCellPaddingMm;
        };
        auto emitRow = [&](const std::vector<QString> &texts, const QFont &font, double height) {
            double left = x;
            for (std::size_t c = 0; c < columns.size(); ++c) {
                place({PlacedItem::Kind::Text, QRectF(left, y, widths[c] - kCellPaddingMm, height), texts[c], font,
                       alignment(*columns[c]) | Qt::AlignTop | Qt::TextWordWrap, columns[c]});
                left += widths[c];
            }
            y += height;
        };
        std::vector<QString> titles;
        for (const TemplateNode *column : columns) titles.push_back(text(column->attribute(QStringLiteral("title"))));
        const double titleHeight = cells(titles, titleFont);
        auto titleRow = [&] {
            emitRow(titles, titleFont, titleHeight);
            place({PlacedItem::Kind::Line, QRectF(x, y, width, 0.0), QString(), QFont(), 0, &node});
        };

        const int count = layout.data_.rowCount(set);
        std::vector<std::vector<QString>> rows;
        for (int i = 0; i < count; ++i) {
            scope.entries.push_back({set, i});
            std::vector<QString> texts;
            for (const TemplateNode *column : columns) texts.push_back(text(column->text));
            scope.entries.pop_back();
            rows.push_back(std::move(texts));
        }
        // The titles never end a page alone: they move with the first row.
        room(titleHeight + (rows.empty() ? 0.0 : cells(rows.front(), bodyFont)));
        titleRow();
        for (const std::vector<QString> &texts : rows) {
            const double height = cells(texts, bodyFont);
            if (breaks && y + height > bottom) {
                newPage();
                titleRow();
            }
            emitRow(texts, bodyFont, height);
        }
        y += kBlockGapMm;
    }
};

ReportLayout::ReportLayout(const ReportTemplate &report, const ReportData &data, const QPaintDevice &metrics)
    : template_(report), data_(data), metrics_(metrics) {
    const TemplateNode &root = report.root();
    const QString size = root.attribute(QStringLiteral("pageSize"), QStringLiteral("A4"));
    if (size == QLatin1String("A4"))
        pageSize_ = QSizeF(210.0, 297.0);
    else if (size == QLatin1String("Letter"))
        pageSize_ = QSizeF(215.9, 279.4);
    else
        throw std::runtime_error(QStringLiteral("Report template error: line %1: unknown pageSize \"%2\"")
                                     .arg(root.line)
                                     .arg(size)
                                     .toStdString());
    landscape_ = root.attribute(QStringLiteral("orientation")) == QLatin1String("landscape");
    if (landscape_) pageSize_.transpose();
    margin_ = root.number(QStringLiteral("margin"), 12.0);
}

QFont ReportLayout::font(const TemplateNode &node, double defaultSize, bool bold) const {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(node.number(QStringLiteral("size"), defaultSize));
    f.setBold(bold || node.attribute(QStringLiteral("bold")) == QLatin1String("true"));
    f.setItalic(node.attribute(QStringLiteral("italic")) == QLatin1String("true"));
    return f;
}

double ReportLayout::measureText(const QString &text, const QFont &font, double widthMm, int flags) const {
    if (text.isEmpty()) return 0.0;
    const double pxPerMmX = metrics_.logicalDpiX() / 25.4;
    const double pxPerMmY = metrics_.logicalDpiY() / 25.4;
    const QFontMetricsF fm(font, const_cast<QPaintDevice *>(&metrics_));
    const QRectF bounds = fm.boundingRect(QRectF(0, 0, std::max(1.0, widthMm * pxPerMmX), 1e7), flags, text);
    return bounds.height() / pxPerMmY;
}

std::vector<PlacedPage> ReportLayout::bodyPages(QStringList *unknownFields) {
    const TemplateNode *header = template_.section(QStringLiteral("header"));
    const TemplateNode *footer = template_.section(QStringLiteral("footer"));
    const double top = margin_ + (header ? header->number(QStringLiteral("height"), 15) : 0.0);
    const double bottom = pageSize_.height() - margin_ - (footer ? footer->number(QStringLiteral("height"), 8) : 0.0);
    FieldScope scope;
    scope.data = &data_;
    Flow flow(*this, scope, unknownFields, true, top, bottom);
    if (const TemplateNode *body = template_.section(QStringLiteral("body")))
        flow.blocks(*body, margin_, pageSize_.width() - 2 * margin_);
    return std::move(flow.pages);
}

PlacedPage ReportLayout::frame(int number, int count, QStringList *unknownFields) {
    FieldScope scope;
    scope.data = &data_;
    scope.pageNumber = number;
    scope.pageCount = count;
    PlacedPage items;
    const double width = pageSize_.width() - 2 * margin_;
    if (const TemplateNode *header = template_.section(QStringLiteral("header"))) {
        const double bottom = margin_ + header->number("height", 15);
        Flow flow(*this, scope, unknownFields, false, margin_, bottom);
        flow.blocks(*header, margin_, width);
        keepInside(flow.pages.front(), bottom, items);
    }
    if (const TemplateNode *footer = template_.section(QStringLiteral("footer"))) {
        const double bottom = pageSize_.height() - margin_;
        Flow flow(*this, scope, unknownFields, false, bottom - footer->number("height", 8), bottom);
        flow.blocks(*footer, margin_, width);
        keepInside(flow.pages.front(), bottom, items);
    }
    return items;
}
