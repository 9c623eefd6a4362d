// `tarvelin-ecg-cli study`: every subcommand against a store folder, through
// the built tool, and the usage and failure exits.

#include "CliTestSupport.h"

#include "acquisition/FileSignal.h"
#include "store/StudyStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using CliTest::runTool;

namespace {

qint32 addStudy(const QString &root, const char *last, const char *first, const char *dateTime) {
    StudyStore store(root);
    StudyInfo info;
    info.studyType = "ECG";
    info.studyDateTime = dateTime;
    info.patientLastName = last;
    info.patientFirstName = first;
    info.samplingRate = 500;
    info.channelCount = 2;
    info.channelNames = "I,II";
    info.resolution = 16;
    info.gainMax = 5.0;
    Study *study = store.createStudy(info);
    const std::int16_t a[] = {10, 20}, b[] = {30, 40};
    const std::int16_t *frames[] = {a, b};
    study->recording()->append(2, frames);
    store.closeStudy(study);
    return info.id;
}

TEST(StudyCommandLine, ListShowExportImportAndRebuild) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/store");
    const qint32 first = addStudy(root, "Núñez", "Eva", "20261201080000");
    const qint32 second = addStudy(root, "Ortiz", "Pablo", "20261202090000");

    const auto listed = runTool({"study", "--store", root, "list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.standardError.toStdString();
    QStringList lines = listed.standardOutput.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const qint32 low = qMin(first, second);
    const QString lowLine = low == first ? QStringLiteral("%1\t20261201080000\tECG\tNúñez\tEva\t").arg(first)
                                         : QStringLiteral("%1\t20261202090000\tECG\tOrtiz\tPablo\t").arg(second);
    EXPECT_EQ(lines[0], lowLine);  // ascending id

    const auto shown = runTool({"study", "--store", root, "show", QString::number(first)});
    ASSERT_EQ(shown.exitCode, 0) << shown.standardError.toStdString();
    EXPECT_TRUE(shown.standardOutput.contains(QStringLiteral("\n    \"study\": {")));  // indented
    const QJsonObject document = QJsonDocument::fromJson(shown.standardOutput.toUtf8()).object();
    EXPECT_EQ(document.value("study").toObject().value("id").toInt(), first);
    EXPECT_EQ(document.value("patient").toObject().value("lastName").toString(), QStringLiteral("Núñez"));

    QTemporaryDir shared;
    const auto exported = runTool({"study", "--store", root, "export", QString::number(first), shared.path()});
    ASSERT_EQ(exported.exitCode, 0) << exported.standardError.toStdString();
    const QStringList archives = QDir(shared.path()).entryList({"*.hxz"}, QDir::Files);
    ASSERT_EQ(archives.size(), 1);

    const QString otherRoot = dir.path() + QStringLiteral("/other");
    const auto imported = runTool({"study", "--store", otherRoot, "import", shared.path() + '/' + archives[0]});
    ASSERT_EQ(imported.exitCode, 0) << imported.standardError.toStdString();
    EXPECT_EQ(imported.standardOutput.trimmed(), QString::number(first));
    EXPECT_EQ(runTool({"study", "--store", otherRoot, "list"}).standardOutput.split('\n', Qt::SkipEmptyParts).size(),
              1);

    // A lost index comes back from the study files.
    ASSERT_TRUE(QFile::remove(root + QStringLiteral("/data/studies.sqlite")));
    const auto rebuilt = runTool({"study", "--store", root, "rebuild-index"});
    ASSERT_EQ(rebuilt.exitCode, 0) << rebuilt.standardError.toStdString();
    EXPECT_EQ(runTool({"study", "--store", root, "list"}).standardOutput, listed.standardOutput);
}

TEST(StudyCommandLine, FailuresPrintTheirTextAndExitNonZero) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/store");
    addStudy(root, "A", "B", "20261201080000");
    QFile foreign(dir.path() + QStringLiteral("/foreign.hxz"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("not a zip at all");
    foreign.close();

    struct Case {
        const char *label;
        QStringList arguments;
        int exitCode;
        const char *error;
    };
    const QList<Case> cases = {
        {"no store", {"study", "list"}, 2, "missing --store DIR"},
        {"no subcommand", {"study", "--store", root}, 2, "missing subcommand"},
        {"unknown subcommand", {"study", "--store", root, "frobnicate"}, 2, "unknown subcommand"},
        {"id not a number", {"study", "--store", root, "show", "abc"}, 2, "wrong arguments"},
        {"missing folder", {"study", "--store", root, "export", "5"}, 2, "wrong arguments"},
        {"unknown id", {"study", "--store", root, "show", "5"}, 1, "Study not found"},
        {"not an archive", {"study", "--store", root, "import", foreign.fileName()}, 1, "Cannot open zip archive"},
    };
    for (const Case &c : cases) {
        const auto run = runTool(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.label;
        EXPECT_TRUE(run.standardError.contains(QLatin1String(c.error)))
            << c.label << ": " << run.standardError.toStdString();
    }
}

}  // namespace
