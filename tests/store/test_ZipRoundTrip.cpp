// Contents of every awkward size go into an archive and come back unchanged,
// through files and memory, with names and comments in UTF-8.
#include "ZipTestSupport.h"
#include "store/QZipFileCreator.h"
#include "store/QZipFileExtractor.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ZipTest;

namespace {

struct Content {
    const char *label;
    QByteArray bytes;
};

// Around the 32768-byte chunk in both directions, empty, one byte, and a
// few megabytes of both noise and signal.
std::vector<Content> contents() {
    return {
        {"empty", QByteArray()},
        {"one byte", QByteArray(1, '\x7f')},
        {"chunk-1", randomBytes(32767, 11)},
        {"chunk", randomBytes(32768, 12)},
        {"chunk+1", randomBytes(32769, 13)},
        {"noise 3 MB", randomBytes(3 * 1024 * 1024 + 17, 14)},
        {"signal 2 MB", signalBytes(2 * 1024 * 1024 + 3)},
    };
}

TEST(ZipRoundTripTest, EverySizeComesBackIdenticalThroughFilesAndMemory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString archive = dir.filePath(QStringLiteral("sizes.hxz"));
    const std::vector<Content> table = contents();
    {
        QZipFileCreator zip(archive);
        zip.setComment(QStringLiteral("HXZIP1"));
        for (size_t i = 0; i < table.size(); ++i) {
            const QString source = dir.filePath(QStringLiteral("in%1").arg(i));
            writeAll(source, table[i].bytes);
            zip.addFile(source, QStringLiteral("file%1").arg(i));
            zip.addData(table[i].bytes, QStringLiteral("data%1").arg(i));
        }
        zip.close();
    }

    QZipFileExtractor zip(archive);
    EXPECT_EQ(zip.comment(), QStringLiteral("HXZIP1"));
    EXPECT_EQ(zip.entryCount(), 2 * table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(table[i].label);
        for (const QString &prefix : {QStringLiteral("file"), QStringLiteral("data")}) {
            const QString entry = prefix + QString::number(i);
            QBuffer buffer;
            ASSERT_TRUE(zip.extract(entry, &buffer));
            EXPECT_FALSE(buffer.isOpen()) << "the device is closed at the end";
            EXPECT_EQ(buffer.data(), table[i].bytes);

            // An empty entry still gives a file, and an existing file of that
            // name is replaced whole.
            const QString out = dir.filePath(QStringLiteral("out-") + entry);
            writeAll(out, QByteArray(70000, 'x'));
            ASSERT_TRUE(zip.extractFile(entry, out));
            EXPECT_TRUE(QFileInfo::exists(out));
            EXPECT_EQ(readAll(out), table[i].bytes);
        }
    }
}

TEST(ZipRoundTripTest, NamesAndCommentKeepNonAsciiText) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString archive = dir.filePath(QStringLiteral("names.hxz"));
    const QString comment = QString::fromUtf8("Prueba de esfuerzo \xc3\xb1 \xe2\x82\xac");
    const QString name = QString::fromUtf8("P\xc3\xa9rez/\xe5\xbf\x83\xe9\x9b\xbb\xe5\x9b\xb3");
    {
        QZipFileCreator zip(archive);
        zip.setComment(comment);
        zip.addData("first", name);
        zip.addData("second", QStringLiteral("hxstudy"));
        zip.close();
    }
    QZipFileExtractor zip(archive);
    EXPECT_EQ(zip.comment(), comment);
    QBuffer first, second;
    ASSERT_TRUE(zip.extract(name, &first));
    ASSERT_TRUE(zip.extract(QStringLiteral("hxstudy"), &second));
    EXPECT_EQ(first.data(), QByteArray("first"));
    EXPECT_EQ(second.data(), QByteArray("second"));
}

TEST(ZipRoundTripTest, ArchiveWithoutCommentHasEmptyComment) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString archive = dir.filePath(QStringLiteral("plain.hxz"));
    {
        QZipFileCreator zip(archive);
        zip.addData("x", QStringLiteral("info"));
        zip.close();
    }
    QZipFileExtractor zip(archive);
    EXPECT_TRUE(zip.comment().isEmpty());
    EXPECT_EQ(zip.entryCount(), 1u);
}

// An archive whose creator goes out of scope normally is finished and in
// place, just as if close() had been called.
TEST(ZipRoundTripTest, DestructorFinishesAnArchiveLeftOpen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString archive = dir.filePath(QStringLiteral("open.hxz"));
    {
        QZipFileCreator zip(archive);
        zip.setComment(QStringLiteral("HXZIP1"));
        zip.addData("payload", QStringLiteral("info"));
    }
    QZipFileExtractor zip(archive);
    EXPECT_EQ(zip.comment(), QStringLiteral("HXZIP1"));
    QBuffer buffer;
    ASSERT_TRUE(zip.extract(QStringLiteral("info"), &buffer));
    EXPECT_EQ(buffer.data(), QByteArray("payload"));
}

}  // namespace
