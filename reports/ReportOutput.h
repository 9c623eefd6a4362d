#pragma once
// Where a finished report goes: a PDF file (written whole or not at all) or
// a printer (the system's default or a named one), through one renderer.

#include "reports/ReportData.h"
#include "reports/ReportTemplate.h"

#include <QString>

class QPrinter;

struct ReportDestination {
    enum class Kind { Pdf, Printer };
    Kind kind = Kind::Pdf;
    // Pdf: the file. Printer: empty, or a file the printer's output is
    // written to as PDF instead of being sent to the device.
    QString path;
    // Printer: empty for the system's default printer.
    QString printerName;
};

namespace ReportOutput {

// "The report could not be printed on %1." for `printer`, translated.
QString printFailureMessage(const QString &printer);

// Draws the report on `printer` at its own resolution. Throws
// std::runtime_error with printFailureMessage when the printer cannot be
// used, or the template's own error. Returns the page count.
int print(const ReportTemplate &report, const ReportData &data, QPrinter &printer);

// The PDF or the printer of `destination`; the PDF's failure text is
// ReportPdf::failureMessage. Returns the page count.
int produce(const ReportTemplate &report, const ReportData &data, const ReportDestination &destination);

}  // namespace ReportOutput
