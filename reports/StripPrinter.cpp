#include "reports/StripPrinter.h"

#include "acquisition/SerialPort.h"

#include <QCoreApplication>
#include <QPainter>
#include <QSaveFile>
#include <QTransform>
#include <cmath>
#include <stdexcept>

namespace {
constexpr char kEsc = 0x1b;
// A printer's buffer takes a strip slowly; a band must not time out.
constexpr int kSerialWriteTimeoutMs = 30000;
}  // namespace

const DisplayColorScheme &StripPrinter::scheme() {
    static const DisplayColorScheme printing = [] {
        DisplayColorScheme s = DisplayColorScheme::byName(QStringLiteral("Light"));
        s.name = QStringLiteral("Strip");
        s.paper = Qt::white;
        s.minorGrid = Qt::white;
        s.majorGrid = QColor(96, 96, 96);
        s.trace = Qt::black;
        s.reference = QColor(64, 64, 64);
        s.label = Qt::black;
        s.marker = Qt::black;
        return s;
    }();
    return printing;
}

QImage StripPrinter::render(const std::vector<EcgPageLead> &leads, double rate, double seconds,
                            const EcgPaperScale &scale, const QString &title) {
    const double dotsPerMm = kDotsPerInch / 25.4;
    EcgPage page(EcgPage::Layout::TwelveByOne, rate, seconds, scale, scheme());
    page.setTitle(title);
    const QSizeF mm = page.sizeMm(static_cast<int>(leads.size()));
    QImage drawn(static_cast<int>(std::ceil(mm.width() * dotsPerMm)),
                 static_cast<int>(std::ceil(mm.height() * dotsPerMm)), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    drawn.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMm * 1000.0)));
    drawn.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMm * 1000.0)));
    {
        QPainter painter(&drawn);
        // A dot is printed or not: grey edges would come out as ragged dots.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        page.paint(painter, dotsPerMm, leads);
    }
    // Time runs along the paper feed.
    const QImage turned = drawn.transformed(QTransform().rotate(90));
    QImage dots(turned.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < turned.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(turned.constScanLine(y));
        uchar *out = dots.scanLine(y);
        for (int x = 0; x < turned.width(); ++x) out[x] = qGray(in[x]) < kInkThreshold ? 0 : 255;
    }
    return dots;
}

QByteArray StripPrinter::encode(const QImage &dots) {
    const QImage grey = dots.convertToFormat(QImage::Format_Grayscale8);
    const int width = grey.width();
    if (width > 0xffff) throw std::runtime_error("Strip too wide for the printer");
    QByteArray out;
    out.append(kEsc).append('@');
    out.append(kEsc).append('3').append(static_cast<char>(kBandDots));
    for (int top = 0; top < grey.height(); top += kBandDots) {
        out.append(kEsc).append('*').append(static_cast<char>(39));
        out.append(static_cast<char>(width & 0xff)).append(static_cast<char>(width >> 8));
        for (int x = 0; x < width; ++x) {
            for (int byte = 0; byte < 3; ++byte) {
                unsigned char bits = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int y = top + byte * 8 + bit;
                    if (y < grey.height() && grey.constScanLine(y)[x] < 128) bits |= 0x80u >> bit;
                }
                out.append(static_cast<char>(bits));
            }
        }
        out.append('\r').append('\n');
    }
    return out;
}

void StripPrinter::writeFile(const QByteArray &stream, const QString &path) {
    QSaveFile file(path);
    const QString failure = QCoreApplication::translate("StripPrinter", "Strip could not be written to %1").arg(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(stream) != stream.size() || !file.commit())
        throw std::runtime_error(failure.toStdString());
}

void StripPrinter::writeSerial(const QByteArray &stream, const QString &portName, int baudRate) {
    SerialProfile profile;
    profile.baudRate = baudRate;
    profile.outputQueueBytes = 4096;
    profile.writeTimeoutMs = kSerialWriteTimeoutMs;
    SerialPort port;
    port.open(portName, profile);
    if (!port.write(stream))
        throw std::runtime_error(
            QCoreApplication::translate("StripPrinter", "Strip could not be sent to %1").arg(portName).toStdString());
    port.close();
}
