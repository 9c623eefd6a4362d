// Where report files go and how they are written: the store's report
// folder, whole files or none, and the copy an automatic export leaves.

#include "reports/ReportPdf.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString failure(const QString &path) {
    return QStringLiteral("Report file could not be generated at:\n\n%1\n\nPlease check disk space, folder access and "
                          "antivirus software.")
        .arg(path);
}

}  // namespace

TEST(ReportPdfFiles, ReportsOfAStoreLieInItsReportsFolder) {
    EXPECT_EQ(ReportPdf::defaultPath("/data/studies", "Doe_20261208"), "/data/studies/reports/Doe_20261208.pdf");
}

TEST(ReportPdfFiles, WrittenReportsAreWholePdfsAndFailuresLeaveNothing) {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    ReportData data;
    data.setField("patientName", "Doe, Jane");
    const ReportTemplate report = ReportTemplate::parse("<report><body><text>[patientName]</text></body></report>");
    const QString good = folder.filePath("good.pdf");
    ASSERT_EQ(ReportPdf::write(report, data, good), 1);
    const QByteArray pdf = readAll(good);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF")) << "the file ends where a PDF ends";

    const QString missing = folder.filePath("no-such-folder/report.pdf");
    try {
        ReportPdf::write(report, data, missing);
        ADD_FAILURE() << "written";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), failure(missing));
    }
    // A template that fails while the pages are drawn leaves the earlier
    // report as it was, and no temporary file beside it.
    const ReportTemplate broken =
        ReportTemplate::parse(R"(<report><body><barcode type="ean13" data="[patientName]"/></body></report>)");
    EXPECT_THROW(ReportPdf::write(broken, data, good), std::runtime_error);
    EXPECT_EQ(readAll(good), pdf);
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), QStringList{"good.pdf"});
}

TEST(ReportPdfFiles, ExportCopiesTheReportWholeOrNotAtAll) {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    ASSERT_TRUE(folder.mkpath("reports") && folder.mkpath("shared"));
    const QString report = folder.filePath("reports/Doe.pdf");
    QByteArray contents(3 << 20, '\0');
    for (int i = 0; i < contents.size(); ++i) contents[i] = static_cast<char>(i * 7);
    {
        QFile f(report);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    const QString copy = ReportPdf::exportCopy(report, folder.filePath("shared"));
    EXPECT_EQ(copy, folder.filePath("shared/Doe.pdf"));
    EXPECT_EQ(readAll(copy), contents);

    const QString unreachable = folder.filePath("no-such-share/Doe.pdf");
    try {
        ReportPdf::exportCopy(report, folder.filePath("no-such-share"));
        ADD_FAILURE() << "copied";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), failure(unreachable));
    }
    EXPECT_THROW(ReportPdf::exportCopy(folder.filePath("reports/none.pdf"), folder.filePath("shared")),
                 std::runtime_error);
    EXPECT_EQ(QDir(folder.filePath("shared")).entryList(QDir::Files | QDir::Hidden), QStringList{"Doe.pdf"});
}
