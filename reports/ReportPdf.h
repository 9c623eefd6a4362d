#pragma once
// Writes a report as a PDF file, whole or not at all: the pages go to a
// temporary file that replaces the destination only once complete, so a
// full disk or a refused folder never leaves a truncated report behind.

#include "reports/ReportData.h"
#include "reports/ReportTemplate.h"

#include <QString>
#include <QStringList>

namespace ReportPdf {

// Resolution of the PDF's drawing coordinates; ECG traces are placed to a
// 600th of an inch.
constexpr int kDotsPerInch = 600;

// "Report file could not be generated at:\n\n%1\n\nPlease check disk
// space, folder access and antivirus software." for `path`, translated.
QString failureMessage(const QString &path);

// Where a report of the study stored under `baseName` goes in the store
// rooted at `storeRoot`: "<root>/reports/<baseName>.pdf".
QString defaultPath(const QString &storeRoot, const QString &baseName);

// Throws std::runtime_error with failureMessage(path) when the file cannot
// be written, or the template's own error; the destination is then as it
// was. Returns the page count; `unknownFields` receives the template's
// field names the data lacks.
int write(const ReportTemplate &report, const ReportData &data, const QString &path,
          QStringList *unknownFields = nullptr);

// The copy an automatic export leaves in `folder` (a practice's shared
// report folder): the written report under its own file name, replaced
// whole or not at all. Returns the copy's path; throws std::runtime_error
// with failureMessage(copy) when it cannot be written.
QString exportCopy(const QString &report, const QString &folder);

}  // namespace ReportPdf
