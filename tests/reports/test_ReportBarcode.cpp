// Symbols in a report read back with an independent decoder: the PDF page
// rasterised by pdftoppm, the symbol decoded by zbarimg (zbar-tools).

#include "reports/ReportBarcode.h"
#include "reports/ReportPdf.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Exit status and text of a tool; -1 when it could not run.
std::pair<int, QString> runTool(const QString &program, const QStringList &arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit) return {-1, QString()};
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput())};
}

}  // namespace

TEST(ReportBarcode, SymbolsOnThePdfPageDecodeToTheirData) {
    struct Case {
        const char *type;
        const char *data;
    } cases[] = {
        {"qr", "424090219"},
        {"qr", "Pérez Núñez, Ana · 2026-12-08 09:30 · 424090219"},
        {"code128", "424090219"},
        {"code128", "ST-2026/12/08"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.data);
        QTemporaryDir dir;
        ReportData data;
        data.setField("studyCode", QString::fromUtf8(c.data));
        const ReportTemplate report = ReportTemplate::parse(
            QStringLiteral(
                R"(<report><body><barcode type="%1" data="[studyCode]" width="60" height="25"/></body></report>)")
                .arg(c.type)
                .toUtf8());
        const QString pdf = QDir(dir.path()).filePath("symbol.pdf");
        ASSERT_EQ(ReportPdf::write(report, data, pdf), 1);
        const auto raster =
            runTool("pdftoppm", {"-r", "300", "-gray", "-png", "-singlefile", pdf, QDir(dir.path()).filePath("page")});
        ASSERT_EQ(raster.first, 0) << "pdftoppm (poppler-utils) could not rasterise the page";
        const auto decoded = runTool("zbarimg", {"--quiet", "--raw", QDir(dir.path()).filePath("page.png")});
        ASSERT_NE(decoded.first, -1) << "zbarimg (zbar-tools, installed by scripts/install-deps.sh) did not run";
        EXPECT_EQ(decoded.second.trimmed(), QString::fromUtf8(c.data));
    }
}

TEST(ReportBarcode, DataASymbologyCannotCarryIsRefusedWithZintsReason) {
    EXPECT_NO_THROW(ReportBarcode::encode("datamatrix", "424090219"));
    struct Case {
        const char *type;
        QString data;
        const char *message;
    } cases[] = {
        {"ean13", "424090219", "unknown type \"ean13\""},
        {"qr", QString(8000, QLatin1Char('9')), "Barcode could not be made: "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        try {
            ReportBarcode::encode(c.type, c.data);
            ADD_FAILURE() << "encoded";
        } catch (const std::runtime_error &e) {
            EXPECT_NE(QString(e.what()).indexOf(c.message), -1) << e.what();
        }
    }
}
