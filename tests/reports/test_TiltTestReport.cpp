// The tilt-test report of a study of the three leads a tilt test records:
// chosen from the study's protocol, its events' strips at true scale (one
// calibration pulse per lead, 1 mV = 100 px at 254 dpi), the events and
// pressures on the pages.

#include "EcgPixelProbe.h"

#include "acquisition/FileSignal.h"
#include "reports/ReportKind.h"
#include "reports/ReportPdf.h"
#include "store/Protocol.h"
#include "store/StudyStore.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace EcgPixelProbe;

namespace {

constexpr int kRate = 500;
constexpr int kSeconds = 40;

// Lead II a 1 mV spike of 40 ms, as narrow as a QRS, at the start of every
// second; V2 and V5 flat. The report's filters keep such a spike's place.
void record(Study &study) {
    const double unitsPerMv = ((1 << 15) - 2) / 300.0;
    const int n = kSeconds * kRate;
    std::vector<std::int16_t> leadII(static_cast<std::size_t>(n)), flat(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        const int inSecond = i % kRate, half = kRate / 50;  // 20 ms up, 20 ms down
        const double mv = inSecond < 2 * half ? 1.0 - std::abs(inSecond - half) / static_cast<double>(half) : 0.0;
        leadII[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(mv * unitsPerMv));
    }
    const std::int16_t *channels[] = {leadII.data(), flat.data(), flat.data()};
    study.recording()->append(n, channels);
}

}  // namespace

TEST(TiltTestReport, TrendsEventsAndTheirThreeLeadStrips) {
    QTemporaryDir dir;
    StudyStore store(dir.filePath("store"));
    StudyInfo info;
    info.studyType = "stress";
    info.protocolName = "Tilt test";
    info.studyDateTime = "20261208110000";
    info.patientLastName = "Roe";
    info.patientFirstName = "Ann";
    info.samplingRate = kRate;
    info.channelCount = 3;
    info.channelNames = "II,V2,V5";
    info.resolution = 16;
    info.gainMax = 300.0;
    Study *study = store.createStudy(info);
    ASSERT_NE(study, nullptr);
    record(*study);
    auto tilt = std::make_unique<Protocol>();
    tilt->name = "Tilt test";
    tilt->type = ProtocolType::TiltTest;
    Stage basal, control;
    basal.duration = 15;
    control.phase = StagePhase::Recovery;
    control.duration = 25;
    tilt->appendStage(basal);
    tilt->appendStage(control);
    study->setProtocol(std::move(tilt));
    for (int t = 0; t <= kSeconds; t += 5) study->results().appendPoint(Result::BpmTrend, t, 70 + t);
    study->results().appendPoint(Result::SysBpTrend, 10, 124);
    study->results().appendPoint(Result::SysBpTrend, 30, 92);
    study->results().setScalar(Result::MaxBpm, 110);
    const char *const symptoms = "Dizziness and blurred vision, pressure falling; the table was returned to the "
                                 "horizontal position and the symptoms resolved within a minute";
    const std::pair<const char *, double> events[] = {{"Basal", 4.0}, {"Control 1 min.", 25.0}, {symptoms, 28.0}};
    for (const auto &[description, position] : events) {
        StudyEvent &event = study->addEvent();
        event.description = description;
        event.position = position;
        event.duration = 11;
    }

    ASSERT_EQ(ReportKind::of(*study), ReportKind::Kind::TiltTest);
    const ReportTemplate report =
        ReportTemplate::load(ReportKind::templateFor(ReportKind::Kind::TiltTest, QStringLiteral("4by3")));
    const ReportData data = ReportKind::fill(ReportKind::Kind::TiltTest, *study, ReportSettings());
    const QString pdf = dir.filePath("tilt.pdf");
    QStringList unknown;
    const int pages = ReportPdf::write(report, data, pdf, &unknown);
    EXPECT_TRUE(unknown.isEmpty()) << unknown.join(' ').toStdString();
    ASSERT_EQ(pages, 4) << "the summary, then a page per event";

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(60000) && text.exitCode() == 0);
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *expected : {"Tilt-table test", "Roe, Ann", "Maximum HR", "110 bpm", "Event at 0:04: Basal",
                                 "Event at 0:25: Control 1 min."})
        EXPECT_TRUE(words.contains(QString::fromUtf8(expected))) << expected;
    // Over a strip a long event text gives way: speed, gain and filters
    // stay on the paper.
    bool shortened = false;
    for (const QString &line : words.split('\n'))
        if (line.contains(QStringLiteral("Dizziness")) && line.contains(QStringLiteral("…")))
            shortened =
                line.contains(QStringLiteral("Filters: ")) && line.trimmed().endsWith(QStringLiteral("10 mm/mV"));
    EXPECT_TRUE(shortened) << words.toStdString();

    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {"-r", "254", "-png", pdf, dir.filePath("page")});
    ASSERT_TRUE(raster.waitForFinished(120000) && raster.exitCode() == 0);
    const QStringList images = QDir(dir.path()).entryList({"page-*.png"}, QDir::Files, QDir::Name);
    ASSERT_EQ(images.size(), 4);
    // Landscape, margin 8 mm: the pulse rises 16 mm from the page's left.
    constexpr double kRise = 160.0, kFall = 210.0;
    for (int p = 1; p < 4; ++p) {
        SCOPED_TRACE(images[p].toStdString());
        const QImage image = QImage(dir.filePath(images[p])).convertToFormat(QImage::Format_RGB32);
        const std::vector<Pulse> found =
            pulses(image, static_cast<int>(kRise - 20), static_cast<int>(kFall + 5),
                   static_cast<int>(0.5 * (kRise + kFall)), static_cast<int>(kRise - 5), 100.0);
        ASSERT_EQ(found.size(), 3u) << "II, V2 and V5";
        for (const Pulse &pulse : found) {
            EXPECT_NEAR(pulse.height(), 100.0, 2.0);
            EXPECT_NEAR(pulse.width(), 50.0, 2.0);
        }
        // Lead II's spikes one second (250 px) apart, the first at the
        // event's start rounded up to the next whole second.
        const Pulse &leadII = found[0];
        const std::vector<double> peaks = upwardPeaks(image, 320, 2720, static_cast<int>(leadII.base - 140),
                                                      static_cast<int>(leadII.base + 90), leadII.base, 0.5);
        ASSERT_GE(peaks.size(), 9u);
        for (std::size_t i = 0; i + 1 < peaks.size(); ++i) EXPECT_NEAR(peaks[i + 1] - peaks[i], 250.0, 2.0);
    }
    store.closeStudy(study);
}
