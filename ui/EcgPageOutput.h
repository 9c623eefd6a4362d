#pragma once
// Writes an ECG page to a file: a PDF page at true scale (1 mm of paper is
// 1 mm of the page) or a PNG at a given resolution.

#include "ui/EcgPage.h"

#include <QImage>
#include <QString>

namespace EcgPageOutput {

// Throws std::runtime_error ("Cannot write file") when the file cannot be written.
void writePdf(const EcgPage &page, const std::vector<EcgPageLead> &leads, const QString &path);
QImage renderImage(const EcgPage &page, const std::vector<EcgPageLead> &leads, double dotsPerInch);
void writePng(const EcgPage &page, const std::vector<EcgPageLead> &leads, double dotsPerInch, const QString &path);

}  // namespace EcgPageOutput
