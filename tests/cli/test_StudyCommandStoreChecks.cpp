// `tarvelin-ecg-cli study` on damaged, hostile and read-only stores: what it
// reports and how it exits.

#include "../store/ZipTestWriter.h"
#include "CliTestSupport.h"

#include "acquisition/FileSignal.h"
#include "store/StudyArchives.h"
#include "store/StudyStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using CliTest::runTool;

namespace {

StudyInfo newStudy(const char *last, const char *dateTime) {
    StudyInfo info;
    info.studyType = "ECG";
    info.studyDateTime = dateTime;
    info.patientLastName = last;
    info.patientFirstName = "Eva";
    info.samplingRate = 500;
    info.channelCount = 2;
    info.channelNames = "I,II";
    info.resolution = 16;
    info.gainMax = 5.0;
    return info;
}

StudyInfo addStudy(const QString &root, const char *last, const char *dateTime = "20261201080000") {
    StudyStore store(root);
    StudyInfo info = newStudy(last, dateTime);
    Study *study = store.createStudy(info);
    const std::int16_t a[] = {10, 20}, b[] = {30, 40};
    const std::int16_t *frames[] = {a, b};
    study->recording()->append(2, frames);
    store.closeStudy(study);
    return info;
}

QString fileOf(const QString &root, const StudyInfo &info, const char *extension) {
    return QStringLiteral("%1/%2.%3").arg(root, QString::fromUtf8(info.baseFilename), QLatin1String(extension));
}

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(StudyCommandStoreChecks, ShowTellsAMissingStudyFileFromADamagedOne) {
    struct Case {
        const char *label;
        QByteArray contents;  // empty: the file is removed
        const char *error;
    };
    const QList<Case> cases = {
        {"missing", {}, "Study file not found"},
        {"garbage", "HXSTUDY2\x01\x02\x03", "Study file is damaged"},
        {"no study object", "HXSTUDY1{\"patient\":{\"lastName\":\"A\"}}", "Study file is damaged"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir dir;
        const QString root = dir.path() + QStringLiteral("/store");
        const StudyInfo info = addStudy(root, "Núñez");
        const QString studyFile = fileOf(root, info, "hxstudy");
        if (c.contents.isEmpty())
            ASSERT_TRUE(QFile::remove(studyFile));
        else
            CliTest::writeFile(root, QFileInfo(studyFile).fileName(), c.contents);
        const auto run = runTool({"study", "--store", root, "show", QString::number(info.id)});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.standardError.startsWith(QLatin1String(c.error))) << run.standardError.toStdString();
        EXPECT_TRUE(run.standardOutput.isEmpty());
    }
}

// Runs the tool as a user who may read the store but not write it: as
// ourselves when we are an ordinary user, as "nobody" when we are root.
CliTest::ToolRun runWithoutWriteAccess(const QString &folder, const QStringList &arguments) {
    if (::geteuid() != 0) return runTool(arguments);
    QTemporaryDir outputs;
    const QByteArray outPath = (outputs.path() + QStringLiteral("/out")).toLocal8Bit();
    const QByteArray errPath = (outputs.path() + QStringLiteral("/err")).toLocal8Bit();
    const int out = ::open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<QByteArray> storage = {QByteArray(TARVELIN_CLI_EXECUTABLE)};
    for (const QString &argument : arguments) storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : storage) argv.push_back(argument.data());
    argv.push_back(nullptr);
    // Everything on the way to the store must be enterable by that user.
    for (QString path = folder; path.startsWith(QDir::tempPath()) && path != QDir::tempPath();
         path = QFileInfo(path).path())
        ::chmod(QFile::encodeName(path).constData(), 0755);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
        ::execv(argv[0], argv.data());
        ::_exit(98);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(out);
    ::close(err);
    CliTest::ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.standardOutput = QString::fromUtf8(readAll(QString::fromLocal8Bit(outPath)));
    run.standardError = QString::fromUtf8(readAll(QString::fromLocal8Bit(errPath)));
    return run;
}

TEST(StudyCommandStoreChecks, AReadOnlyStoreCanBeShown) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/store");
    const StudyInfo info = addStudy(root, "Ortiz");
    // Files readable by all and writable by none; folders not writable.
    for (const QString &name : QDir(root).entryList(QDir::Files))
        ::chmod(QFile::encodeName(root + QLatin1Char('/') + name).constData(), 0444);
    for (const QString &name : QDir(root + QStringLiteral("/data")).entryList(QDir::Files))
        ::chmod(QFile::encodeName(root + QStringLiteral("/data/") + name).constData(), 0444);
    ::chmod(QFile::encodeName(root + QStringLiteral("/data")).constData(), 0555);
    ::chmod(QFile::encodeName(root).constData(), 0555);

    const auto run = runWithoutWriteAccess(root, {"study", "--store", root, "show", QString::number(info.id)});
    ::chmod(QFile::encodeName(root).constData(), 0755);
    ::chmod(QFile::encodeName(root + QStringLiteral("/data")).constData(), 0755);
    if (run.exitCode == 99) GTEST_SKIP() << "cannot become an ordinary user here";
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    const QJsonObject document = QJsonDocument::fromJson(run.standardOutput.toUtf8()).object();
    EXPECT_EQ(document.value("study").toObject().value("id").toInt(), info.id);
}

TEST(StudyCommandStoreChecks, RebuildIndexNamesWhatItLeavesOutAndFails) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/store");
    addStudy(root, "Núñez");
    // The store's own sanitizing makes this name start with a dot.
    const StudyInfo dotted = addStudy(root, "../../x", "20261202090000");
    ASSERT_TRUE(dotted.baseFilename.startsWith('.')) << dotted.baseFilename.constData();
    CliTest::writeFile(root, QStringLiteral("broken.hxstudy"), "HXSTUDY2 not compressed");
    CliTest::writeFile(
        root, QStringLiteral("textid.hxstudy"),
        "HXSTUDY1{\"study\":{\"id\":\"7\",\"baseFilename\":\"textid\"},\"patient\":{\"lastName\":\"T\"}}");
    ASSERT_TRUE(QFile::remove(root + QStringLiteral("/data/studies.sqlite")));

    const auto rebuilt = runTool({"study", "--store", root, "rebuild-index"});
    EXPECT_EQ(rebuilt.exitCode, 1);
    EXPECT_EQ(rebuilt.standardOutput, QStringLiteral("2 studies indexed\n"));
    EXPECT_TRUE(rebuilt.standardError.contains(QLatin1String("left out broken.hxstudy: ")))
        << rebuilt.standardError.toStdString();
    EXPECT_TRUE(rebuilt.standardError.contains(QLatin1String("left out textid.hxstudy: its id")))
        << rebuilt.standardError.toStdString();
    const auto listed = runTool({"study", "--store", root, "list"});
    EXPECT_TRUE(listed.standardOutput.contains(QStringLiteral("../../x"))) << listed.standardOutput.toStdString();
}

TEST(StudyCommandStoreChecks, ImportAndExportSayWhatIsWrong) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/store");
    const StudyInfo info = addStudy(root, "Núñez");
    const QByteArray study = readAll(fileOf(root, info, "hxstudy"));
    QJsonObject document = QJsonDocument::fromJson(qUncompress(study.mid(8))).object();
    QJsonObject studyObject = document.value("study").toObject();
    studyObject.insert("baseFilename", "../docescape");
    document.insert("study", studyObject);
    const QByteArray escaping = "HXSTUDY2" + qCompress(QJsonDocument(document).toJson(QJsonDocument::Compact));
    const QString archive = dir.path() + QStringLiteral("/escape.hxz");
    QFile file(archive);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ZipTest::zipArchive({ZipTest::entry("hxstudy", escaping),
                                    ZipTest::entry("hxecg", readAll(fileOf(root, info, "hxecg"))),
                                    ZipTest::entry("hxbeats", readAll(fileOf(root, info, "hxbeats"))),
                                    ZipTest::entry("info", StudyArchives::infoDocument(info))}));
    file.close();

    const QString other = dir.path() + QStringLiteral("/other");
    const auto imported = runTool({"study", "--store", other, "import", archive});
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_TRUE(imported.standardError.startsWith(
        QLatin1String("File is not a valid Tarvelin study Zip archive\n\"hxstudy\" entry: its \"baseFilename\"")))
        << imported.standardError.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/docescape.hxstudy")));

    // A recording cut inside a frame does not leave the store as an archive.
    QFile recording(fileOf(root, info, "hxecg"));
    ASSERT_TRUE(recording.resize(recording.size() - 1));
    QTemporaryDir shared;
    const auto exported = runTool({"study", "--store", root, "export", QString::number(info.id), shared.path()});
    EXPECT_EQ(exported.exitCode, 1);
    EXPECT_TRUE(exported.standardError.startsWith(QStringLiteral("Cannot export ") + fileOf(root, info, "hxecg")))
        << exported.standardError.toStdString();
    EXPECT_TRUE(QDir(shared.path()).entryList(QDir::Files).isEmpty());
}

}  // namespace
