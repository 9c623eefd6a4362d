// The resting ECG reports of a LUDB record: at true scale in every layout,
// measured on the pixels of the PDF pages as an independent renderer
// (pdftoppm) draws them at 254 dpi (10 px per mm); the measurement block
// showing what the study stores; every page carrying header, patient name,
// study date and page number, read back with pdftotext.

#include "EcgPixelProbe.h"
#include "LudbRestingStudy.h"

#include "reports/ReportKind.h"
#include "reports/ReportPdf.h"
#include "reports/RestingReportData.h"
#include "store/Study.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>

using namespace EcgPixelProbe;

namespace {

constexpr double kPxPerMm = 10.0;
constexpr double kMarginMm = 8.0;  // the resting templates' page margin
constexpr double kRate = 500.0;

struct PageShape {
    int pulses;     // calibration pulses, one per row of ECG
    int leadIIRow;  // the row that shows lead II across the whole 10 s; -1 none
};

struct LayoutCase {
    const char *templateName;
    const char *layout;
    std::vector<PageShape> pages;
};

const LayoutCase kLayouts[] = {
    {"ecgreport1", "12by1", {{1, 0}, {6, 1}, {6, -1}}}, {"ecgreport2", "6by2", {{1, 0}, {6, -1}}},
    {"ecgreport3", "4by3", {{1, 0}, {4, 3}}},           {"ecgReportTracesOnly", "4by3", {{4, 3}}},
    {"ecgReportTracesOnly", "6by2", {{6, -1}, {1, 0}}}, {"ecgReportTracesOnly", "12by1", {{6, 1}, {6, -1}, {1, 0}}},
};

ReportSettings settings(const char *layout) {
    ReportSettings s;
    s.headerTitle = QStringLiteral("Cardiology Unit North");
    s.signatureName = QStringLiteral("Dr. A. Signer");
    s.traceLayout = QLatin1String(layout);
    s.rhythmLead = QStringLiteral("II");
    return s;
}

int writeReport(const Study &study, const char *templateName, const char *layout, const QString &pdf) {
    const ReportTemplate report = ReportTemplate::load(QStringLiteral(":/res/%1.xml").arg(templateName));
    QStringList unknown;
    const int pages = ReportPdf::write(report, RestingReportData::fill(study, settings(layout)), pdf, &unknown);
    EXPECT_TRUE(unknown.isEmpty()) << unknown.join(' ').toStdString();
    return pages;
}

std::vector<QImage> rasterise(const QString &pdf, const QString &folder) {
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"), {"-r", "254", "-png", pdf, QDir(folder).filePath("page")});
    if (!tool.waitForFinished(120000) || tool.exitCode() != 0) return {};
    std::vector<QImage> pages;
    for (const QString &name : QDir(folder).entryList({"page-*.png"}, QDir::Files, QDir::Name))
        pages.push_back(QImage(QDir(folder).filePath(name)).convertToFormat(QImage::Format_RGB32));
    return pages;
}

QString pageText(const QString &pdf, int page) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"),
               {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

}  // namespace

TEST(RestingReport, EveryLayoutIsAtTrueScaleOnThePdfPage) {
    LudbRestingStudy ludb;
    SKIP_WITHOUT_LUDB(ludb);
    // The calibration pulse starts 8 mm from the ECG's left edge (at the
    // page margin): 1 mm of baseline, the rise, 200 ms of top, the fall.
    const double rise = (kMarginMm + 8.0) * kPxPerMm, fall = rise + 50.0;
    const double traceStart = (kMarginMm + 15.0) * kPxPerMm;
    for (const LayoutCase &c : kLayouts) {
        SCOPED_TRACE(std::string(c.templateName) + " " + c.layout);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("report.pdf");
        ASSERT_EQ(writeReport(*ludb.study, c.templateName, c.layout, pdf), static_cast<int>(c.pages.size()));
        const std::vector<QImage> images = rasterise(pdf, dir.path());
        ASSERT_EQ(images.size(), c.pages.size()) << "pdftoppm (poppler-utils) could not rasterise the report";
        for (std::size_t p = 0; p < images.size(); ++p) {
            SCOPED_TRACE("page " + std::to_string(p + 1));
            const QImage &image = images[p];
            ASSERT_NEAR(image.width(), 2970, 1) << "a landscape A4 page";
            ASSERT_NEAR(image.height(), 2100, 1);
            const std::vector<Pulse> found =
                pulses(image, static_cast<int>(rise - 20), static_cast<int>(fall + 5),
                       static_cast<int>(0.5 * (rise + fall)), static_cast<int>(rise - 5), 100.0);
            ASSERT_EQ(static_cast<int>(found.size()), c.pages[p].pulses);
            for (const Pulse &pulse : found) {
                EXPECT_NEAR(pulse.height(), 100.0, 2.0) << "1 mV at 10 mm/mV, at y " << pulse.top;
                EXPECT_NEAR(pulse.width(), 50.0, 2.0) << "200 ms at 25 mm/s";
                EXPECT_NEAR(pulse.rise, rise, 3.0);
            }
            const int row = c.pages[p].leadIIRow;
            if (row < 0) continue;
            // Lead II's R peaks where the cardiologists marked them: one
            // second of the record is 250 px on the page. The lead's label
            // stands over the strip's first 8 mm.
            const Pulse &strip = found[static_cast<std::size_t>(row)];
            const std::vector<double> peaks =
                upwardPeaks(image, static_cast<int>(traceStart) + 80, static_cast<int>(traceStart + 2495),
                            static_cast<int>(strip.base - 140), static_cast<int>(strip.base + 90), strip.base, 0.5);
            std::vector<std::int64_t> marked;
            for (std::int64_t s : ludb.leadIIPeaks)
                if (s > 5 && s < 10 * kRate - 5) marked.push_back(s);
            ASSERT_GE(marked.size(), 5u);
            std::string positions;
            for (double x : peaks) positions += " " + std::to_string(static_cast<int>(x));
            // The annotations leave the first and last beats unmarked; each
            // marked peak must have a drawn peak within 2 px of its place.
            for (std::int64_t s : marked) {
                const double expected = traceStart + s / kRate * 250.0;
                double nearest = 1e9;
                for (double x : peaks) nearest = std::abs(x - expected) < std::abs(nearest) ? x - expected : nearest;
                EXPECT_NEAR(nearest, 0.0, 2.0) << "R peak of sample " << s << "; drawn at" << positions;
            }
        }
    }
}

TEST(RestingReport, EveryPageCarriesHeaderNameDateAndNumber) {
    LudbRestingStudy ludb;
    SKIP_WITHOUT_LUDB(ludb);
    for (const LayoutCase &c : kLayouts) {
        SCOPED_TRACE(std::string(c.templateName) + " " + c.layout);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("report.pdf");
        const int count = writeReport(*ludb.study, c.templateName, c.layout, pdf);
        // The reading physician signs the measurement page; the traces alone
        // carry no reading to sign.
        EXPECT_EQ(pageText(pdf, 1).contains("Dr. A. Signer"), qstrcmp(c.templateName, "ecgReportTracesOnly") != 0);
        for (int page = 1; page <= count; ++page) {
            const QString text = pageText(pdf, page);
            EXPECT_TRUE(text.contains("Cardiology Unit North")) << page;
            EXPECT_TRUE(text.contains("Doe, Jane")) << page;
            EXPECT_TRUE(text.contains("2026-12-08 09:30")) << page;
            EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(count))) << page;
            EXPECT_TRUE(text.contains("25 mm/s") && text.contains("10 mm/mV") && text.contains("Filters: "))
                << "every ECG states its speed, gain and filters; page " << page;
        }
    }
}

TEST(RestingReport, MeasurementBlockPrintsTheStoredMeasurement) {
    LudbRestingStudy ludb;
    SKIP_WITHOUT_LUDB(ludb);
    const StudyResults &r = ludb.study->results();
    ASSERT_GT(r.scalar(Result::GlobalQrsDuration), 0.0) << "the study keeps its global measurement";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    writeReport(*ludb.study, "ecgreport2", "6by2", pdf);
    const QString text = pageText(pdf, 1);
    const auto ms = [&](Result name) { return QString::number(std::lround(1000.0 * r.scalar(name))); };
    const auto whole = [&](Result name) { return QString::number(std::lround(r.scalar(name))); };
    const std::pair<const char *, QString> printed[] = {
        {"Heart rate\\s+(\\S+) bpm", whole(Result::GlobalHeartRate)},
        {"PR\\s+(\\S+) ms", ms(Result::GlobalPr)},
        {"\\bP\\s+(\\S+) ms", ms(Result::GlobalPDuration)},
        {"QRS\\s+(\\S+) ms", ms(Result::GlobalQrsDuration)},
        {"QT\\s+(\\S+) ms", ms(Result::GlobalQt)},
        {"QTc \\(Bazett\\)\\s+(\\S+) ms", ms(Result::GlobalQtcBazett)},
        {"QTc \\(Fridericia\\)\\s+(\\S+) ms", ms(Result::GlobalQtcFridericia)},
        {"QRS axis\\s+(\\S+)°", whole(Result::GlobalQrsAxis)},
        {"T axis\\s+(\\S+)°", whole(Result::GlobalTAxis)},
    };
    EXPECT_FALSE(text.contains("-0.0 mm")) << "a level that rounds to zero has no sign";
    for (const auto &[pattern, value] : printed) {
        const QRegularExpressionMatch m = QRegularExpression(QString::fromUtf8(pattern)).match(text);
        ASSERT_TRUE(m.hasMatch()) << pattern << "\n" << text.toStdString();
        EXPECT_EQ(m.captured(1), value) << pattern;
    }
}
