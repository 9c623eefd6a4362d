// Failures of the archive classes: each reports its exact text, and none
// leaves a partial archive or a half-extracted file in place of a good one.
#include "ZipTestParser.h"
#include "ZipTestSupport.h"
#include "store/QZipFileCreator.h"
#include "store/QZipFileExtractor.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace ZipTest;

namespace {

// Runs `action` and returns the text of the runtime error it throws.
std::string errorOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const std::runtime_error &e) {
        return e.what();
    }
    return "(no error)";
}

QStringList filesIn(const QString &folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

class ZipErrorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        archive_ = dir_.filePath(QStringLiteral("study.hxz"));
        QZipFileCreator zip(archive_);
        zip.setComment(QStringLiteral("HXZIP1"));
        for (const auto &[name, bytes] : entries_) zip.addData(bytes, name);
        zip.close();
        bytes_ = readAll(archive_);
        records_ = parseArchive(bytes_);
        ASSERT_EQ(records_.records.size(), 4u);
    }

    QString path(const char *name) const { return dir_.filePath(QLatin1String(name)); }

    QTemporaryDir dir_;
    QString archive_;
    QByteArray bytes_;
    ArchiveRecords records_;
    const std::vector<std::pair<QString, QByteArray>> entries_ = studyEntries();
};

TEST_F(ZipErrorsTest, CreatorRefusesDestinationsItCannotWrite) {
    const QString missingFolder = path("no such folder/a.hxz");
    const QString folder = path("a folder.hxz");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString &target : {missingFolder, folder}) {
        SCOPED_TRACE(target.toStdString());
        EXPECT_EQ(errorOf([&] { QZipFileCreator zip(target); }), "Cannot create zip archive");
    }
    EXPECT_FALSE(QFileInfo::exists(missingFolder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(ZipErrorsTest, ExtractorRefusesWhatIsNotAnArchive) {
    writeAll(path("empty.hxz"), QByteArray());
    writeAll(path("text.hxz"), "HXZIP1 is not a zip archive\n");
    writeAll(path("noise.hxz"), randomBytes(4000, 5));
    writeAll(path("half.hxz"), bytes_.left(bytes_.size() / 2));
    writeAll(path("no-end.hxz"), bytes_.left(int(records_.endOffset) + 10));
    ASSERT_TRUE(QDir().mkpath(path("folder.hxz")));
    for (const char *name :
         {"missing.hxz", "empty.hxz", "text.hxz", "noise.hxz", "half.hxz", "no-end.hxz", "folder.hxz"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(errorOf([&] { QZipFileExtractor zip(path(name)); }), "Cannot open zip archive");
    }
}

TEST_F(ZipErrorsTest, CommentRunningPastTheEndIsReported) {
    QByteArray damaged = bytes_;
    putLe16(damaged, records_.endOffset + 20, 200);
    writeAll(archive_, damaged);
    EXPECT_EQ(errorOf([&] { QZipFileExtractor zip(archive_); }), "Cannot read comment in zip archive");
}

TEST_F(ZipErrorsTest, MissingEntryReturnsFalseAndTouchesNothing) {
    QZipFileExtractor zip(archive_);
    const QString existing = path("existing");
    writeAll(existing, "keep me");
    const QString absent = path("absent");
    const QString names[] = {QStringLiteral("HXSTUDY"),
                             QStringLiteral("hxstud"),
                             QStringLiteral("hxstudyx"),
                             QString(),
                             QString::fromUtf8("hxstudy\0info", 12),
                             QString(300, QLatin1Char('a'))};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        QBuffer buffer;
        EXPECT_FALSE(zip.extract(name, &buffer));
        EXPECT_FALSE(buffer.isOpen());
        EXPECT_TRUE(buffer.data().isEmpty());
        EXPECT_FALSE(zip.extractFile(name, existing));
        EXPECT_FALSE(zip.extractFile(name, absent));
    }
    EXPECT_EQ(readAll(existing), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo::exists(absent));
}

// Damage to one entry, with the text its extraction must report.
struct Damage {
    const char *label;
    const char *entry;
    std::function<void(QByteArray &, const EntryRecord &)> apply;
    const char *expected;
};

void setBothSizes(QByteArray &b, const EntryRecord &r, std::uint32_t size, const ArchiveRecords &a, int index) {
    putLe32(b, r.localOffset + 22, size);
    // The central header's size sits 24 bytes in; find the header by walking.
    qint64 at = a.directoryOffset;
    for (int i = 0; i < index; ++i) at += 46 + le16(b, at + 28) + le16(b, at + 30) + le16(b, at + 32);
    putLe32(b, at + 24, size);
}

TEST_F(ZipErrorsTest, DamagedEntriesReportTheirFaultAndReplaceNothing) {
    // The study entry is noise, so deflate stores it: after the 5-byte block
    // header every archive byte is a content byte, and flipping one keeps the
    // stream valid while breaking the checksum.
    const EntryRecord &study = records_.records[0];
    ASSERT_EQ(study.compressedSize, study.size + 5) << "expected one stored block";
    const ArchiveRecords &a = records_;

    const std::vector<Damage> damages = {
        {"local header signature", "hxecg", [](QByteArray &b, const EntryRecord &r) { b[int(r.localOffset)] = 'X'; },
         "Cannot open file in zip archive"},
        {"local method differs from directory", "hxecg",
         [](QByteArray &b, const EntryRecord &r) { putLe16(b, r.localOffset + 8, 0); },
         "Cannot open file in zip archive"},
        {"local name length differs", "info",
         [](QByteArray &b, const EntryRecord &r) { putLe16(b, r.localOffset + 26, 5); },
         "Cannot open file in zip archive"},
        {"invalid deflate block type", "hxecg",
         [](QByteArray &b, const EntryRecord &r) { b[int(r.dataOffset)] = char(b[int(r.dataOffset)] | 0x06); },
         "Cannot read file in zip archive"},
        {"content byte flipped", "hxstudy",
         [](QByteArray &b, const EntryRecord &r) {
             b[int(r.dataOffset + 5 + 300)] = char(b[int(r.dataOffset + 5 + 300)] ^ 0x10);
         },
         "Corrupt file read from zip archive"},
        {"checksum changed", "hxbeats",
         [](QByteArray &b, const EntryRecord &r) {
             putLe32(b, r.localOffset + 14, r.crc ^ 1u);
             // The directory copy of the checksum, found by its value.
             const QByteArray crc = b.mid(int(r.localOffset + 14), 4);
             QByteArray old(4, '\0');
             putLe32(old, 0, r.crc);
             const int at = b.indexOf(old, int(r.dataOffset + r.compressedSize));
             ASSERT_GT(at, 0);
             b.replace(at, 4, crc);
         },
         "Corrupt file read from zip archive"},
        // minizip compares the checksum only once the declared size is
        // reached, so an entry that ends early is caught by its length.
        {"declared one byte longer", "hxecg",
         [&a](QByteArray &b, const EntryRecord &r) { setBothSizes(b, r, r.size + 1, a, 1); },
         "Corrupt file read from zip archive"},
        {"declared one byte shorter", "hxecg",
         [&a](QByteArray &b, const EntryRecord &r) { setBothSizes(b, r, r.size - 1, a, 1); },
         "Corrupt file read from zip archive"},
    };

    const QString damaged = path("damaged.hxz");
    const QString target = path("target");
    for (const Damage &damage : damages) {
        SCOPED_TRACE(damage.label);
        int index = 0;
        while (entries_[size_t(index)].first != QLatin1String(damage.entry)) ++index;
        QByteArray bytes = bytes_;
        damage.apply(bytes, records_.records[size_t(index)]);
        ASSERT_NE(bytes, bytes_);
        writeAll(damaged, bytes);
        writeAll(target, "the good old file");

        QZipFileExtractor zip(damaged);
        QBuffer buffer;
        EXPECT_EQ(errorOf([&] { zip.extract(QLatin1String(damage.entry), &buffer); }), damage.expected);
        EXPECT_FALSE(buffer.isOpen());
        EXPECT_EQ(errorOf([&] { zip.extractFile(QLatin1String(damage.entry), target); }), damage.expected);
        EXPECT_EQ(readAll(target), QByteArray("the good old file"));

        // The extractor stays usable: an undamaged entry still comes out.
        const size_t other = damage.entry == QLatin1String("info") ? 0 : 3;
        QBuffer good;
        EXPECT_TRUE(zip.extract(entries_[other].first, &good));
        EXPECT_EQ(good.data(), entries_[other].second);
    }
    EXPECT_EQ(filesIn(dir_.path()), QStringList({"damaged.hxz", "study.hxz", "target"}));
}

TEST_F(ZipErrorsTest, ExtractingIntoAMissingFolderIsReported) {
    QZipFileExtractor zip(archive_);
    EXPECT_EQ(errorOf([&] { zip.extractFile(QStringLiteral("info"), path("no such folder/info")); }),
              "Cannot create file");
}

// A failed or abandoned export leaves the previous archive as it was and no
// temporary file behind; a missing source never becomes an empty entry.
struct FailedExport {
    const char *label;
    std::function<void(QZipFileCreator &, const QString &folder)> fill;
    const char *expected;
};

TEST_F(ZipErrorsTest, FailedExportKeepsThePreviousArchive) {
    const std::vector<FailedExport> failures = {
        {"missing source file",
         [](QZipFileCreator &zip, const QString &folder) {
             zip.addData("ok", QStringLiteral("info"));
             zip.addFile(folder + QStringLiteral("/not there.hxecg"), QStringLiteral("hxecg"));
         },
         "Cannot write data in zip file"},
        {"source is a folder",
         [](QZipFileCreator &zip, const QString &folder) { zip.addFile(folder, QStringLiteral("hxecg")); },
         "Cannot write data in zip file"},
        {"entry name too long for its field",
         [](QZipFileCreator &zip, const QString &) { zip.addData("x", QString(70000, QLatin1Char('n'))); },
         "Cannot open new file in zip"},
        {"comment too long for its field",
         [](QZipFileCreator &zip, const QString &) {
             zip.addData("x", QStringLiteral("info"));
             zip.setComment(QString(70000, QLatin1Char('c')));
             zip.close();
         },
         "Cannot close zip archive"},
        {"adding after close",
         [](QZipFileCreator &zip, const QString &) {
             zip.close();
             zip.addData("x", QStringLiteral("info"));
         },
         "Cannot open new file in zip"},
        {"other error while filling",
         [](QZipFileCreator &zip, const QString &) {
             zip.addData("x", QStringLiteral("info"));
             throw std::runtime_error("elsewhere");
         },
         "elsewhere"},
    };

    const QByteArray previous = "the previous archive";
    for (const FailedExport &failure : failures) {
        SCOPED_TRACE(failure.label);
        writeAll(archive_, previous);
        const QStringList before = filesIn(dir_.path());
        EXPECT_EQ(errorOf([&] {
                      QZipFileCreator zip(archive_);
                      zip.setComment(QStringLiteral("HXZIP1"));
                      failure.fill(zip, dir_.path());
                  }),
                  failure.expected);
        if (std::string(failure.label) != "adding after close") {
            EXPECT_EQ(readAll(archive_), previous);
        }
        EXPECT_EQ(filesIn(dir_.path()), before);
    }
}

// After a failed entry the archive cannot be finished: close() says so
// rather than writing an archive with a truncated or missing entry.
TEST_F(ZipErrorsTest, CloseAfterAFailedEntryReportsFailure) {
    writeAll(archive_, "the previous archive");
    QZipFileCreator zip(archive_);
    zip.addData("ok", QStringLiteral("info"));
    EXPECT_EQ(errorOf([&] { zip.addFile(path("missing"), QStringLiteral("hxecg")); }), "Cannot write data in zip file");
    EXPECT_EQ(errorOf([&] { zip.addData("more", QStringLiteral("hxbeats")); }), "Cannot open new file in zip");
    EXPECT_EQ(errorOf([&] { zip.close(); }), "Cannot close zip archive");
    EXPECT_EQ(errorOf([&] { zip.close(); }), "Cannot close zip archive");
    EXPECT_EQ(readAll(archive_), QByteArray("the previous archive"));
}

}  // namespace
