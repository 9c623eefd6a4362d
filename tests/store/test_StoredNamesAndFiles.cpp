// Names and files the store finds already on disk: index rows pointing out
// of the store, study files the index is rebuilt from, studies whose files
// no longer read back, oversized documents, and studies only viewed.

#include "StoreTestSupport.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/StudyFiles.h"
#include "store/StudyIndex.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <fcntl.h>
#include <functional>
#include <vector>

using namespace StoreTest;

namespace {

struct StoreWithStudy {
    QTemporaryDir top;
    QString root;
    StudyInfo info;

    StoreWithStudy() {
        root = top.path() + QStringLiteral("/store");
        StudyStore store(root);
        info = smallStudyInfo();
        Study *study = store.createStudy(info);
        const std::int16_t a[] = {1, 2}, b[] = {3, 4}, c[] = {5, 6};
        const std::int16_t *frames[] = {a, b, c};
        study->recording()->append(2, frames);
        study->beats()->append(QByteArray(BeatFile::recordLengthFor(3), '\x01'));
        store.saveStudy(*study);
        store.closeStudy(study);
    }
    QString file(const char *extension) const {
        return QStringLiteral("%1/%2.%3").arg(root, QString::fromUtf8(info.baseFilename), QLatin1String(extension));
    }
};

TEST(StoredNames, AnIndexRowPointingOutOfTheStoreIsNeverFollowed) {
    StoreWithStudy s;
    // A study file waiting just outside the store, which a followed row would read.
    QFile::copy(s.file("hxstudy"), s.top.path() + QStringLiteral("/escape.hxstudy"));
    QDir().mkpath(s.top.path() + QStringLiteral("/out"));
    const QStringList bases = {"../escape", s.top.path() + QStringLiteral("/escape"), "..", "", "a\\..\\escape"};
    qint32 id = 500;
    for (const QString &base : bases) {
        SCOPED_TRACE(base.toStdString());
        {
            StudyIndex index(StudyIndex::databasePathUnder(s.root), {});
            StudyInfo row;
            row.id = ++id;
            row.baseFilename = base.toUtf8();
            index.write(row, true);
        }
        const QMap<QString, QByteArray> before = snapshot(s.top.path());
        StudyStore store(s.root);
        for (const auto &operation : std::vector<std::function<void()>>{
                 [&] { store.openStudy(id); },
                 [&] { store.openStudy(id, HeaderedFile::Access::ReadOnly); },
                 [&] { store.exportStudy(id, s.top.path() + QStringLiteral("/out")); },
                 [&] { store.deleteStudy(id); },
             }) {
            try {
                operation();
                ADD_FAILURE() << "followed the row";
            } catch (const std::runtime_error &error) {
                EXPECT_STREQ(error.what(), "Invalid study file name");
            }
        }
        EXPECT_FALSE(store.isStudyOpen(id));
        EXPECT_TRUE(snapshot(s.top.path()) == before);
    }
}

// A study document written by hand, plain ("HXSTUDY1").
QByteArray plainStudyFile(const QJsonObject &study, bool withPatient = true) {
    QJsonObject document{{"study", study}};
    if (withPatient) document.insert("patient", QJsonObject{{"lastName", "L"}, {"firstName", "F"}});
    return QByteArray("HXSTUDY1") + QJsonDocument(document).toJson(QJsonDocument::Compact);
}

QJsonObject studyObject(const QString &base, const QJsonValue &id) {
    return {{"id", id}, {"baseFilename", base}, {"studyType", "ECG"}, {"studyDateTime", "20261208093000"}};
}

TEST(StoredNames, RebuildIndexesEveryValidStudyAndNamesEveryFileLeftOut) {
    QTemporaryDir dir;
    const QString root = dir.path();
    QJsonObject wrongType = studyObject("wrongtype", 15);
    wrongType.insert("status", 5);
    struct File {
        const char *name;
        QByteArray bytes;
        const char *reason;  // empty: indexed
    };
    const QList<File> files = {
        {".hidden.hxstudy", plainStudyFile(studyObject(".hidden", 11)), ""},
        {"plain.hxstudy", plainStudyFile(studyObject("plain", 12)), ""},
        {"damaged.hxstudy", QByteArray("HXSTUDY2\x00\x00\x01\x00garbage", 19), "damaged"},
        {"badmagic.hxstudy", "HXSTUDY9{}", "HXSTUDY1"},
        {"wrongtype.hxstudy", plainStudyFile(wrongType), "\"status\" is not text"},
        {"idtext.hxstudy", plainStudyFile(studyObject("idtext", "13")), "id"},
        {"idhuge.hxstudy", plainStudyFile(studyObject("idhuge", 1.5e300)), "id"},
        {"idfraction.hxstudy", plainStudyFile(studyObject("idfraction", 13.5)), "id"},
        {"mismatch.hxstudy", plainStudyFile(studyObject("plain", 14)), "baseFilename"},
        {"twin.hxstudy", plainStudyFile(studyObject("twin", 12)), "plain.hxstudy"},
        {"nopatient.hxstudy", plainStudyFile(studyObject("nopatient", 16), false), "patient"},
        {"upper.HXSTUDY", plainStudyFile(studyObject("upper", 17)), "extension"},
    };
    QDir().mkpath(root + QStringLiteral("/data"));
    for (const File &f : files) writeAll(root + QLatin1Char('/') + QLatin1String(f.name), f.bytes);

    StudyStore store(root);
    QList<qint32> ids;
    for (const StudyInfo &row : store.listStudies()) ids << row.id;
    EXPECT_EQ(ids, QList<qint32>({11, 12}));
    StudyInfo hidden;
    ASSERT_TRUE(store.fetchRow(11, hidden));
    EXPECT_EQ(hidden.baseFilename, QByteArray(".hidden"));

    QMap<QString, QString> leftOut;
    for (const StudyFolderScan::LeftOut &file : store.indexLeftOut()) leftOut.insert(file.fileName, file.reason);
    for (const File &f : files) {
        SCOPED_TRACE(f.name);
        if (*f.reason == '\0') {
            EXPECT_FALSE(leftOut.contains(QLatin1String(f.name)));
        } else {
            ASSERT_TRUE(leftOut.contains(QLatin1String(f.name)));
            EXPECT_TRUE(leftOut.value(QLatin1String(f.name)).contains(QLatin1String(f.reason)))
                << leftOut.value(QLatin1String(f.name)).toStdString();
        }
    }
    EXPECT_EQ(leftOut.size(), files.size() - 2);
}

TEST(StoredNames, ExportRefusesAStudyWhoseFilesDoNotReadBack) {
    struct Case {
        const char *label;
        const char *damaged;  // the file named in the message
        std::function<void(const QString &)> damage;
        const char *reason;
    };
    const QList<Case> cases = {
        {"recording cut inside a frame", "hxecg",
         [](const QString &path) { QFile(path).resize(QFileInfo(path).size() - 1); }, "frame"},
        {"recording gone", "hxecg", [](const QString &path) { QFile::remove(path); }, "shorter than its header"},
        {"beat file without magic", "hxbeats",
         [](const QString &path) {
             QByteArray bytes = readAll(path);
             bytes.replace(0, 8, QByteArray(8, '\0'));
             writeAll(path, bytes);
         },
         "HXBEATS1"},
        {"study file damaged", "hxstudy", [](const QString &path) { writeAll(path, "HXSTUDY2\x01\x02"); }, "damaged"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        StoreWithStudy s;
        c.damage(s.file(c.damaged));
        QTemporaryDir out;
        StudyStore store(s.root);
        try {
            store.exportStudy(s.info.id, out.path());
            ADD_FAILURE() << "exported";
        } catch (const std::runtime_error &error) {
            const QString text = QString::fromUtf8(error.what());
            EXPECT_TRUE(text.startsWith(QStringLiteral("Cannot export ") + s.file(c.damaged))) << error.what();
            EXPECT_TRUE(text.contains(QLatin1String(c.reason))) << error.what();
        }
        EXPECT_TRUE(filesIn(out.path()).isEmpty());
    }
}

TEST(StoredNames, AnOversizedStudyFileIsDamagedAndNeverReadWhole) {
    StoreWithStudy s;
    {
        QFile file(s.file("hxstudy"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("HXSTUDY1{\"study\":{");
        // Sparse: costs no disk, but a reader that reads it whole pays 65 MiB.
        ASSERT_TRUE(file.resize((qint64(65) << 20) + 100));
    }
    QElapsedTimer timer;
    timer.start();
    QString problem;
    EXPECT_FALSE(StudyFiles::readStudyDocument(s.file("hxstudy"), &problem));
    EXPECT_TRUE(problem.contains(QLatin1String("larger"))) << problem.toStdString();
    StudyStore store(s.root);
    EXPECT_EQ(store.openStudy(s.info.id), nullptr);
    EXPECT_LT(timer.elapsed(), 500);
}

// The access mode of this process's descriptor for `path`, from /proc.
int accessModeOf(const QString &path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QString &fd : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (QFileInfo(QStringLiteral("/proc/self/fd/") + fd).symLinkTarget() != target) continue;
        for (const QByteArray &line : readAll(QStringLiteral("/proc/self/fdinfo/") + fd).split('\n'))
            if (line.startsWith("flags:")) return int(line.mid(6).trimmed().toInt(nullptr, 8) & O_ACCMODE);
    }
    return -1;
}

TEST(StoredNames, AViewedStudyOpensItsSignalFilesForReadingOnly) {
    if (!QFileInfo::exists(QStringLiteral("/proc/self/fdinfo"))) GTEST_SKIP() << "no /proc here";
    StoreWithStudy s;
    StudyStore store(s.root);
    const struct {
        HeaderedFile::Access access;
        int mode;
    } cases[] = {{HeaderedFile::Access::ReadOnly, O_RDONLY}, {HeaderedFile::Access::ReadWrite, O_RDWR}};
    for (const auto &c : cases) {
        Study *study = store.openStudy(s.info.id, c.access);
        ASSERT_NE(study, nullptr);
        ASSERT_NE(study->recording(), nullptr);
        ASSERT_NE(study->beats(), nullptr);
        EXPECT_EQ(study->recording()->readSample(2, 1), 6);
        EXPECT_EQ(accessModeOf(s.file("hxecg")), c.mode);
        EXPECT_EQ(accessModeOf(s.file("hxbeats")), c.mode);
        store.closeStudy(study);
    }
}

}  // namespace
