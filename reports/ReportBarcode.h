#pragma once
// Barcode and QR symbols for reports, encoded by the Zint library and drawn
// as vector rectangles, so a printed symbol stays sharp at any resolution.

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

class QPainter;

namespace ReportBarcode {

struct Symbol {
    QSizeF size;               // the whole symbol, quiet zone included, in Zint's units
    std::vector<QRectF> dark;  // the dark modules and bars, same units
};

// `type` is "qr", "datamatrix" or "code128". Throws std::runtime_error
// "Barcode could not be made: ..." with Zint's reason (data too long, a
// character the symbology cannot carry) or for an unknown type.
Symbol encode(const QString &type, const QString &data);

// The symbol scaled into `box` (device pixels) with its proportions kept,
// black on white.
void paint(QPainter &painter, const QRectF &box, const Symbol &symbol);

}  // namespace ReportBarcode
