// The strip printer's ESC/P stream, decoded here by a reader written from
// the command descriptions alone, gives back exactly the strip the ECG page
// painter drew at the printer's density, at true scale.

#include "acquisition/LinkTestSupport.h"
#include "reports/StripPrinter.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int kRate = 500;

// A 1 mV square wave, high for the second half of every second.
std::vector<EcgPageLead> squareLeads(const QStringList &names, double seconds) {
    std::vector<EcgPageLead> leads;
    for (const QString &name : names) {
        EcgPageLead lead;
        lead.name = name;
        for (int i = 0; i < static_cast<int>(seconds * kRate); ++i)
            lead.millivolts.push_back(std::fmod(static_cast<double>(i) / kRate, 1.0) >= 0.5 ? 1.0 : 0.0);
        leads.push_back(std::move(lead));
    }
    return leads;
}

// Reads ESC @, ESC 3 n, ESC * 39 nL nH data and CR LF; anything else fails.
// Bands are stacked at the line spacing in force (n/180 inch = n dots).
bool decode(const QByteArray &stream, QImage *image, std::string *why) {
    std::vector<std::vector<bool>> rows;
    int spacing = 30, top = 0, width = -1, i = 0;
    const auto byte = [&stream](int at) { return static_cast<unsigned char>(stream[at]); };
    while (i < stream.size()) {
        if (byte(i) == 0x1b && i + 1 < stream.size() && byte(i + 1) == '@') {
            i += 2;
        } else if (byte(i) == 0x1b && i + 2 < stream.size() && byte(i + 1) == '3') {
            spacing = byte(i + 2);
            i += 3;
        } else if (byte(i) == 0x1b && i + 4 < stream.size() && byte(i + 1) == '*') {
            if (byte(i + 2) != 39) return *why = "unexpected bit-image mode", false;
            const int columns = byte(i + 3) + 256 * byte(i + 4);
            i += 5;
            if (i + 3 * columns > stream.size()) return *why = "band cut short", false;
            if (width >= 0 && width != columns) return *why = "bands of different widths", false;
            width = columns;
            if (static_cast<int>(rows.size()) < top + 24) rows.resize(static_cast<std::size_t>(top + 24));
            for (int x = 0; x < columns; ++x)
                for (int b = 0; b < 24; ++b) {
                    auto &row = rows[static_cast<std::size_t>(top + b)];
                    row.resize(static_cast<std::size_t>(columns));
                    row[static_cast<std::size_t>(x)] = byte(i + 3 * x + b / 8) & (0x80 >> (b % 8));
                }
            i += 3 * columns;
        } else if (byte(i) == '\r') {
            ++i;
        } else if (byte(i) == '\n') {
            top += spacing;
            ++i;
        } else {
            return *why = "unknown byte " + std::to_string(byte(i)) + " at " + std::to_string(i), false;
        }
    }
    *image = QImage(width, static_cast<int>(rows.size()), QImage::Format_Grayscale8);
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < width; ++x) image->scanLine(y)[x] = rows[static_cast<std::size_t>(y)][x] ? 0 : 255;
    return true;
}

// Rows of the decoded strip whose longest run of dots is `dots` ± 3 long:
// the square wave's jumps (and the calibration pulse's), across the paper.
std::vector<int> jumpRows(const QImage &image, double dots) {
    std::vector<int> found;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0, longest = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = image.constScanLine(y)[x] == 0 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (std::abs(longest - dots) <= 3 && (found.empty() || found.back() < y - 2)) found.push_back(y);
    }
    return found;
}

}  // namespace

TEST(StripPrinter, DecodedStreamEqualsTheStripAtTrueScale) {
    const double dotsPerMm = StripPrinter::kDotsPerInch / 25.4;
    struct Case {
        QStringList leads;
        double speed, gain, seconds;
    } cases[] = {
        {{"II", "V5"}, 25, 10, 4},
        {{"V1"}, 50, 10, 3},
        {{"I", "II", "III"}, 25, 5, 5},
        {{"II"}, 25, 20, 2.5},  // a strip ending inside a band
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.leads.join(",").toStdString() + " " + std::to_string(c.speed) + " mm/s " +
                     std::to_string(c.gain) + " mm/mV");
        EcgPaperScale scale;
        scale.mmPerSecond = c.speed;
        scale.mmPerMillivolt = c.gain;
        const std::vector<EcgPageLead> leads = squareLeads(c.leads, c.seconds);
        const QImage strip = StripPrinter::render(leads, kRate, c.seconds, scale, "Strip");
        const EcgPage page(EcgPage::Layout::TwelveByOne, kRate, c.seconds, scale, StripPrinter::scheme());
        const QSizeF mm = page.sizeMm(static_cast<int>(leads.size()));
        // Time runs along the paper: the page's width is the strip's length.
        EXPECT_NEAR(strip.height(), mm.width() * dotsPerMm, 1.0);
        EXPECT_NEAR(strip.width(), mm.height() * dotsPerMm, 1.0);

        const QByteArray stream = StripPrinter::encode(strip);
        ASSERT_TRUE(stream.startsWith(QByteArray("\x1b@\x1b\x33\x18", 5)));
        const int bands = (strip.height() + 23) / 24;
        EXPECT_EQ(stream.size(), 5 + bands * (5 + 3 * strip.width() + 2));
        QImage decoded;
        std::string why;
        ASSERT_TRUE(decode(stream, &decoded, &why)) << why;
        ASSERT_EQ(decoded.width(), strip.width());
        ASSERT_GE(decoded.height(), strip.height());
        ASSERT_LT(decoded.height() - strip.height(), 24);
        EXPECT_TRUE(decoded.copy(0, 0, strip.width(), strip.height()) == strip);
        for (int y = strip.height(); y < decoded.height(); ++y)
            for (int x = 0; x < decoded.width(); ++x) ASSERT_EQ(decoded.scanLine(y)[x], 255) << "padding printed";
    }
}

TEST(StripPrinter, PrintedWaveIsAtTrueScale) {
    const double dotsPerMm = StripPrinter::kDotsPerInch / 25.4;
    for (double gain : {5.0, 10.0, 20.0}) {
        SCOPED_TRACE(gain);
        EcgPaperScale scale;
        scale.mmPerSecond = 25;
        scale.mmPerMillivolt = gain;
        QImage decoded;
        std::string why;
        ASSERT_TRUE(decode(StripPrinter::encode(StripPrinter::render(squareLeads({"II"}, 4), kRate, 4, scale, "")),
                           &decoded, &why))
            << why;
        // 1 mV is `gain` mm across the paper. The jumps at whole seconds lie
        // on the 5 mm grid lines (the trace starts on one), so the ones seen
        // are those half a second later, 25 mm apart along the paper.
        std::vector<int> jumps;
        for (int y : jumpRows(decoded, gain * dotsPerMm))
            if (y > (EcgPage::kLeftMarginMm + 1.0) * dotsPerMm) jumps.push_back(y);
        ASSERT_EQ(jumps.size(), 4u);
        for (std::size_t k = 0; k < jumps.size(); ++k)
            EXPECT_NEAR(jumps[k], (EcgPage::kLeftMarginMm + 25.0 * (k + 0.5)) * dotsPerMm, 2.0) << k;
    }
}

TEST(StripPrinter, FileIsWrittenWholeOrNotAtAll) {
    QTemporaryDir dir;
    const QByteArray stream = StripPrinter::encode(QImage(10, 30, QImage::Format_Grayscale8));
    StripPrinter::writeFile(stream, dir.filePath("strip.prn"));
    QFile written(dir.filePath("strip.prn"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), stream);
    try {
        StripPrinter::writeFile(stream, dir.filePath("missing/strip.prn"));
        FAIL() << "no error for a missing folder";
    } catch (const std::runtime_error &error) {
        EXPECT_EQ(std::string(error.what()),
                  "Strip could not be written to " + dir.filePath("missing/strip.prn").toStdString());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/strip.prn")));
}

TEST(StripPrinter, SerialPortReceivesTheStreamByteForByte) {
    PtyDeviceEnd printer;
    if (!printer.ok()) GTEST_SKIP() << "no pseudo-terminal available";
    EcgPaperScale scale;
    const QByteArray stream =
        StripPrinter::encode(StripPrinter::render(squareLeads({"II"}, 2), kRate, 2, scale, "Serial"));
    // More than a terminal buffers: the printer end reads while it is sent.
    ASSERT_GT(stream.size(), 16384);
    std::string failure;
    std::thread sender([&] {
        try {
            StripPrinter::writeSerial(stream, printer.slavePath(), 115200);
        } catch (const std::exception &error) {
            failure = error.what();
        }
    });
    const QByteArray received = printer.readSent(stream.size(), 30000);
    sender.join();
    EXPECT_EQ(failure, "");
    // Raw bytes: no CR added before the LF that ends every band.
    EXPECT_EQ(received.size(), stream.size());
    EXPECT_TRUE(received == stream);
}
