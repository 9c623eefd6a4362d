// ECG strips in a report are at true scale, measured on the pixels of the
// PDF page as an independent renderer (pdftoppm) draws it at 254 dpi (10
// pixels per mm): the 1 mV calibration pulse is 100 ± 2 px tall and one
// second at 25 mm/s is 250 ± 2 px.

#include "EcgPixelProbe.h"

#include "acquisition/FileSignal.h"
#include "reports/ReportPdf.h"
#include "reports/StressReportData.h"
#include "store/StudyStore.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace EcgPixelProbe;

namespace {

constexpr int kRate = 500;
constexpr double kPixelsPerMm = 10.0;

// Lead I: 0 mV, then 1 mV from 0.25 s to 0.75 s of every second; the other
// leads flat. Amplitude scale as a 16-bit front end with a ±300 mV range.
void recordSquareWave(Study &study, int seconds) {
    const double unitsPerMv = ((1 << 15) - 2) / 300.0;
    const int n = seconds * kRate;
    std::vector<std::int16_t> leadI(static_cast<std::size_t>(n)), flat(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        const double phase = std::fmod(static_cast<double>(i) / kRate, 1.0);
        leadI[static_cast<std::size_t>(i)] =
            phase >= 0.25 && phase < 0.75 ? static_cast<std::int16_t>(std::lround(unitsPerMv)) : 0;
    }
    std::vector<const std::int16_t *> channels(12, flat.data());
    channels[0] = leadI.data();
    study.recording()->append(n, channels.data());
}

}  // namespace

TEST(ReportEcgScale, EventStripMeasuresTrueOnThePdfPage) {
    QTemporaryDir dir;
    StudyStore store(dir.filePath("store"));
    StudyInfo info;
    info.studyType = "Stress test";
    info.studyDateTime = "20261208093000";
    info.patientLastName = "Scale";
    info.samplingRate = kRate;
    info.channelCount = 12;
    info.channelNames = "I,II,III,aVR,aVL,aVF,V1,V2,V3,V4,V5,V6";
    info.resolution = 16;
    info.gainMax = 300.0;
    Study *study = store.createStudy(info);
    ASSERT_NE(study, nullptr);
    recordSquareWave(*study, 6);
    StudyEvent &event = study->addEvent();
    event.description = "Square wave";
    event.position = 1.0;
    event.duration = 4.0;

    // 6 x 2 over 4 s: lead I shows the first two seconds from the event on.
    const ReportTemplate report = ReportTemplate::parse(
        R"(<report><body><ecg event="last" layout="6by2" seconds="4" filters="none"/></body></report>)");
    const ReportData data = StressReportData::fill(*study, ReportSettings());
    const QString pdf = dir.filePath("strip.pdf");
    ASSERT_EQ(ReportPdf::write(report, data, pdf), 1);
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {"-r", "254", "-png", "-singlefile", pdf, dir.filePath("raster")});
    ASSERT_TRUE(raster.waitForFinished(60000) && raster.exitCode() == 0)
        << "pdftoppm (poppler-utils, installed by scripts/install-deps.sh) could not rasterise the page";
    QImage image(dir.filePath("raster.png"));
    ASSERT_FALSE(image.isNull());
    image = image.convertToFormat(QImage::Format_RGB32);

    const std::vector<Edge> edges = verticalEdges(image, image.rect(), static_cast<int>(8 * kPixelsPerMm));
    std::string found;
    for (const Edge &e : edges) found += " " + std::to_string(e.x) + "(" + std::to_string(e.bottom - e.top) + ")";
    // The pulse's two edges, then lead I's: 0.25 s after the event's start
    // (at 1 s) the wave falls, rises, falls, rises. Strokes under 8 mm (the
    // marks between columns) are not edges of a 1 mV step.
    ASSERT_EQ(edges.size(), 2u + 4u) << found;
    const Edge &pulseUp = edges[0];
    const double pulseLow = levelNear(image, static_cast<int>(pulseUp.x) - 5, pulseUp.top, pulseUp.bottom);
    const double pulseHigh = levelNear(image, static_cast<int>(pulseUp.x) + 5, pulseUp.top, pulseUp.bottom);
    ASSERT_GE(pulseLow, 0.0);
    ASSERT_GE(pulseHigh, 0.0);
    EXPECT_NEAR(pulseLow - pulseHigh, 100.0, 2.0) << "1 mV at 10 mm/mV";
    EXPECT_NEAR(edges[1].x - edges[0].x, 50.0, 2.0) << "the pulse lasts 200 ms";
    for (std::size_t i = 2; i + 2 < edges.size(); ++i)
        EXPECT_NEAR(edges[i + 2].x - edges[i].x, 250.0, 2.0) << "1 s at 25 mm/s," << found;
    EXPECT_NEAR(edges[3].x - edges[2].x, 125.0, 2.0) << "half a second," << found;
    store.closeStudy(study);
}
