#pragma once
// Lays a template's blocks out on pages: measures text with the output
// device's fonts, breaks pages where a block no longer fits, and returns
// each page as items placed in millimetres from the page's top-left corner.

#include "reports/FieldText.h"
#include "reports/ReportTemplate.h"

#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <functional>
#include <vector>

class QPaintDevice;

struct PlacedItem {
    enum class Kind { Text, Image, Barcode, Trend, Ecg, AverageBeats, Line };
    Kind kind = Kind::Text;
    QRectF mm;
    QString text;  // the words; the image file; the symbol's data; the trend series; the ECG's event index
    QFont font;
    int flags = 0;                       // Qt alignment and wrapping of text
    const TemplateNode *node = nullptr;  // the element, for a graphic's own attributes
};

using PlacedPage = std::vector<PlacedItem>;

class ReportLayout {
public:
    // Fonts are measured on `metrics` (the device the report is drawn on,
    // or one of the same resolution). The template and data must outlive
    // the layout's pages.
    ReportLayout(const ReportTemplate &report, const ReportData &data, const QPaintDevice &metrics);

    QSizeF pageSizeMm() const { return pageSize_; }
    bool landscape() const { return landscape_; }

    // The body's pages; always at least one.
    std::vector<PlacedPage> bodyPages(QStringList *unknownFields);
    // Header and footer of page `number` (1-based) of `count`.
    PlacedPage frame(int number, int count, QStringList *unknownFields);

    // Height in mm an ECG graphic takes; set by the renderer, which knows
    // the study's leads. Null: ECG blocks take no room.
    std::function<double(const TemplateNode &, const FieldScope &, double widthMm)> ecgHeight;
    std::function<double(const TemplateNode &, double widthMm)> averageBeatsHeight;

private:
    struct Flow;
    double measureText(const QString &text, const QFont &font, double widthMm, int flags) const;
    QFont font(const TemplateNode &node, double defaultSize, bool bold = false) const;

    const ReportTemplate &template_;
    const ReportData &data_;
    const QPaintDevice &metrics_;
    QSizeF pageSize_;
    bool landscape_ = false;
    double margin_ = 12.0;
};
