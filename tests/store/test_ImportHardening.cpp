// Hostile and clashing archives against a store that already holds a study:
// each must be refused (or stored under a free name) with every stored file,
// the index included, byte for byte as it was, and nothing written outside.
// The archives come from an independent zip writer, not from our creator.

#include "StoreTestSupport.h"
#include "ZipTestWriter.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/QZipFileExtractor.h"
#include "store/StudyArchives.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <sys/stat.h>
#include <string>

using namespace StoreTest;
using ZipTest::RawEntry;

namespace {

// The three files of a closed study with three frames of three channels and
// one beat, under top/store, plus the folder for archives.
struct Stored {
    QTemporaryDir top;
    QString root;
    StudyInfo info;
    QByteArray study, ecg, beats;

    explicit Stored(qint32 id = 111, const char *last = "Pérez") {
        root = top.path() + QStringLiteral("/store");
        QDir().mkpath(top.path() + QStringLiteral("/shared"));
        StudyStore store(root, fixedId(id));
        info = smallStudyInfo(last);
        Study *created = store.createStudy(info);
        const std::int16_t a[] = {1, -2, 3}, b[] = {4, 5, -6}, c[] = {7, 8, 9};
        const std::int16_t *frames[] = {a, b, c};
        created->recording()->append(3, frames);
        created->beats()->append(QByteArray(BeatFile::recordLengthFor(3), '\x02'));
        store.saveStudy(*created);
        store.closeStudy(created);
        study = readAll(file("hxstudy"));
        ecg = readAll(file("hxecg"));
        beats = readAll(file("hxbeats"));
    }
    static StudyStore::Services fixedId(qint32 id) {
        StudyStore::Services services;
        services.drawId = [id] { return id; };
        return services;
    }
    QString file(const char *extension, const QByteArray &base = {}) const {
        return QStringLiteral("%1/%2.%3")
            .arg(root, QString::fromUtf8(base.isEmpty() ? info.baseFilename : base), QLatin1String(extension));
    }
    QString archive(const std::vector<RawEntry> &entries) const {
        const QString path = top.path() + QStringLiteral("/shared/crafted.hxz");
        writeAll(path, ZipTest::zipArchive(entries));
        return path;
    }
    QByteArray infoEntry(const QByteArray &base = {}) const {
        StudyInfo described = info;
        if (!base.isEmpty()) described.baseFilename = base;
        return StudyArchives::infoDocument(described);
    }
    std::vector<RawEntry> entries(const QByteArray &studyBytes, const QByteArray &ecgBytes,
                                  const QByteArray &beatsBytes, const QByteArray &infoBytes) const {
        return {ZipTest::entry("hxstudy", studyBytes), ZipTest::entry("hxecg", ecgBytes),
                ZipTest::entry("hxbeats", beatsBytes), ZipTest::entry("info", infoBytes)};
    }
};

// The study document of study file bytes, decoded independently, and back.
QJsonObject documentOf(const QByteArray &studyFile) {
    return QJsonDocument::fromJson(qUncompress(studyFile.mid(8))).object();
}

QByteArray studyFileOf(const QJsonObject &document) {
    return QByteArray("HXSTUDY2") + qCompress(QJsonDocument(document).toJson(QJsonDocument::Compact));
}

QByteArray withStudyMember(const QByteArray &studyFile, const char *key, const QJsonValue &value) {
    QJsonObject document = documentOf(studyFile);
    QJsonObject study = document.value("study").toObject();
    study.insert(QLatin1String(key), value);
    document.insert(QStringLiteral("study"), study);
    return studyFileOf(document);
}

constexpr std::uint32_t kBombMiB = 4095;  // declared 4 GiB - 1 MiB, the most a plain zip size field holds

TEST(ImportHardening, HostileArchivesAreRefusedAndChangeNothing) {
    const Stored s;
    const int frame = 2 * 3, record = BeatFile::recordLengthFor(3);
    // The recording header names study 111; an equally long id of another study.
    QByteArray otherStudyEcg = s.ecg;
    otherStudyEcg.replace("\"id\":111", "\"id\":999");
    ASSERT_NE(otherStudyEcg, s.ecg);

    struct Case {
        const char *label;
        std::function<std::vector<RawEntry>()> entries;
        const char *reason;  // a fragment of the reason given, or "zip:" and the zip text thrown
    };
    const auto with = [&s](const QByteArray &study, const QByteArray &ecg, const QByteArray &beats) {
        return s.entries(study, ecg, beats, s.infoEntry());
    };
    const QList<Case> cases = {
        {"document base escapes the store",
         [&] { return with(withStudyMember(s.study, "baseFilename", "../docescape"), s.ecg, s.beats); },
         "baseFilename"},
        {"document base differs from the archive's",
         [&] { return with(withStudyMember(s.study, "baseFilename", "another"), s.ecg, s.beats); }, "baseFilename"},
        {"id as text", [&] { return with(withStudyMember(s.study, "id", "111"), s.ecg, s.beats); }, "id"},
        {"id 1.5e300", [&] { return with(withStudyMember(s.study, "id", 1.5e300), s.ecg, s.beats); }, "id"},
        {"id 12.5", [&] { return with(withStudyMember(s.study, "id", 12.5), s.ecg, s.beats); }, "id"},
        {"id 0", [&] { return with(withStudyMember(s.study, "id", 0), s.ecg, s.beats); }, "id"},
        {"document not JSON", [&] { return with("HXSTUDY1{\"study\":", s.ecg, s.beats); }, "JSON"},
        {"document without patient",
         [&] {
             QJsonObject document = documentOf(s.study);
             document.remove("patient");
             return with(studyFileOf(document), s.ecg, s.beats);
         },
         "patient"},
        {"signal of 11 bytes", [&] { return with(s.study, s.ecg.left(11), s.beats); }, "hxecg"},
        {"signal of 100 bytes", [&] { return with(s.study, s.ecg.left(100), s.beats); }, "hxecg"},
        {"signal of zeros without magic", [&] { return with(s.study, QByteArray(s.ecg.size(), '\0'), s.beats); },
         "HXECG1"},
        {"signal cut inside a frame", [&] { return with(s.study, s.ecg.left(4096 + 2 * frame + 1), s.beats); },
         "frame"},
        {"signal of another study", [&] { return with(s.study, otherStudyEcg, s.beats); }, "another study"},
        {"beats cut inside a record", [&] { return with(s.study, s.ecg, s.beats.left(256 + record - 5)); },
         "inside a record"},
        {"beats of zeros without magic", [&] { return with(s.study, s.ecg, QByteArray(s.beats.size(), '\0')); },
         "HXBEATS1"},
        {"no beats entry",
         [&] {
             return std::vector<RawEntry>{ZipTest::entry("hxstudy", s.study), ZipTest::entry("hxecg", s.ecg),
                                          ZipTest::entry("info", s.infoEntry())};
         },
         "hxbeats"},
        // Bombs: gigabytes declared and really inflatable; refused on the
        // declared size, so they cost no time and no memory.
        {"info inflating to 4 GiB",
         [&] {
             return std::vector<RawEntry>{ZipTest::entry("hxstudy", s.study), ZipTest::entry("hxecg", s.ecg),
                                          ZipTest::entry("hxbeats", s.beats),
                                          ZipTest::zeroBomb("info", s.infoEntry(), kBombMiB)};
         },
         "info"},
        {"document inflating to 4 GiB",
         [&] {
             return std::vector<RawEntry>{ZipTest::zeroBomb("hxstudy", "HXSTUDY1", kBombMiB),
                                          ZipTest::entry("hxecg", s.ecg), ZipTest::entry("hxbeats", s.beats),
                                          ZipTest::entry("info", s.infoEntry())};
         },
         "hxstudy"},
        {"signal inflating to 4 GiB after a good header",
         [&] {
             return std::vector<RawEntry>{ZipTest::entry("hxstudy", s.study),
                                          ZipTest::zeroBomb("hxecg", s.ecg.left(4096), kBombMiB),
                                          ZipTest::entry("hxbeats", s.beats), ZipTest::entry("info", s.infoEntry())};
         },
         "longer than"},
        // Good headers and sizes, bad data: found while unpacking, after the
        // document is already unpacked; nothing may remain of it.
        {"signal with a wrong checksum",
         [&] {
             std::vector<RawEntry> entries = with(s.study, s.ecg, s.beats);
             entries[1].crc ^= 1;
             return entries;
         },
         "zip:Corrupt file read from zip archive"},
        {"signal shorter than it declares",
         [&] {
             std::vector<RawEntry> entries = with(s.study, s.ecg, s.beats);
             entries[1].size += 2 * 3;
             return entries;
         },
         "zip:Corrupt file read from zip archive"},
        {"beats inflating to 4 GiB after a good header",
         [&] {
             return std::vector<RawEntry>{ZipTest::entry("hxstudy", s.study), ZipTest::entry("hxecg", s.ecg),
                                          ZipTest::zeroBomb("hxbeats", s.beats.left(256), kBombMiB),
                                          ZipTest::entry("info", s.infoEntry())};
         },
         "hours of beats"},
    };

    // The writer and the unmodified parts make a good archive: the refusals
    // below are for what each case changed.
    {
        QTemporaryDir otherRoot;
        StudyStore other(otherRoot.path());
        EXPECT_EQ(other.importStudy(s.archive(s.entries(s.study, s.ecg, s.beats, s.infoEntry()))), 111);
    }

    const QString sharedFolder = s.top.path() + QStringLiteral("/shared");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const QString archive = s.archive(c.entries());
        const QMap<QString, QByteArray> before = snapshot(s.root);
        const QStringList outsideBefore =
            QDir(s.top.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QElapsedTimer timer;
        timer.start();
        {
            StudyStore store(s.root);
            try {
                store.importStudy(archive);
                ADD_FAILURE() << "imported";
            } catch (const StudyArchives::NotValid &error) {
                EXPECT_STREQ(error.what(), "File is not a valid Tarvelin study Zip archive");
                EXPECT_TRUE(error.reason().contains(QLatin1String(c.reason))) << error.reason().toStdString();
            } catch (const std::exception &error) {
                EXPECT_EQ(std::string("zip:") + error.what(), c.reason);
            }
            EXPECT_EQ(store.listStudies().size(), 1);
        }
        EXPECT_LT(timer.elapsed(), 1500) << "a refused archive must not be inflated";
        const QMap<QString, QByteArray> after = snapshot(s.root);
        EXPECT_EQ(keysOf(after), keysOf(before));
        EXPECT_TRUE(after == before) << "a stored file changed";
        EXPECT_EQ(QDir(s.top.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), outsideBefore);
        EXPECT_EQ(QDir(sharedFolder).entryList(QDir::Files | QDir::Hidden), QStringList({"crafted.hxz"}));
    }
}

TEST(ImportHardening, ABaseNameClashStoresTheArrivingStudyUnderAFreeName) {
    const Stored mine(111);
    const Stored theirs(222);  // same patient and time: same base name
    ASSERT_EQ(mine.info.baseFilename, theirs.info.baseFilename);
    const QString archive = mine.archive(theirs.entries(theirs.study, theirs.ecg, theirs.beats, theirs.infoEntry()));
    const QMap<QString, QByteArray> before = snapshot(mine.root);

    StudyStore store(mine.root);
    EXPECT_EQ(store.importStudy(archive), 222);
    // Study 111 is untouched, its files and its row.
    for (const char *extension : {"hxstudy", "hxecg", "hxbeats"})
        EXPECT_EQ(readAll(mine.file(extension)), before.value(QFileInfo(mine.file(extension)).fileName())) << extension;
    StudyInfo row;
    ASSERT_TRUE(store.fetchRow(111, row));
    EXPECT_EQ(row.baseFilename, mine.info.baseFilename);
    const Study *kept = store.openStudy(111);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->id(), 111);
    store.closeStudy(kept);

    // Study 222 is whole under the free name, its document saying so.
    const QByteArray freeName = mine.info.baseFilename + "_2";
    ASSERT_TRUE(store.fetchRow(222, row));
    EXPECT_EQ(row.baseFilename, freeName);
    EXPECT_EQ(readAll(mine.file("hxecg", freeName)), theirs.ecg);
    EXPECT_EQ(readAll(mine.file("hxbeats", freeName)), theirs.beats);
    Study *arrived = store.openStudy(222);
    ASSERT_NE(arrived, nullptr);
    EXPECT_EQ(arrived->property("baseFilename"), freeName);
    ASSERT_NE(arrived->recording(), nullptr);
    EXPECT_EQ(arrived->recording()->readSample(2, 2), 9);
    store.closeStudy(arrived);
    EXPECT_EQ(filesIn(mine.root).size(), 6);  // no temporary left

    // The same archive again replaces study 222 where it now lives.
    EXPECT_EQ(store.importStudy(archive), 222);
    ASSERT_TRUE(store.fetchRow(222, row));
    EXPECT_EQ(row.baseFilename, freeName);
    EXPECT_EQ(filesIn(mine.root).size(), 6);
    EXPECT_EQ(readAll(mine.file("hxstudy")), before.value(QFileInfo(mine.file("hxstudy")).fileName()));

    // Both survive a rebuilt index.
    QFile::remove(mine.root + QStringLiteral("/data/studies.sqlite"));
    StudyStore rebuilt(mine.root);
    EXPECT_EQ(rebuilt.listStudies().size(), 2);
    EXPECT_TRUE(rebuilt.indexLeftOut().isEmpty());
}

TEST(ImportHardening, AStudyArrivingUnderANewNameReplacesItsOldFiles) {
    const Stored mine(111);
    // Study 111 again, renamed on the way: document and description agree on
    // the new name.
    const QByteArray renamed = "renamed-111";
    const QByteArray study = withStudyMember(mine.study, "baseFilename", QString::fromUtf8(renamed));
    const QString archive = mine.archive(mine.entries(study, mine.ecg, mine.beats, mine.infoEntry(renamed)));
    // A second study in the same store must stay as it is.
    StudyStore store(mine.root);
    StudyInfo otherInfo = smallStudyInfo("Otero", "Luis", "20261209100000");
    Study *created = store.createStudy(otherInfo);
    store.closeStudy(created);
    const QByteArray otherStudy = readAll(mine.file("hxstudy", otherInfo.baseFilename));

    EXPECT_EQ(store.importStudy(archive), 111);
    StudyInfo row;
    ASSERT_TRUE(store.fetchRow(111, row));
    EXPECT_EQ(row.baseFilename, renamed);
    for (const char *extension : {"hxstudy", "hxecg", "hxbeats"})
        EXPECT_FALSE(QFileInfo::exists(mine.file(extension))) << "old " << extension << " left behind";
    EXPECT_EQ(readAll(mine.file("hxstudy", renamed)), study);
    EXPECT_EQ(readAll(mine.file("hxstudy", otherInfo.baseFilename)), otherStudy);
    EXPECT_EQ(filesIn(mine.root).size(), 6);
}

TEST(ImportHardening, OnlyRegularFilesAreOpenedAsArchives) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.hxz"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    StudyStore store(dir.filePath(QStringLiteral("store")));
    for (const QString &path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        QElapsedTimer timer;
        timer.start();
        try {
            store.importStudy(path);
            ADD_FAILURE() << "imported";
        } catch (const std::runtime_error &error) {
            EXPECT_STREQ(error.what(), "Cannot open zip archive");
        }
        EXPECT_LT(timer.elapsed(), 1000);
    }
    EXPECT_TRUE(store.listArchives(dir.path()).isEmpty());  // the pipe is named like an archive
}

TEST(ImportHardening, ATooLargeEntryIsRefusedByTheExtractorWithoutInflating) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bomb.zip"));
    writeAll(path, ZipTest::zipArchive({ZipTest::zeroBomb("big", "x", kBombMiB)}));
    QElapsedTimer timer;
    timer.start();
    QZipFileExtractor zip(path);
    EXPECT_EQ(zip.entrySize(QStringLiteral("big")), 1 + qint64(kBombMiB) * (1 << 20));
    QBuffer sink;
    try {
        zip.extract(QStringLiteral("big"), &sink, 1 << 20);
        ADD_FAILURE() << "extracted";
    } catch (const std::runtime_error &error) {
        EXPECT_STREQ(error.what(), "File in zip archive is too large");
    }
    EXPECT_TRUE(sink.data().isEmpty());
    EXPECT_LT(timer.elapsed(), 1500);
    QByteArray prefix;
    ASSERT_TRUE(zip.extractPrefix(QStringLiteral("big"), 4, prefix));
    EXPECT_EQ(prefix, QByteArray("x\0\0\0", 4));
}

}  // namespace
