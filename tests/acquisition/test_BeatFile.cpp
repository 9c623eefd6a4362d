#include "RecordingFileSupport.h"
#include "acquisition/BeatFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <climits>

namespace {

constexpr int Header = 256, Length = 2 * 80 + 56;  // two channels

// Record i: every byte 'a' + i, with the given class word at byte 48.
QByteArray record(int i, qint32 classWord = 0) {
    QByteArray r(Length, char('a' + i));
    for (int b = 0; b < 4; ++b) r[48 + b] = char((quint32(classWord) >> (8 * b)) & 0xff);
    return r;
}

struct BeatFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("beats");
};

}  // namespace

TEST_F(BeatFileTest, RecordsFollowThePaddedHeaderAtFixedOffsetsAndOutOfRangeChangesNothing) {
    BeatFile beats(path, 2, Header, true);
    EXPECT_EQ(fileBytes(path), QByteArray(Header, '\0'));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(beats.append(record(i)), i);
    EXPECT_TRUE(beats.writeHeader("BEATS", 5));
    EXPECT_TRUE(beats.update(1, record(7)));
    const QByteArray expected = "BEATS" + QByteArray(Header - 5, '\0') + record(0) + record(7) + record(2);
    EXPECT_EQ(fileBytes(path), expected);
    for (qint64 i : {3, 5, -1}) {
        QByteArray got = "untouched";
        EXPECT_FALSE(beats.exclude(i) || beats.include(i) || beats.update(i, record(9)) || beats.read(i, got));
        EXPECT_EQ(got, "untouched");
    }
    EXPECT_THROW(beats.append(QByteArray(Length - 1, 'z')), std::invalid_argument);
    EXPECT_THROW(beats.update(0, QByteArray(Length + 1, 'z')), std::invalid_argument);
    EXPECT_EQ(beats.count(), 3);
    EXPECT_EQ(fileBytes(path), expected);
}

TEST_F(BeatFileTest, ClassWordDecidesInclusionAndOnlyAnExclusionIsUndone) {
    const struct {
        qint32 word;
        bool included;
        qint32 afterInclude;
    } cases[] = {{0, true, 0},   {1, true, 1},   {INT_MAX, true, INT_MAX},
                 {-1, false, 0}, {-2, false, 0}, {INT_MIN, false, 0}};
    for (const auto &t : cases) {
        BeatFile beats(path, 2, Header, true);
        beats.append(record(0));
        beats.append(record(1, t.word));
        const QByteArray before = fileBytes(path);
        auto expectWord = [&](qint32 word, bool included) {
            QByteArray got, expected = before;
            bool isIncluded = !included;
            ASSERT_TRUE(beats.read(1, got, &isIncluded));
            EXPECT_EQ(isIncluded, included) << t.word << " -> " << word;
            EXPECT_EQ(fileBytes(path), expected.replace(Header + Length, Length, record(1, word)));
        };
        expectWord(t.word, t.included);
        EXPECT_TRUE(beats.include(1));
        expectWord(t.afterInclude, true);
        EXPECT_TRUE(beats.exclude(1));
        expectWord(-1, false);
        EXPECT_TRUE(beats.include(1));
        expectWord(0, true);
    }
}

TEST_F(BeatFileTest, ATrailingPartialRecordIsNotCountedAndIsOverwrittenByTheNextAppend) {
    writeFileBytes(path, QByteArray(Header, 'H') + record(0) + record(1) + record(2) + QByteArray(100, 'x'));
    EXPECT_EQ(BeatFile(path, 2, Header, false).count(), 3);
    EXPECT_EQ(BeatFile(path, 2, Header, false).append(record(3)), 3);
    EXPECT_EQ(BeatFile(path, 2, Header, false).count(), 4);
    EXPECT_EQ(fileBytes(path).mid(Header), record(0) + record(1) + record(2) + record(3));
}

TEST_F(BeatFileTest, WriteErrorsAreReportedAndOnlyWholeRecordsCount) {
    BeatFile beats(path, 2, Header, true);
    beats.append(record(0));
    {
        FileSizeCap cap(Header + Length + 100);
        if (!cap.active) GTEST_SKIP() << "cannot cap the file size";
        EXPECT_EQ(beats.append(record(1)), -1);
    }
    EXPECT_TRUE(beats.hasWriteError());
    EXPECT_FALSE(beats.writeErrorString().isEmpty());
    EXPECT_EQ(beats.count(), 1);
    EXPECT_EQ(beats.append(record(2)), 1);
    EXPECT_EQ(fileBytes(path).mid(Header), record(0) + record(2));
}
