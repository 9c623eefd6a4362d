#include "reports/ReportOutput.h"

#include "reports/ReportPdf.h"
#include "reports/ReportRenderer.h"

#include <QCoreApplication>
#include <QPrinter>
#include <stdexcept>

namespace ReportOutput {

QString printFailureMessage(const QString &printer) {
    return QCoreApplication::translate("ReportOutput", "The report could not be printed on %1.").arg(printer);
}

int print(const ReportTemplate &report, const ReportData &data, QPrinter &printer) {
    const QString name =
        printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
    if (!printer.isValid()) throw std::runtime_error(printFailureMessage(name).toStdString());
    printer.setDocName(data.field(QStringLiteral("patientName")));
    ReportRenderer renderer(report, data);
    try {
        return renderer.render(printer);
    } catch (const std::runtime_error &error) {
        // A template's own error says more than the printer's name.
        if (QString::fromUtf8(error.what()).startsWith(QLatin1String("Report template error"))) throw;
        throw std::runtime_error(printFailureMessage(name).toStdString());
    }
}

int produce(const ReportTemplate &report, const ReportData &data, const ReportDestination &destination) {
    if (destination.kind == ReportDestination::Kind::Pdf) return ReportPdf::write(report, data, destination.path);
    QPrinter printer(QPrinter::HighResolution);
    if (!destination.printerName.isEmpty()) printer.setPrinterName(destination.printerName);
    if (!destination.path.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(destination.path);
    }
    return print(report, data, printer);
}

}  // namespace ReportOutput
