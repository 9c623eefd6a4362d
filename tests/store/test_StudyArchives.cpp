// Study archives through the store: export, describe, list and import, and
// the guards that keep a crafted or damaged archive from harming the store.

#include "StoreTestSupport.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/QZipFileCreator.h"
#include "store/QZipFileExtractor.h"
#include "store/StudyArchives.h"

#include <QBuffer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>

using namespace StoreTest;

namespace {

const char *const kNotValid = "File is not a valid Tarvelin study Zip archive";

// A store holding one closed study with a little signal and one beat.
struct StoreWithStudy {
    QTemporaryDir dir;
    std::unique_ptr<StudyStore> store;
    StudyInfo info;

    explicit StoreWithStudy(const char *last = "Pérez") {
        store = std::make_unique<StudyStore>(dir.path() + QStringLiteral("/store"));
        info = smallStudyInfo(last);
        Study *study = store->createStudy(info);
        const std::int16_t a[] = {1, -2, 3}, b[] = {4, 5, -6}, c[] = {7, 8, 9};
        const std::int16_t *frames[] = {a, b, c};
        study->recording()->append(3, frames);
        study->beats()->append(QByteArray(BeatFile::recordLengthFor(3), '\x02'));
        store->saveStudy(*study);
        store->closeStudy(study);
    }
    QString root() const { return store->rootFolder(); }
    QString file(const char *extension) const {
        return QStringLiteral("%1/%2.%3").arg(root(), QString::fromUtf8(info.baseFilename), QLatin1String(extension));
    }
    QString exported(const QString &folder) const {
        return QStringLiteral("%1/%2.hxz").arg(folder, QString::fromUtf8(info.baseFilename));
    }
};

// Writes an archive with the given entries (name, bytes) and comment.
void writeArchive(const QString &path, const QString &comment, const QList<QPair<QString, QByteArray>> &entries) {
    QZipFileCreator zip(path);
    zip.setComment(comment);
    for (const auto &entry : entries) zip.addData(entry.second, entry.first);
    zip.close();
}

QByteArray entryOf(const QString &archive, const char *name) {
    QZipFileExtractor zip(archive);
    QBuffer buffer;
    return zip.extract(QLatin1String(name), &buffer) ? buffer.data() : QByteArray("<missing>");
}

void expectNotValid(StudyStore &store, const QString &archive) {
    try {
        store.importStudy(archive);
        ADD_FAILURE() << "imported " << archive.toStdString();
    } catch (const std::runtime_error &error) {
        EXPECT_STREQ(error.what(), kNotValid) << archive.toStdString();
    }
}

TEST(StudyArchives, ExportHoldsTheThreeFilesAndTheInfoInOrder) {
    StoreWithStudy source;
    QTemporaryDir out;
    source.store->exportStudy(source.info.id, out.path());
    const QString archive = source.exported(out.path());
    ASSERT_TRUE(QFileInfo::exists(archive));
    EXPECT_EQ(QZipFileExtractor(archive).comment(), QStringLiteral("HXZIP1"));
    EXPECT_EQ(QZipFileExtractor(archive).entryCount(), 4u);
    EXPECT_EQ(entryOf(archive, "hxstudy"), readAll(source.file("hxstudy")));
    EXPECT_EQ(entryOf(archive, "hxecg"), readAll(source.file("hxecg")));
    EXPECT_EQ(entryOf(archive, "hxbeats"), readAll(source.file("hxbeats")));
    EXPECT_EQ(
        entryOf(archive, "info"),
        QByteArray("{\"baseFilename\":\"H-17-Pérez-Ana-20261208093000\",\"patient\":{\"firstName\":\"Ana\","
                   "\"lastName\":\"Pérez\"},\"studyDateTime\":\"20261208093000\",\"studyType\":\"Stress test\"}"));

    StudyInfo described;
    described.id = 99;
    ASSERT_TRUE(source.store->readArchiveInfo(archive, described));
    EXPECT_EQ(described.id, 0);
    EXPECT_EQ(described.baseFilename, source.info.baseFilename);
    EXPECT_EQ(described.studyType, QByteArray("Stress test"));
    EXPECT_EQ(described.patientLastName, QByteArray("Pérez"));
    EXPECT_EQ(described.patientFirstName, QByteArray("Ana"));

    QTemporaryDir empty;
    source.store->exportStudy(source.info.id + 1, empty.path());  // unknown id: nothing written
    EXPECT_TRUE(filesIn(empty.path()).isEmpty());
}

TEST(StudyArchives, ImportIntoAnotherStoreGivesTheSameStudy) {
    StoreWithStudy source;
    QTemporaryDir out, otherRoot;
    source.store->exportStudy(source.info.id, out.path());
    StudyStore other(otherRoot.path());
    EXPECT_EQ(other.importStudy(source.exported(out.path())), source.info.id);
    const QList<StudyInfo> rows = other.listStudies();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].baseFilename, source.info.baseFilename);
    EXPECT_EQ(rows[0].patientLastName, QByteArray("Pérez"));
    for (const char *extension : {"hxstudy", "hxecg", "hxbeats"}) {
        const QString copy =
            QStringLiteral("%1/%2.%3")
                .arg(otherRoot.path(), QString::fromUtf8(source.info.baseFilename), QLatin1String(extension));
        EXPECT_EQ(readAll(copy), readAll(source.file(extension))) << extension;
    }
    Study *study = other.openStudy(source.info.id);
    ASSERT_NE(study, nullptr);
    ASSERT_NE(study->recording(), nullptr);
    EXPECT_EQ(study->recording()->readSample(1, 2), -6);
    // Nothing but the three files (no temporary left over).
    EXPECT_EQ(filesIn(otherRoot.path()).size(), 3);
}

TEST(StudyArchives, ImportingAnExistingIdReplacesItsRow) {
    StoreWithStudy source;
    QTemporaryDir out;
    source.store->exportStudy(source.info.id, out.path());
    Study *study = source.store->openStudy(source.info.id);
    study->setProperty("patient/lastName", "Changed");
    study->setProperty("status", "report");
    source.store->saveStudy(*study);
    source.store->closeStudy(study);
    ASSERT_EQ(source.store->listStudies().value(0).patientLastName, QByteArray("Changed"));

    EXPECT_EQ(source.store->importStudy(source.exported(out.path())), source.info.id);
    const QList<StudyInfo> rows = source.store->listStudies();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].patientLastName, QByteArray("Pérez"));
    EXPECT_TRUE(rows[0].status.isEmpty());  // rebuilt from the description
}

TEST(StudyArchives, ForeignAndIncompleteArchivesAreNeitherListedNorImported) {
    StoreWithStudy source;
    QTemporaryDir shared;
    source.store->exportStudy(source.info.id, shared.path());
    const QByteArray study = readAll(source.file("hxstudy"));
    const QByteArray info = entryOf(source.exported(shared.path()), "info");
    const QString base = QString::fromUtf8(source.info.baseFilename);

    struct Case {
        const char *name;
        const char *comment;
        QList<QPair<QString, QByteArray>> entries;
    };
    const QList<Case> cases = {
        {"a-foreign.hxz", "PKZIP", {{"hxstudy", study}, {"hxecg", ""}, {"hxbeats", ""}, {"info", info}}},
        {"b-no-info.hxz", "HXZIP1", {{"hxstudy", study}, {"hxecg", ""}, {"hxbeats", ""}}},
        {"c-info-without-patient.hxz",
         "HXZIP1",
         {{"hxstudy", study}, {"info", "{\"baseFilename\":\"x\",\"patient\":{}}"}}},
        {"d-info-not-json.hxz", "HXZIP1", {{"info", "not json"}}},
    };
    for (const Case &c : cases)
        writeArchive(shared.path() + QLatin1Char('/') + QLatin1String(c.name), QLatin1String(c.comment), c.entries);
    // Listed, not described: missing entries only show on import.
    writeArchive(shared.path() + QStringLiteral("/e-no-ecg.hxz"), QStringLiteral("HXZIP1"),
                 {{"hxstudy", study}, {"hxbeats", ""}, {"info", info}});
    writeArchive(shared.path() + QStringLiteral("/f-study-not-a-study.hxz"), QStringLiteral("HXZIP1"),
                 {{"hxstudy", "HXSTUDY1{\"patient\":{}}"}, {"hxecg", ""}, {"hxbeats", ""}, {"info", info}});
    writeAll(shared.path() + QStringLiteral("/g-not-a-zip.hxz"), "PK\x03\x04 garbage");

    const auto listed = source.store->listArchives(shared.path());
    QStringList names;
    for (const auto &entry : listed) names << entry.second;
    EXPECT_EQ(names, QStringList({"e-no-ecg.hxz", "f-study-not-a-study.hxz", base + QStringLiteral(".hxz")}));

    QTemporaryDir root;
    StudyStore target(root.path());
    QStringList crafted = {"e-no-ecg.hxz", "f-study-not-a-study.hxz", "g-not-a-zip.hxz"};
    for (const Case &c : cases) crafted << QLatin1String(c.name);
    for (const QString &name : crafted) {
        if (name == QLatin1String("g-not-a-zip.hxz"))
            EXPECT_THROW(target.importStudy(shared.path() + QLatin1Char('/') + name), std::runtime_error);
        else
            expectNotValid(target, shared.path() + QLatin1Char('/') + name);
    }
    EXPECT_TRUE(target.listStudies().isEmpty());
    EXPECT_TRUE(filesIn(root.path()).isEmpty()) << filesIn(root.path()).join(' ').toStdString();
}

TEST(StudyArchives, CraftedBaseNamesAreRefusedAndWriteNothing) {
    StoreWithStudy source;
    QTemporaryDir shared;
    const QByteArray study = readAll(source.file("hxstudy"));
    QTemporaryDir outside;
    const QString root = outside.path() + QStringLiteral("/a/b/store");
    StudyStore target(root);
    const QStringList bases = {"../../x", "..", ".", "sub/x", "..\\..\\x", outside.path() + QStringLiteral("/abs")};
    for (const QString &base : bases) {
        QJsonObject patient{{"lastName", "X"}, {"firstName", "Y"}};
        QJsonObject info{{"baseFilename", base}, {"studyDateTime", "1"}, {"studyType", "ECG"}, {"patient", patient}};
        const QString archive = shared.path() + QStringLiteral("/crafted.hxz");
        writeArchive(archive, QStringLiteral("HXZIP1"),
                     {{"hxstudy", study},
                      {"hxecg", ""},
                      {"hxbeats", ""},
                      {"info", QJsonDocument(info).toJson(QJsonDocument::Compact)}});
        expectNotValid(target, archive);
    }
    EXPECT_TRUE(filesIn(outside.path()).isEmpty());
    EXPECT_TRUE(filesIn(outside.path() + QStringLiteral("/a")).isEmpty());
    EXPECT_TRUE(filesIn(root).isEmpty());
    EXPECT_TRUE(target.listStudies().isEmpty());
}

TEST(StudyArchives, FailedExportKeepsThePreviousArchive) {
    StoreWithStudy source;
    QTemporaryDir shared;
    source.store->exportStudy(source.info.id, shared.path());
    const QString archive = source.exported(shared.path());
    const QByteArray good = readAll(archive);
    ASSERT_FALSE(good.isEmpty());

    // The recording vanished: the export fails half way through.
    ASSERT_TRUE(QFile::remove(source.file("hxecg")));
    EXPECT_THROW(source.store->exportStudy(source.info.id, shared.path()), std::runtime_error);
    EXPECT_EQ(readAll(archive), good);
    EXPECT_EQ(filesIn(shared.path()), QStringList({QFileInfo(archive).fileName()}));
}

TEST(StudyArchives, DamagedEntryLeavesTheStoredStudyUntouched) {
    StoreWithStudy source;
    QTemporaryDir shared;
    source.store->exportStudy(source.info.id, shared.path());
    const QString archive = source.exported(shared.path());
    // A second archive of the same study whose recording entry is missing:
    // importing it over the stored study must not replace any of its files.
    writeArchive(shared.path() + QStringLiteral("/broken.hxz"), QStringLiteral("HXZIP1"),
                 {{"hxstudy", entryOf(archive, "hxstudy")}, {"hxbeats", ""}, {"info", entryOf(archive, "info")}});
    const QByteArray beatsBefore = readAll(source.file("hxbeats"));
    const QByteArray studyBefore = readAll(source.file("hxstudy"));
    expectNotValid(*source.store, shared.path() + QStringLiteral("/broken.hxz"));
    EXPECT_EQ(readAll(source.file("hxbeats")), beatsBefore);
    EXPECT_EQ(readAll(source.file("hxstudy")), studyBefore);
    EXPECT_EQ(filesIn(source.root()).size(), 3);
}

TEST(StudyArchives, AnOpenStudyIsNotReplacedByImport) {
    StoreWithStudy source;
    QTemporaryDir shared;
    source.store->exportStudy(source.info.id, shared.path());
    Study *open = source.store->openStudy(source.info.id);
    ASSERT_NE(open, nullptr);
    try {
        source.store->importStudy(source.exported(shared.path()));
        ADD_FAILURE() << "imported over an open study";
    } catch (const std::runtime_error &error) {
        EXPECT_STREQ(error.what(), "Study is already open for review");
    }
    EXPECT_EQ(open->recording()->readSample(2, 0), 7);
    EXPECT_EQ(filesIn(source.root()).size(), 3);
}

}  // namespace

namespace {

TEST(StudyArchives, ImportExportImportKeepsEveryByteOfALongRecording) {
    // Several compression segments of signal, so the archive's entries hold
    // joined streams; every copy must equal the original file byte for byte.
    constexpr int samples = 700000;
    std::vector<std::int16_t> lead[3];
    for (int c = 0; c < 3; ++c) {
        lead[c].resize(samples);
        for (int i = 0; i < samples; ++i)
            lead[c][size_t(i)] = std::int16_t(900.0 * std::sin(i * 0.0251 * (c + 1)) + (i * 7 + c) % 23);
    }
    QTemporaryDir sourceRoot;
    StudyStore store(sourceRoot.path());
    StudyInfo info = smallStudyInfo();
    {
        Study *study = store.createStudy(info);
        const std::int16_t *frames[] = {lead[0].data(), lead[1].data(), lead[2].data()};
        study->recording()->append(samples, frames);
        for (int beat = 0; beat < 900; ++beat)
            study->beats()->append(QByteArray(BeatFile::recordLengthFor(3), char(beat & 0x7F)));
        store.saveStudy(*study);
        store.closeStudy(study);
    }
    const QString base = QString::fromUtf8(info.baseFilename);
    const auto stored = [&base](const QString &root, const char *extension) {
        return readAll(QStringLiteral("%1/%2.%3").arg(root, base, QLatin1String(extension)));
    };
    ASSERT_GT(stored(sourceRoot.path(), "hxecg").size(), 4 * 1024 * 1024);

    QTemporaryDir firstOut, middleRoot, secondOut, lastRoot;
    store.exportStudy(info.id, firstOut.path());
    StudyStore middle(middleRoot.path());
    ASSERT_EQ(middle.importStudy(QStringLiteral("%1/%2.hxz").arg(firstOut.path(), base)), info.id);
    middle.exportStudy(info.id, secondOut.path());
    const QString archive = QStringLiteral("%1/%2.hxz").arg(secondOut.path(), base);
    StudyStore last(lastRoot.path());
    ASSERT_EQ(last.importStudy(archive), info.id);

    for (const char *extension : {"hxstudy", "hxecg", "hxbeats"}) {
        const QByteArray original = stored(sourceRoot.path(), extension);
        ASSERT_FALSE(original.isEmpty()) << extension;
        for (const QString &root : {middleRoot.path(), lastRoot.path()})
            EXPECT_TRUE(stored(root, extension) == original) << extension << " in " << root.toStdString();
    }

    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty()) GTEST_SKIP() << "the unzip tool is not installed";
    QProcess test;
    test.start(unzip, {QStringLiteral("-tq"), archive});
    ASSERT_TRUE(test.waitForFinished(60000));
    EXPECT_EQ(test.exitCode(), 0) << test.readAllStandardOutput().toStdString();
}

}  // namespace
