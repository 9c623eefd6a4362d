#include "reports/ReportBarcode.h"

#include <QPainter>
#include <memory>
#include <stdexcept>
#include <zint.h>

namespace ReportBarcode {
namespace {

[[noreturn]] void fail(const QString &reason) {
    throw std::runtime_error(QStringLiteral("Barcode could not be made: %1").arg(reason).toStdString());
}

int symbology(const QString &type) {
    if (type == QLatin1String("qr")) return BARCODE_QRCODE;
    if (type == QLatin1String("datamatrix")) return BARCODE_DATAMATRIX;
    if (type == QLatin1String("code128")) return BARCODE_CODE128;
    fail(QStringLiteral("unknown type \"%1\" (qr, datamatrix, code128)").arg(type));
}

struct SymbolDeleter {
    void operator()(zint_symbol *symbol) const { ZBarcode_Delete(symbol); }
};

}  // namespace

Symbol encode(const QString &type, const QString &data) {
    const int kind = symbology(type);
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) fail(QStringLiteral("out of memory"));
    symbol->symbology = kind;
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = 0;
    // Quiet zones as the symbologies ask, so a scanner finds the symbol on
    // a page full of text.
    symbol->output_options |= BARCODE_QUIET_ZONES;
    const QByteArray utf8 = data.toUtf8();
    const int result = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char *>(utf8.constData()), utf8.size(), 0);
    if (result >= ZINT_ERROR || !symbol->vector) fail(QString::fromLatin1(symbol->errtxt));
    Symbol out;
    out.size = QSizeF(symbol->vector->width, symbol->vector->height);
    for (const zint_vector_rect *r = symbol->vector->rectangles; r; r = r->next)
        if (r->colour == -1) out.dark.emplace_back(r->x, r->y, r->width, r->height);
    return out;
}

void paint(QPainter &painter, const QRectF &box, const Symbol &symbol) {
    if (symbol.size.isEmpty() || box.isEmpty()) return;
    const double scale = std::min(box.width() / symbol.size.width(), box.height() / symbol.size.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(box.topLeft());
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), symbol.size), Qt::white);
    for (const QRectF &r : symbol.dark) painter.fillRect(r, Qt::black);
    painter.restore();
}

}  // namespace ReportBarcode
