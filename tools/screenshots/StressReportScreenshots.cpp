#include "tools/screenshots/StressReportScreenshots.h"

#include "reports/ReportPdf.h"
#include "reports/ReportTemplate.h"
#include "reports/StressReportData.h"
#include "tools/screenshots/DemoSession.h"
#include "tools/screenshots/ReviewScreenshots.h"

#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>

namespace {

constexpr int kDotsPerInch = 100;
constexpr int kPages = 3;

// The report, written once for every page.
struct DemoStressReport {
    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("report.pdf"));

    DemoStressReport() {
        DemoSession session(QStringLiteral(TARVELIN_DEMO_RECORDING));
        recordDemoStressTest(session);
        ReportSettings settings;
        settings.headerTitle = QString::fromUtf8(sample("Cardiology Unit North", "Unidad de Cardiología Norte"));
        settings.headerInfo = QString::fromUtf8(sample("1 Harbour Road, Northtown", "Av. del Puerto 1, Villanorte"));
        settings.signatureName = QStringLiteral("Dr. A. Signer");
        ReportPdf::write(ReportTemplate::load(QStringLiteral(":/res/stressreport1.xml")),
                         StressReportData::fill(session.study(), settings), pdf);
    }
};

QImage page(int number) {
    static DemoStressReport report;
    QTemporaryDir dir;
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {"-r", QString::number(kDotsPerInch), "-png", "-singlefile", "-f", QString::number(number), "-l",
                  QString::number(number), report.pdf, dir.filePath(QStringLiteral("page"))});
    if (!raster.waitForFinished(120000) || raster.exitCode() != 0)
        throw std::runtime_error("pdftoppm (poppler-utils) could not rasterise the report");
    return QImage(dir.filePath(QStringLiteral("page.png")));
}

}  // namespace

void addStressReportScreenshots(ScreenshotList &list) {
    for (int number = 1; number <= kPages; ++number)
        list.push_back({QStringLiteral("stress-report-page-%1").arg(number), [number] { return page(number); }});
}
