// `render` draws at true scale, measured on the pixels of its output and
// never read back from the drawing code: a 1 mV square wave at 1 Hz in lead
// I must step by 10 mm and repeat every 25 mm at 25 mm/s and 10 mm/mV, on
// a grid of 1 mm squares, whether written as a PDF page (rasterised here by
// an independent renderer) or as a PNG at a chosen resolution.

#include "CliTestSupport.h"
#include "EcgPixelProbe.h"

#include "tools/cli/RenderOptions.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using CliTest::runTool;
using namespace EcgPixelProbe;

namespace {

constexpr int kRate = 500;
constexpr int kChannels = 14;
constexpr double kMillivoltsPerUnit = 600.0 / 65536.0;  // the default +-300 mV range

// Four seconds; lead I is 0 mV, then 1 mV from 0.25 s to 0.75 s of every
// second, so its rising edges lie 1 s apart; every other lead is flat.
QString writeSquareWave(const QString &folder) {
    QByteArray bytes(4 * kRate * kChannels * 2, '\0');
    const auto high = static_cast<qint16>(std::lround(1.0 / kMillivoltsPerUnit));
    for (int i = 0; i < 4 * kRate; ++i) {
        const double phase = std::fmod(static_cast<double>(i) / kRate, 1.0);
        qToLittleEndian<qint16>(phase >= 0.25 && phase < 0.75 ? high : qint16(0), bytes.data() + i * kChannels * 2);
    }
    CliTest::writeFile(folder, QStringLiteral("square.dat"), bytes);
    return QDir(folder).filePath(QStringLiteral("square.dat"));
}

struct ScaleCase {
    const char *label;
    const char *extension;
    const char *dpi;     // --dpi for a PNG, or the rasterising resolution of a PDF
    double pixelsPerMm;  // what that resolution must give
};

void PrintTo(const ScaleCase &c, std::ostream *os) { *os << c.label; }

class RenderScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(RenderScale, SquareWaveAndGridMeasureTrueOnThePixels) {
    const ScaleCase c = GetParam();
    QTemporaryDir dir;
    const QString input = writeSquareWave(dir.path());
    const QString out = dir.filePath(QStringLiteral("page.") + QLatin1String(c.extension));
    QStringList arguments = {"render", "--raw",    input,       "--rate",    "500",     "--channels", "14",
                             "--out",  out,        "--filters", "none",      "--speed", "25",         "--gain",
                             "10",     "--scheme", "Light",     "--seconds", "4"};
    const bool pdf = QLatin1String(c.extension) == QLatin1String("pdf");
    if (!pdf) arguments << "--dpi" << c.dpi;
    const CliTest::ToolRun run = runTool(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();

    QString imagePath = out;
    if (pdf) {
        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"), {"-r", c.dpi, "-png", "-singlefile", out, dir.filePath("raster")});
        ASSERT_TRUE(raster.waitForFinished(60000) && raster.exitCode() == 0)
            << "pdftoppm (poppler-utils, installed by scripts/install-deps.sh) could not rasterise the page";
        imagePath = dir.filePath(QStringLiteral("raster.png"));
    }
    QImage image(imagePath);
    ASSERT_FALSE(image.isNull());
    image = image.convertToFormat(QImage::Format_RGB32);
    const double mm = c.pixelsPerMm;

    // Long vertical strokes: the calibration pulses (all rows share their
    // columns) and lead I's edges, the only leads that move.
    const std::vector<Edge> edges = verticalEdges(image, image.rect(), static_cast<int>(6 * mm));
    std::string found;
    for (const Edge &e : edges)
        found += " " + std::to_string(e.x) + "(" + std::to_string(e.top) + "-" + std::to_string(e.bottom) + ")";
    ASSERT_EQ(edges.size(), 2u + 8u) << "the pulse's two edges and lead I's eight:" << found;

    std::vector<double> rising;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const Edge &e = edges[i];
        const int off = static_cast<int>(std::lround(0.5 * mm));
        const double before = levelNear(image, static_cast<int>(e.x) - off, e.top, e.bottom);
        const double after = levelNear(image, static_cast<int>(e.x) + off, e.top, e.bottom);
        ASSERT_GE(before, 0.0) << "edge " << i;
        ASSERT_GE(after, 0.0) << "edge " << i;
        // 1 mV at 10 mm/mV: 10 mm between the levels either side of each edge.
        EXPECT_NEAR(std::abs(after - before), 10 * mm, 0.2 * mm) << "edge " << i << " at x " << e.x;
        if (i >= 2 && after < before) rising.push_back(e.x);
    }
    ASSERT_EQ(rising.size(), 4u);
    // 1 s at 25 mm/s.
    for (std::size_t i = 1; i < rising.size(); ++i) EXPECT_NEAR(rising[i] - rising[i - 1], 25 * mm, 0.2 * mm);
    // The calibration pulse lasts 200 ms: 5 mm.
    EXPECT_NEAR(edges[1].x - edges[0].x, 5 * mm, 0.2 * mm);

    // Grid: across the page along a pixel row, and down a column between
    // the last two flat traces.
    std::vector<PixelRun> baselines =
        runs(image, true, image.width() - static_cast<int>(10 * mm), 0, image.height() - 1, isDark);
    ASSERT_GE(baselines.size(), 2u);
    // Below the lead names, above the flat trace, right of the pulses.
    const int blankRow = static_cast<int>(baselines.back().centre() - 4.5 * mm);
    for (const auto &spacings :
         {gridSpacings(image, true, blankRow, static_cast<int>(edges[1].x + mm), image.width() - 3),
          gridSpacings(image, false, static_cast<int>(edges.back().x + 3 * mm),
                       baselines[baselines.size() - 2].last + 2, baselines.back().first - 2)}) {
        ASSERT_GE(spacings.size(), 20u);
        for (double s : spacings) EXPECT_NEAR(s, mm, 0.15 * mm);
    }
}

INSTANTIATE_TEST_SUITE_P(Outputs, RenderScale,
                         ::testing::Values(ScaleCase{"PdfAt254Dpi", "pdf", "254", 10.0},
                                           ScaleCase{"PngAt254Dpi", "png", "254", 10.0},
                                           ScaleCase{"PngAt127Dpi", "png", "127", 5.0}),
                         [](const ::testing::TestParamInfo<ScaleCase> &info) { return info.param.label; });

struct BadRender {
    const char *label;
    QStringList arguments;
    const char *message;
};

class RenderOptionsRefused : public ::testing::TestWithParam<BadRender> {};

TEST_P(RenderOptionsRefused, WithAMessage) {
    const RenderOptions options = RenderOptions::parse(GetParam().arguments);
    EXPECT_TRUE(options.error.contains(QLatin1String(GetParam().message))) << options.error.toStdString();
}

const QStringList kInput = {"--raw", "r.dat", "--rate", "500", "--channels", "14"};

INSTANTIATE_TEST_SUITE_P(
    Render, RenderOptionsRefused,
    ::testing::Values(
        BadRender{"NoOut", kInput, "--out"},
        BadRender{"OtherExtension", kInput + QStringList{"--out", "p.jpg"}, ".png or .pdf"},
        BadRender{"NoInput", {"--out", "p.png"}, "no input"},
        BadRender{"Speed", kInput + QStringList{"--out", "p.png", "--speed", "30"}, "12.5, 25 or 50"},
        BadRender{"Gain", kInput + QStringList{"--out", "p.png", "--gain", "15"}, "5, 10 or 20"},
        BadRender{"Layout", kInput + QStringList{"--out", "p.png", "--layout", "3x4"}, "12x1"},
        BadRender{"Filters", kInput + QStringList{"--out", "p.png", "--filters", "notch,hum"}, "--filters"},
        BadRender{"Scheme", kInput + QStringList{"--out", "p.png", "--scheme", "light"}, "Light"},
        BadRender{"DpiOnPdf", kInput + QStringList{"--out", "p.pdf", "--dpi", "300"}, "true scale"},
        BadRender{"Twice", kInput + QStringList{"--out", "p.png", "--from", "1", "--from", "2"}, "twice"}),
    [](const ::testing::TestParamInfo<BadRender> &info) { return info.param.label; });

TEST(RenderOptions, FiltersChooseTheReviewSwitches) {
    const RenderOptions some =
        RenderOptions::parse(kInput + QStringList{"--out", "p.pdf", "--filters", "muscle,notch"});
    ASSERT_TRUE(some.error.isEmpty()) << some.error.toStdString();
    EXPECT_TRUE(some.filtered && some.notch && some.muscle && !some.baseline);
    const RenderOptions none = RenderOptions::parse(kInput + QStringList{"--out", "p.pdf", "--filters", "none"});
    EXPECT_FALSE(none.filtered);
    EXPECT_EQ(none.format, RenderOptions::Format::Pdf);
}

TEST(RenderCommand, NothingToDrawPastTheEndIsAnInputError) {
    QTemporaryDir dir;
    const QString input = writeSquareWave(dir.path());
    const CliTest::ToolRun run = runTool(
        {"render", "--raw", input, "--rate", "500", "--channels", "14", "--out", dir.filePath("p.png"), "--from", "5"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.standardError.contains(QLatin1String("holds only"))) << run.standardError.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("p.png")));
}

}  // namespace

namespace {

TEST(RenderCommand, RefusesToDrawOverItsInput) {
    QTemporaryDir dir;
    const QString input = writeSquareWave(dir.path());
    QFile::rename(input, dir.filePath("square.png"));
    const QString renamed = dir.filePath("square.png");
    const qint64 size = QFileInfo(renamed).size();
    const CliTest::ToolRun run = runTool(
        {"render", "--raw", renamed, "--rate", "500", "--channels", "14", "--out", dir.path() + "/./square.png"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.standardError.contains(QLatin1String("input"))) << run.standardError.toStdString();
    EXPECT_EQ(QFileInfo(renamed).size(), size);
}

}  // namespace
