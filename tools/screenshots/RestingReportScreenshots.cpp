#include "tools/screenshots/RestingReportScreenshots.h"

#include "reports/ReportPdf.h"
#include "reports/RestingReportData.h"
#include "store/StudyStore.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/RestingStudy.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kDotsPerInch = 100;

// The study, made once for every page.
struct DemoRestingStudy {
    QTemporaryDir dir;
    std::unique_ptr<StudyStore> store;
    Study *study = nullptr;

    DemoRestingStudy() {
        const BeatsOptions options = BeatsOptions::parse(
            {"--raw", QStringLiteral(TARVELIN_DEMO_RECORDING), "--rate", "500", "--channels", "14"});
        LoadedInput input;
        QString error;
        if (!options.error.isEmpty() || !InputLoader::load(options, &input, &error))
            throw std::runtime_error("demonstration recording unreadable: " + error.toStdString());
        RestingStudy::keepFirstSeconds(input.recording, RestingStudy::kDefaultSeconds);
        store = std::make_unique<StudyStore>(dir.filePath(QStringLiteral("store")));
        StudyInfo info;
        info.studyDateTime = "20261208093000";
        info.patientLastName = sample("Doe", "García");
        info.patientFirstName = sample("Jane", "Juana");
        info.patientAge = "61";
        info.patientSex = "F";
        info.indication = sample("Pre-operative assessment", "Valoración preoperatoria");
        info.conclusion =
            sample("Sinus rhythm, normal axis, normal intervals.", "Ritmo sinusal, eje normal, intervalos normales.");
        study = RestingStudy::create(*store, input.recording, info);
    }
    ~DemoRestingStudy() { store->closeStudy(study); }
};

DemoRestingStudy &demoStudy() {
    static DemoRestingStudy made;
    return made;
}

QImage page(const char *templateName, const char *layout, int number) {
    DemoRestingStudy &demo = demoStudy();
    ReportSettings settings;
    settings.headerTitle = QString::fromUtf8(sample("Cardiology Unit North", "Unidad de Cardiología Norte"));
    settings.headerInfo = QString::fromUtf8(sample("1 Harbour Road, Northtown", "Av. del Puerto 1, Villanorte"));
    settings.signatureName = QStringLiteral("Dr. A. Signer");
    settings.traceLayout = QLatin1String(layout);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ReportPdf::write(ReportTemplate::load(QStringLiteral(":/res/%1.xml").arg(QLatin1String(templateName))),
                     RestingReportData::fill(*demo.study, settings), pdf);
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {"-r", QString::number(kDotsPerInch), "-png", "-singlefile", "-f", QString::number(number), "-l",
                  QString::number(number), pdf, dir.filePath(QStringLiteral("page"))});
    if (!raster.waitForFinished(120000) || raster.exitCode() != 0)
        throw std::runtime_error("pdftoppm (poppler-utils) could not rasterise the report");
    return QImage(dir.filePath(QStringLiteral("page.png")));
}

}  // namespace

void addRestingReportScreenshots(ScreenshotList &list) {
    list.push_back({QStringLiteral("report-ecg-page-1"), [] { return page("ecgreport1", "12by1", 1); }});
    list.push_back({QStringLiteral("report-ecg-12by1"), [] { return page("ecgreport1", "12by1", 2); }});
    list.push_back({QStringLiteral("report-ecg-6by2"), [] { return page("ecgreport2", "6by2", 2); }});
    list.push_back({QStringLiteral("report-ecg-4by3"), [] { return page("ecgreport3", "4by3", 2); }});
}
