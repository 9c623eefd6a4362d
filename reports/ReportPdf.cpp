#include "reports/ReportPdf.h"

#include "reports/ReportRenderer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <stdexcept>

namespace ReportPdf {

QString failureMessage(const QString &path) {
    return QCoreApplication::translate("ReportPdf", "Report file could not be generated at:\n\n%1\n\nPlease check "
                                                    "disk space, folder access and antivirus software.")
        .arg(QDir::toNativeSeparators(path));
}

QString defaultPath(const QString &storeRoot, const QString &baseName) {
    return QStringLiteral("%1/reports").arg(storeRoot) + QStringLiteral("/%1.pdf").arg(baseName);
}

int write(const ReportTemplate &report, const ReportData &data, const QString &path, QStringList *unknownFields) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error(failureMessage(path).toStdString());
    int pages = 0;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kDotsPerInch);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setTitle(data.field(QStringLiteral("patientName")));
        ReportRenderer renderer(report, data);
        pages = renderer.render(writer);
        if (unknownFields) *unknownFields = renderer.unknownFields();
    }
    // The writer is gone, so every byte of the PDF has been handed to the
    // file; commit reports any write that did not reach the disk.
    if (!file.commit()) throw std::runtime_error(failureMessage(path).toStdString());
    return pages;
}

QString exportCopy(const QString &report, const QString &folder) {
    const QString copy = QDir(folder).filePath(QFileInfo(report).fileName());
    QFile source(report);
    if (!source.open(QIODevice::ReadOnly)) throw std::runtime_error(failureMessage(copy).toStdString());
    QSaveFile target(copy);
    if (!target.open(QIODevice::WriteOnly)) throw std::runtime_error(failureMessage(copy).toStdString());
    constexpr qint64 kChunk = 1 << 20;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) break;
        if (target.write(chunk) != chunk.size()) break;
    }
    // A read that failed half way must not pass for the whole report.
    if (!source.atEnd() || source.error() != QFileDevice::NoError || !target.commit())
        throw std::runtime_error(failureMessage(copy).toStdString());
    return copy;
}

}  // namespace ReportPdf
