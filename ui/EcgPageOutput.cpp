#include "ui/EcgPageOutput.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>
#include <stdexcept>

namespace {
constexpr double kMmPerInch = 25.4;
// Fine enough that rounding a line to the device grid moves it by 0.02 mm.
constexpr int kPdfResolution = 1200;
const char *const kWriteError = "Cannot write file";
}  // namespace

namespace EcgPageOutput {

void writePdf(const EcgPage &page, const std::vector<EcgPageLead> &leads, const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error(kWriteError);
    {
        QPdfWriter writer(&file);
        // An exact size: a near-standard one must not be rounded to A4 or
        // Letter, or the page would no longer be at true scale.
        writer.setPageSize(QPageSize(page.sizeMm(static_cast<int>(leads.size())), QPageSize::Millimeter, QString(),
                                     QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("Dodare RUD"));
        QPainter painter;
        if (!painter.begin(&writer)) throw std::runtime_error(kWriteError);
        page.paint(painter, writer.resolution() / kMmPerInch, leads);
        painter.end();
    }
    if (!file.commit()) throw std::runtime_error(kWriteError);
}

QImage renderImage(const EcgPage &page, const std::vector<EcgPageLead> &leads, double dotsPerInch) {
    const double pxPerMm = dotsPerInch / kMmPerInch;
    const QSizeF mm = page.sizeMm(static_cast<int>(leads.size()));
    QImage image(static_cast<int>(std::ceil(mm.width() * pxPerMm)), static_cast<int>(std::ceil(mm.height() * pxPerMm)),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(pxPerMm * 1000.0)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(pxPerMm * 1000.0)));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    page.paint(painter, pxPerMm, leads);
    painter.end();
    return image;
}

void writePng(const EcgPage &page, const std::vector<EcgPageLead> &leads, double dotsPerInch, const QString &path) {
    const QImage image = renderImage(page, leads, dotsPerInch);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw std::runtime_error(kWriteError);
}

}  // namespace EcgPageOutput
