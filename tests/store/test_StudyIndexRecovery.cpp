// The index is derived data: a lost database is rebuilt from the study files,
// and one that cannot be used is moved aside and rebuilt, so the program
// always starts.

#include "StoreTestSupport.h"

#include "store/StudyIndex.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QRegularExpression>
#include <algorithm>
#include <functional>

using namespace StoreTest;

namespace {

QList<qint32> idsOf(const QList<StudyInfo> &rows) {
    QList<qint32> ids;
    for (const StudyInfo &row : rows) ids << row.id;
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Two closed studies in a store at `root`; their ids, ascending.
QList<qint32> twoStudies(const QString &root) {
    StudyStore store(root);
    StudyInfo first = smallStudyInfo("Alba", "Rosa");
    StudyInfo second = smallStudyInfo("Bravo", "Juan");
    second.patientAnimalSpecies = "Canino";
    store.closeStudy(store.createStudy(first));
    store.closeStudy(store.createStudy(second));
    return idsOf(store.listStudies());
}

void makeDatabaseWithoutStudyTable(const QString &path) {
    const QString name = QStringLiteral("foreign-database");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("create table Other(x integer)")));
    }
    QSqlDatabase::removeDatabase(name);
}

TEST(StudyIndexRecovery, DeletedDatabaseIsRebuiltFromTheStudyFiles) {
    QTemporaryDir dir;
    const QList<qint32> ids = twoStudies(dir.path());
    ASSERT_EQ(ids.size(), 2);
    // Files the rebuild must pass over: a study without "patient", one
    // without "study", one that is not a study file at all.
    writeAll(dir.filePath("no-patient.hxstudy"), "HXSTUDY1{\"study\":{\"id\":31337,\"baseFilename\":\"no-patient\"}}");
    writeAll(dir.filePath("no-study.hxstudy"), "HXSTUDY1{\"patient\":{\"lastName\":\"X\"}}");
    writeAll(dir.filePath("garbage.hxstudy"), "HXSTUDY2\x01\x02\x03");
    ASSERT_TRUE(QFile::remove(StudyIndex::databasePathUnder(dir.path())));

    StudyStore store(dir.path());
    EXPECT_TRUE(store.recoveryNote().isEmpty());  // a missing index is simply made anew
    const QList<StudyInfo> rows = store.listStudies();
    EXPECT_EQ(idsOf(rows), ids);
    for (const StudyInfo &row : rows) {
        EXPECT_FALSE(row.baseFilename.isEmpty());
        EXPECT_EQ(row.studyType, QByteArray("Stress test"));
        EXPECT_EQ(row.studyDateTime, QByteArray("20261208093000"));
        if (row.patientLastName == "Bravo") {
            EXPECT_EQ(row.patientAnimalSpecies, QByteArray("Canino"));
        }
        EXPECT_NE(store.openStudy(row.id), nullptr);
    }
}

TEST(StudyIndexRecovery, UnusableDatabaseIsMovedAsideAndRebuilt) {
    struct Case {
        const char *label;
        std::function<void(const QString &)> spoil;
    };
    const Case cases[] = {
        {"not a database", [](const QString &path) { writeAll(path, QByteArray(4096, 'x')); }},
        {"empty file", [](const QString &path) { writeAll(path, QByteArray()); }},
        {"truncated database",
         [](const QString &path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             const QByteArray head = file.read(100);
             file.resize(0);
             file.write(head + QByteArray(3000, '\xA5'));
         }},
        {"another program's database",
         [](const QString &path) {
             QFile::remove(path);
             makeDatabaseWithoutStudyTable(path);
         }},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QList<qint32> ids = twoStudies(dir.path());
        const QString database = StudyIndex::databasePathUnder(dir.path());
        c.spoil(database);
        const QByteArray spoiled = readAll(database);

        std::unique_ptr<StudyStore> store;
        ASSERT_NO_THROW(store = std::make_unique<StudyStore>(dir.path())) << c.label;
        EXPECT_EQ(idsOf(store->listStudies()), ids) << c.label;
        EXPECT_TRUE(store->recoveryNote().contains(QStringLiteral("rebuilt"))) << c.label;

        const QStringList aside = QDir(dir.filePath("data")).entryList({"studies.sqlite.bad-*"}, QDir::Files);
        ASSERT_EQ(aside.size(), 1) << c.label;
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^studies\\.sqlite\\.bad-\\d{14}$")).match(aside[0]).hasMatch())
            << aside[0].toStdString();
        EXPECT_TRUE(store->recoveryNote().contains(aside[0])) << c.label;
        EXPECT_EQ(readAll(dir.filePath("data/" + aside[0])), spoiled) << c.label;

        // The new index is a working one: it survives a restart untouched.
        store.reset();
        StudyStore again(dir.path());
        EXPECT_TRUE(again.recoveryNote().isEmpty()) << c.label;
        EXPECT_EQ(idsOf(again.listStudies()), ids) << c.label;
    }
}

TEST(StudyIndexRecovery, DuplicateIdsDoNotStopTheRebuild) {
    QTemporaryDir dir;
    const QList<qint32> ids = twoStudies(dir.path());
    // A copy of a study file made by hand in the store folder.
    const QString original = dir.path() + QLatin1Char('/') + QDir(dir.path()).entryList({"*.hxstudy"}).first();
    ASSERT_TRUE(QFile::copy(original, dir.filePath("zz-copy.hxstudy")));
    ASSERT_TRUE(QFile::remove(StudyIndex::databasePathUnder(dir.path())));
    StudyStore store(dir.path());
    EXPECT_EQ(idsOf(store.listStudies()), ids);
}

}  // namespace
