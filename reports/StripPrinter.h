#pragma once
// The portable strip printer: chosen leads of an ECG drawn by the ECG page
// painter at the printer's dot density and sent as ESC/P bit-image graphics
// to a serial port or a file.
//
// The stream: ESC @ (reset), ESC 3 24 (line spacing 24/180 inch), then per
// band of 24 dot rows ESC * 39 nL nH (24-dot triple density, 180 x 180 dots
// per inch) followed by nL + 256 nH columns of three bytes each, the top dot
// in the first byte's most significant bit, then CR LF. The strip is turned
// so that time runs along the paper feed and the leads lie side by side
// across the paper, as on a strip recorder.

#include "ui/DisplayColorScheme.h"
#include "ui/EcgPage.h"
#include "ui/EcgPaperScale.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

class StripPrinter {
public:
    static constexpr int kDotsPerInch = 180;
    static constexpr int kBandDots = 24;
    // Paints lighter than this (0..255 grey) leave the paper blank.
    static constexpr int kInkThreshold = 160;

    // What the printer draws with: white paper, no 1 mm grid, a 5 mm grid
    // dark enough to print, black traces and labels.
    static const DisplayColorScheme &scheme();

    // The strip as the printer puts it on paper: one byte per dot, 0 for a
    // printed dot and 255 for blank paper (Format_Grayscale8), time running
    // down. `leads` hold millivolts from the strip's first sample.
    static QImage render(const std::vector<EcgPageLead> &leads, double rate, double seconds, const EcgPaperScale &scale,
                         const QString &title);

    // The ESC/P stream of a rendered strip (see above).
    static QByteArray encode(const QImage &dots);

    // Writes the stream to a file, whole or not at all. Throws
    // std::runtime_error "Strip could not be written to %1".
    static void writeFile(const QByteArray &stream, const QString &path);
    // Sends the stream to the printer on serial port `portName` (a port name
    // or a device path) at `baudRate`. Throws the serial layer's error when
    // the port cannot be opened, and std::runtime_error "Strip could not be
    // sent to %1" when the printer does not take it all in time.
    static void writeSerial(const QByteArray &stream, const QString &portName, int baudRate = 9600);
};
