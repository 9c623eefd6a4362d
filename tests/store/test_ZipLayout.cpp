// The bytes of a study archive: every header field, the inflated data and
// the comment, read by an independent parser and by the system's unzip tool.
#include "ZipTestParser.h"
#include "ZipTestSupport.h"
#include "store/QZipFileCreator.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ZipTest;

namespace {

class ZipLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        archive_ = dir_.filePath(QStringLiteral("study.hxz"));
        // Three entries from files, the description from memory, as an export does.
        QZipFileCreator zip(archive_);
        zip.setComment(QStringLiteral("HXZIP1"));
        for (const auto &[name, bytes] : entries_) {
            if (name == QLatin1String("info")) {
                zip.addData(bytes, name);
            } else {
                const QString source = dir_.filePath(QStringLiteral("source.") + name);
                writeAll(source, bytes);
                zip.addFile(source, name);
            }
        }
        zip.close();
        bytes_ = readAll(archive_);
        ASSERT_FALSE(bytes_.isEmpty());
    }

    QTemporaryDir dir_;
    QString archive_;
    QByteArray bytes_;
    const std::vector<std::pair<QString, QByteArray>> entries_ = studyEntries();
};

TEST_F(ZipLayoutTest, HeadersDataAndCommentAreExact) {
    const ArchiveRecords a = parseArchive(bytes_);
    ASSERT_GE(a.endOffset, 0);
    EXPECT_EQ(a.comment, QByteArray("HXZIP1"));
    EXPECT_EQ(a.endOffset + 22 + 6, bytes_.size());
    EXPECT_EQ(a.disk, 0);
    EXPECT_EQ(a.directoryDisk, 0);
    EXPECT_EQ(a.entriesOnDisk, 4);
    EXPECT_EQ(a.entries, 4);
    EXPECT_EQ(qint64(a.directoryOffset) + a.directorySize, a.endOffset);
    ASSERT_EQ(a.records.size(), entries_.size());

    qint64 expectedLocal = 0;  // entries follow each other with nothing between
    for (size_t i = 0; i < entries_.size(); ++i) {
        const EntryRecord &r = a.records[i];
        const QByteArray &content = entries_[i].second;
        SCOPED_TRACE(entries_[i].first.toStdString());
        EXPECT_EQ(r.name, entries_[i].first.toUtf8());
        EXPECT_EQ(r.localName, r.name);
        EXPECT_EQ(r.localOffset, expectedLocal);
        EXPECT_EQ(r.localSignature, 0x04034b50u);
        EXPECT_EQ(r.versionNeeded, 20);
        EXPECT_EQ(r.localVersionNeeded, 20);
        // No encryption, no data descriptor, no other flag.
        EXPECT_EQ(r.flags, 0);
        EXPECT_EQ(r.localFlags, 0);
        EXPECT_EQ(r.method, 8);
        EXPECT_EQ(r.localMethod, 8);
        // Zeroed date fields: minizip stores month+1, so the date word is
        // "day 0 of January 1980" and the time word is 0.
        EXPECT_EQ(r.time, 0);
        EXPECT_EQ(r.localTime, 0);
        EXPECT_EQ(r.date, 0x0020);
        EXPECT_EQ(r.localDate, 0x0020);
        EXPECT_EQ(r.extraLength, 0);
        EXPECT_EQ(r.localExtraLength, 0);
        EXPECT_EQ(r.commentLength, 0);
        EXPECT_EQ(r.diskStart, 0);
        EXPECT_EQ(r.crc, crcOf(content));
        EXPECT_EQ(r.localCrc, r.crc);
        EXPECT_EQ(r.size, std::uint32_t(content.size()));
        EXPECT_EQ(r.localSize, r.size);
        EXPECT_EQ(r.localCompressedSize, r.compressedSize);

        const QByteArray stored = bytes_.mid(int(r.dataOffset), int(r.compressedSize));
        // The compressor may change; what a reader inflates may not.
        EXPECT_EQ(inflateRaw(stored, content.size()), content);
        expectedLocal = r.dataOffset + r.compressedSize;
    }
    EXPECT_EQ(expectedLocal, qint64(a.directoryOffset));
}

TEST_F(ZipLayoutTest, UnzipToolSeesCommentNamesOrderAndMethod) {
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty()) GTEST_SKIP() << "the unzip tool is not installed";

    QProcess test;
    test.start(unzip, {QStringLiteral("-tq"), archive_});
    ASSERT_TRUE(test.waitForFinished(30000));
    EXPECT_EQ(test.exitCode(), 0) << test.readAllStandardOutput().toStdString();

    QProcess info;
    info.start(unzip, {QStringLiteral("-Z"), QStringLiteral("-v"), archive_});
    ASSERT_TRUE(info.waitForFinished(30000));
    ASSERT_EQ(info.exitCode(), 0);
    const QString out = QString::fromUtf8(info.readAllStandardOutput());

    EXPECT_TRUE(out.contains(QStringLiteral("The zipfile comment is 6 bytes long"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\nHXZIP1"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("This zipfile constitutes the sole disk")));
    EXPECT_TRUE(out.contains(QStringLiteral("contains 4 entries")) ||
                out.contains(QStringLiteral("central directory contains 4 entries")))
        << out.toStdString();

    // Each entry's section begins with its name; they must come in order,
    // each deflated, unencrypted and with no extra field or comment.
    const QStringList sections = out.split(QStringLiteral("Central directory entry #"));
    ASSERT_EQ(sections.size(), 5) << out.toStdString();
    for (int i = 0; i < 4; ++i) {
        const QString &section = sections[i + 1];
        SCOPED_TRACE(entries_[size_t(i)].first.toStdString());
        EXPECT_TRUE(section.contains(QStringLiteral("\n  %1\n").arg(entries_[size_t(i)].first)))
            << section.toStdString();
        EXPECT_TRUE(section.contains(QRegularExpression(QStringLiteral("compression method:\\s+deflated"))));
        EXPECT_TRUE(section.contains(QRegularExpression(QStringLiteral("file security status:\\s+not encrypted"))));
        EXPECT_TRUE(section.contains(QRegularExpression(QStringLiteral("length of extra field:\\s+0 bytes"))));
        EXPECT_TRUE(section.contains(QRegularExpression(QStringLiteral("DOS date/time\\):\\s+1980 Jan 0 00:00:00"))));
        EXPECT_TRUE(section.contains(QRegularExpression(QStringLiteral("length of file comment:\\s+0 characters"))));
        EXPECT_TRUE(section.contains(QRegularExpression(
            QStringLiteral("uncompressed size:\\s+%1 bytes").arg(entries_[size_t(i)].second.size()))));
    }
}

}  // namespace
