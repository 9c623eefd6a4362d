// The study store over its folder and index: first start, creating, opening,
// saving, closing and deleting studies, ids, base names and free space.

#include "StoreTestSupport.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/StandardProtocols.h"
#include "store/StudyBaseName.h"
#include "store/StudyIndex.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <deque>
#include <functional>

using namespace StoreTest;

namespace {

StudyStore::Services fixedIds(std::deque<qint32> ids) {
    StudyStore::Services services;
    auto queue = std::make_shared<std::deque<qint32>>(std::move(ids));
    services.drawId = [queue] {
        const qint32 id = queue->front();
        queue->pop_front();
        return id;
    };
    return services;
}

QString pathIn(const QTemporaryDir &dir, const QByteArray &base, const char *extension) {
    return QStringLiteral("%1/%2.%3").arg(dir.path(), QString::fromUtf8(base), QLatin1String(extension));
}

TEST(StudyStore, FirstStartCreatesIndexAndProtocolTable) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/new/store");
    StudyStore store(root);
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/data/studies.sqlite")).isFile());
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/data/protocols.json")).isFile());
    EXPECT_TRUE(store.recoveryNote().isEmpty());
    EXPECT_TRUE(store.listStudies().isEmpty());
    QStringList standard;
    for (const Protocol &p : StandardProtocols::all()) standard << p.name;
    standard.sort();
    QStringList names = store.protocolNames();
    names.sort();
    EXPECT_EQ(names, standard);
    EXPECT_EQ(store.defaultRiskFactors().size(), 11);
    EXPECT_EQ(store.defaultRiskFactors().first(), QByteArray("Hipertensión"));
    EXPECT_EQ(store.defaultRiskFactors().last(), QByteArray("Gota"));
}

TEST(StudyStore, CreatedStudyIsStoredIndexedAndReopensWhole) {
    QTemporaryDir dir;
    StudyInfo info = smallStudyInfo();
    qint32 id = 0;
    QByteArray base;
    {
        StudyStore store(dir.path(), fixedIds({4242}));
        Study *study = store.createStudy(info);
        ASSERT_NE(study, nullptr);
        id = info.id;
        base = info.baseFilename;
        EXPECT_EQ(id, 4242);
        EXPECT_EQ(base, QByteArray("H-17-Pérez-Ana-20261208093000"));
        EXPECT_TRUE(store.isStudyOpen(id));
        EXPECT_EQ(study->property("baseFilename"), base);
        QByteArray comment;
        EXPECT_TRUE(study->riskFactor("Obesidad", comment));
        EXPECT_EQ(comment, QByteArray("IMC 31"));

        ASSERT_NE(study->recording(), nullptr);
        ASSERT_NE(study->beats(), nullptr);
        EXPECT_EQ(study->recording()->channelNames(), QStringList({"I", "II", "V5"}));
        EXPECT_EQ(study->recording()->amplitudeMax(), 10.0);
        EXPECT_EQ(study->recording()->amplitudeMin(), -10.0);
        const std::int16_t a[] = {1, 2}, b[] = {3, 4}, c[] = {5, 6};
        const std::int16_t *frames[] = {a, b, c};
        study->recording()->append(2, frames);
        study->beats()->append(QByteArray(BeatFile::recordLengthFor(3), '\x01'));

        // The headers are on disk from the start, so a crash mid-test still
        // leaves files that open.
        EXPECT_TRUE(readAll(pathIn(dir, base, "hxecg")).startsWith("HXECG1{"));
        const QByteArray beats = readAll(pathIn(dir, base, "hxbeats"));
        EXPECT_EQ(beats.left(256), QByteArray("HXBEATS1") + QByteArray(248, '\0'));

        const QList<StudyInfo> rows = store.listStudies();
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].id, id);
        EXPECT_EQ(rows[0].baseFilename, base);
        EXPECT_EQ(rows[0].studyType, QByteArray("Stress test"));
        EXPECT_EQ(rows[0].patientLastName, QByteArray("Pérez"));
        EXPECT_TRUE(rows[0].status.isEmpty());

        study->setProperty("status", "report");
        study->setProperty("conclusion", "Prueba negativa");
        store.saveStudy(*study);
        store.closeStudy(study);
        EXPECT_FALSE(store.isStudyOpen(id));
    }
    StudyStore store(dir.path());
    EXPECT_EQ(store.listStudies().value(0).status, QByteArray("report"));
    ASSERT_FALSE(store.isStudyOpen(id));
    Study *study = store.openStudy(id);
    ASSERT_NE(study, nullptr);
    EXPECT_TRUE(store.isStudyOpen(id));
    EXPECT_EQ(study->property("conclusion"), QByteArray("Prueba negativa"));
    EXPECT_EQ(study->property("patient/age"), QByteArray("61"));
    ASSERT_NE(study->recording(), nullptr);
    EXPECT_EQ(study->recording()->length(), 2);
    EXPECT_EQ(study->recording()->readSample(2, 1), 6);
    EXPECT_EQ(study->recording()->channelNames(), QStringList({"I", "II", "V5"}));
    ASSERT_NE(study->beats(), nullptr);
    EXPECT_EQ(study->beats()->count(), 1);
    EXPECT_EQ(store.openStudy(777), nullptr);
}

TEST(StudyStore, BaseNames) {
    struct Case {
        const char *label;
        const char *history, *personId, *last, *first, *dateTime;
        const char *expected;
    };
    const Case cases[] = {
        {"all parts", "H1", "30111222", "Gómez", "Luis", "20261208101500", "H1-30111222-Gómez-Luis-20261208101500"},
        {"no person id", "H1", "", "Gómez", "Luis", "20261208101500", "H1-Gómez-Luis-20261208101500"},
        {"nothing but the date", "", "", "", "", "20261208101500", "20261208101500"},
        {"separators stay inside", "", "", "../../etc", "a\\b", "20261208101500", ".._.._etc-a_b-20261208101500"},
        {"windows-forbidden", "", "", "O'Neil: \"Jr\"?", "A*B<C>|", "1", "O'Neil_ _Jr__-A_B_C__-1"},
        {"control characters", "", "", "a\tb\nc", "", "1", "a_b_c-1"},
        {"dot names never", "", "", "", "", "..", "__"},
        {"empty never", "", "", "", "", "", "_"},
    };
    for (const Case &c : cases) {
        StudyInfo info;
        info.patientMedicalHistoryNumber = c.history;
        info.patientPersonIdNumber = c.personId;
        info.patientLastName = c.last;
        info.patientFirstName = c.first;
        info.studyDateTime = c.dateTime;
        EXPECT_EQ(StudyBaseName::forNewStudy(info), QByteArray(c.expected)) << c.label;
        EXPECT_TRUE(StudyBaseName::isPlainFileName(StudyBaseName::forNewStudy(info))) << c.label;
    }
    for (const char *bad : {"", ".", "..", "../x", "a/b", "a\\b"})
        EXPECT_FALSE(StudyBaseName::isPlainFileName(bad)) << bad;
    for (const char *good : {"...", "a:b", "Müller-1", ".hidden"})
        EXPECT_TRUE(StudyBaseName::isPlainFileName(good)) << good;
}

TEST(StudyStore, PatientTextNeverPlacesFilesOutsideTheStore) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/store");
    StudyStore store(root);
    StudyInfo info = smallStudyInfo("../../escape", "x/y");
    store.createStudy(info);
    EXPECT_EQ(filesIn(dir.path()), QStringList());
    EXPECT_EQ(filesIn(root).size(), 3);
    EXPECT_TRUE(QFileInfo::exists(pathIn(dir, "store/" + info.baseFilename, "hxstudy")));
}

TEST(StudyStore, SameNameAndSecondGetsItsOwnFiles) {
    QTemporaryDir dir;
    StudyStore store(dir.path());
    StudyInfo first = smallStudyInfo();
    StudyInfo second = smallStudyInfo();
    Study *a = store.createStudy(first);
    const std::int16_t s[] = {7}, *frames[] = {s, s, s};
    a->recording()->append(1, frames);
    store.createStudy(second);
    EXPECT_NE(first.baseFilename, second.baseFilename);
    EXPECT_EQ(second.baseFilename, first.baseFilename + "_2");
    EXPECT_EQ(a->recording()->length(), 1);
    EXPECT_EQ(FileSignal(pathIn(dir, first.baseFilename, "hxecg"), 3, 500, FileSignal::StudyHeaderSize, false).length(),
              1);
}

TEST(StudyStore, IdsAreRedrawnUntilFreeAndInRange) {
    QTemporaryDir dir;
    StudyStore store(dir.path(), fixedIds({5, 5, 0, StudyStore::kMaximumId + 1, -3, 7}));
    StudyInfo a = smallStudyInfo("A");
    StudyInfo b = smallStudyInfo("B");
    store.createStudy(a);
    store.createStudy(b);
    EXPECT_EQ(a.id, 5);
    EXPECT_EQ(b.id, 7);
}

TEST(StudyStore, DefaultIdsAreRandomWithinRange) {
    QTemporaryDir dir;
    StudyStore store(dir.path());
    QSet<qint32> ids;
    for (int i = 0; i < 5; ++i) {
        StudyInfo info = smallStudyInfo("Same", "Name", "20260101000000");
        Study *study = store.createStudy(info);
        EXPECT_GE(info.id, 1);
        EXPECT_LE(info.id, StudyStore::kMaximumId);
        ids.insert(info.id);
        store.closeStudy(study);
    }
    EXPECT_EQ(ids.size(), 5);
}

TEST(StudyStore, DeleteLeavesOpenStudiesAloneAndRemovesClosedOnes) {
    QTemporaryDir dir;
    StudyStore store(dir.path());
    StudyInfo info = smallStudyInfo();
    Study *study = store.createStudy(info);
    store.deleteStudy(info.id);
    EXPECT_EQ(store.listStudies().size(), 1);
    EXPECT_EQ(filesIn(dir.path()).size(), 3);

    store.closeStudy(study);
    store.deleteStudy(info.id + 1);  // unknown: nothing happens
    EXPECT_EQ(store.listStudies().size(), 1);
    store.deleteStudy(info.id);
    EXPECT_TRUE(store.listStudies().isEmpty());
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST(StudyStore, CloseIgnoresStudiesItDoesNotHold) {
    QTemporaryDir dir;
    StudyStore store(dir.path());
    StudyInfo info = smallStudyInfo();
    store.createStudy(info);
    Study stranger(info.id);
    store.closeStudy(&stranger);
    store.closeStudy(nullptr);
    EXPECT_TRUE(store.isStudyOpen(info.id));
}

TEST(StudyStore, CreationFailuresLeaveNothingBehind) {
    QTemporaryDir dir;
    StudyStore store(dir.path());
    // Shapes of recording that could be written but never read back.
    const std::function<void(StudyInfo &)> spoilers[] = {
        [](StudyInfo &i) { i.channelCount = 0; },
        [](StudyInfo &i) { i.channelCount = 17; },
        [](StudyInfo &i) { i.samplingRate = 0; },
        [](StudyInfo &i) { i.resolution = 0; },
    };
    for (const auto &spoil : spoilers) {
        StudyInfo info = smallStudyInfo();
        spoil(info);
        try {
            store.createStudy(info);
            ADD_FAILURE() << "created an unreadable recording";
        } catch (const std::runtime_error &error) {
            EXPECT_STREQ(error.what(), "Cannot create file");
        }
    }
    EXPECT_EQ(filesIn(dir.path()), QStringList());
    EXPECT_TRUE(store.listStudies().isEmpty());

    try {
        StudyStore unrooted((QString()));
        FAIL() << "opened a store without a root";
    } catch (const std::runtime_error &error) {
        EXPECT_STREQ(error.what(), "Undefined database path");
    }
}

TEST(StudyStore, FreeSpaceThreshold) {
    struct Case {
        std::optional<qint64> free;
        bool expected;
    };
    const Case cases[] = {{52428799, false}, {52428800, true}, {0, false}, {std::nullopt, true}, {1LL << 40, true}};
    QTemporaryDir dir;
    for (const Case &c : cases) {
        StudyStore::Services services;
        QString asked;
        services.freeBytes = [&](const QString &root) {
            asked = root;
            return c.free;
        };
        StudyStore store(dir.path(), services);
        EXPECT_EQ(store.hasFreeSpace(), c.expected) << (c.free ? *c.free : -1);
        EXPECT_EQ(asked, dir.path());
    }
    // The real volume of a temporary folder answers, and has room.
    EXPECT_TRUE(StudyStore(dir.path()).hasFreeSpace());
}

TEST(StudyStore, RowWithoutStatusListsEmpty) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("data"));
    { StudyIndex index(StudyIndex::databasePathUnder(dir.path()), {}); }
    {
        const QString name = QStringLiteral("raw-row-writer");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(StudyIndex::databasePathUnder(dir.path()));
            ASSERT_TRUE(db.open());
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(QStringLiteral(
                "insert into Study(id, data) values (12, '{\"baseFilename\":\"b\",\"patientLastName\":\"Ruiz\"}')")));
        }
        QSqlDatabase::removeDatabase(name);
    }
    StudyStore store(dir.path());
    const QList<StudyInfo> rows = store.listStudies();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].id, 12);
    EXPECT_EQ(rows[0].patientLastName, QByteArray("Ruiz"));
    EXPECT_TRUE(rows[0].status.isEmpty());
    EXPECT_TRUE(rows[0].studyType.isEmpty());
}

TEST(StudyStore, RowDataIsCompactWithSpeciesOnlyWhenGiven) {
    StudyInfo info;
    info.baseFilename = "b";
    info.studyDateTime = "20261208101500";
    info.patientLastName = "Ñandú";
    EXPECT_EQ(StudyIndex::rowData(info),
              QByteArray("{\"baseFilename\":\"b\",\"patientFirstName\":\"\",\"patientLastName\":\"Ñandú\","
                         "\"status\":\"\",\"studyDateTime\":\"20261208101500\",\"studyType\":\"\"}"));
    info.patientAnimalBreed = "Criollo";
    const QJsonObject row = QJsonDocument::fromJson(StudyIndex::rowData(info)).object();
    EXPECT_EQ(row.value("patientAnimalSpecies").toString(), QString());
    EXPECT_EQ(row.value("patientAnimalBreed").toString(), QStringLiteral("Criollo"));
}

}  // namespace
