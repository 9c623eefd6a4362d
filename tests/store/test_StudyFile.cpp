#include "StudyTestSupport.h"
#include "store/StudyCompression.h"
#include "store/StudyDocument.h"
#include "store/StudyFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

struct StudyFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("H1-Doe-Ann.hxstudy");
};

QByteArray bigEndian32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// Inflated with zlib directly, independent of the code under test.
QByteArray inflated(const QByteArray &stream, uLongf length) {
    QByteArray text(static_cast<int>(length), '\0');
    const int status = uncompress(reinterpret_cast<Bytef *>(text.data()), &length,
                                  reinterpret_cast<const Bytef *>(stream.constData()), uLong(stream.size()));
    EXPECT_EQ(status, Z_OK);
    text.resize(static_cast<int>(length));
    return text;
}

}  // namespace

TEST_F(StudyFileTest, StudyFileIsMagicThenBigEndianLengthThenZlibStreamOfTheCompactDocument) {
    const std::unique_ptr<Study> study = smallStudy();
    StudyFiles::writeStudyFile(*study, path);
    const QByteArray bytes = fileBytes(path);
    const QByteArray document = StudyDocument::serialise(*study);
    ASSERT_GT(bytes.size(), 14);
    EXPECT_EQ(bytes.left(8), "HXSTUDY2");
    EXPECT_EQ(bytes.mid(8, 4), bigEndian32(quint32(document.size())));
    EXPECT_EQ(bytes.mid(12, 2), QByteArray("\x78\x9c"));  // zlib, default level
    EXPECT_EQ(inflated(bytes.mid(12), uLongf(document.size())), document);
    EXPECT_TRUE(document.startsWith(R"({"events":[{"description":"ST depression")"));
    EXPECT_EQ(StudyFiles::pathOf("/r", "a.b", "hxstudy"), "/r/a.b.hxstudy");
}

TEST_F(StudyFileTest, OnlyWholeFilesWithAKnownMagicAndAnObjectOpen) {
    const QByteArray json = StudyDocument::serialise(*smallStudy());
    const QByteArray packed = qCompress(json);
    const QByteArray stream = packed.mid(4);
    const struct {
        const char *name;
        QByteArray bytes;
        bool document, study;
    } cases[] = {
        {"empty file", "", false, false},
        {"seven bytes", "HXSTUDY", false, false},
        {"magic alone, compressed", "HXSTUDY2", false, false},
        {"magic alone, plain", "HXSTUDY1", false, false},
        {"plain", "HXSTUDY1" + json, true, true},
        {"compressed", "HXSTUDY2" + packed, true, true},
        {"other magic", "HXSTUDY3" + json, false, false},
        {"lower-case magic", "hxstudy1" + json, false, false},
        {"plain body under the compressed magic", "HXSTUDY2" + json, false, false},
        {"compressed body under the plain magic", "HXSTUDY1" + packed, false, false},
        {"truncated stream", "HXSTUDY2" + packed.left(packed.size() - 5), false, false},
        {"declared length beyond any expansion", "HXSTUDY2" + bigEndian32(0xffffffffu) + stream, false, false},
        {"declared length too short is only a hint", "HXSTUDY2" + bigEndian32(10) + stream, true, true},
        {"declared length zero", "HXSTUDY2" + bigEndian32(0) + stream, true, true},
        {"trailing text after the document", "HXSTUDY1" + json + "x", false, false},
        {"array document", "HXSTUDY1[1,2]", false, false},
        {"empty object", "HXSTUDY1{}", true, false},
        {"empty study object", R"(HXSTUDY1{"study":{},"patient":{"lastName":"Doe"}})", true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(path, c.bytes);
        const std::optional<QJsonObject> document = StudyFiles::readStudyDocument(path);
        EXPECT_EQ(document.has_value(), c.document);
        const std::unique_ptr<Study> study = StudyFiles::readStudyFile(path);
        ASSERT_EQ(study != nullptr, c.study);
        if (study) {
            EXPECT_EQ(StudyDocument::serialise(*study), json);
        }
    }
    EXPECT_FALSE(StudyFiles::readStudyDocument(dir.filePath("missing.hxstudy")));
    EXPECT_FALSE(StudyFiles::readStudyFile(dir.filePath("missing.hxstudy")));
    EXPECT_FALSE(StudyFiles::readStudyFile(dir.path()));
}

TEST_F(StudyFileTest, PlainStudyFileIsSavedAgainCompressed) {
    const QByteArray json = StudyDocument::serialise(*fullStudy());
    writeFileBytes(path, "HXSTUDY1" + json);
    const std::unique_ptr<Study> study = StudyFiles::readStudyFile(path);
    ASSERT_TRUE(study);
    StudyFiles::writeStudyFile(*study, path);
    const QByteArray bytes = fileBytes(path);
    EXPECT_EQ(bytes.left(8), "HXSTUDY2");
    EXPECT_EQ(inflated(bytes.mid(12), uLongf(json.size())), json);
}

TEST_F(StudyFileTest, FullStudySurvivesDocumentToFileToDocument) {
    const std::unique_ptr<Study> original = fullStudy();
    const QByteArray document = StudyDocument::serialise(*original);
    StudyFiles::writeStudyFile(*original, path);
    const std::unique_ptr<Study> read = StudyFiles::readStudyFile(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(StudyDocument::serialise(*read), document);
    // Saved again, the file is byte for byte the same.
    const QByteArray first = fileBytes(path);
    StudyFiles::writeStudyFile(*read, path);
    EXPECT_EQ(fileBytes(path), first);
}

TEST_F(StudyFileTest, FailedSaveLeavesThePreviousFileAsItWas) {
    StudyFiles::writeStudyFile(*smallStudy(), path);
    const QByteArray previous = fileBytes(path);

    const auto expectThrows = [](const std::function<void()> &save, const char *text) {
        try {
            save();
            ADD_FAILURE() << "no exception, expected " << text;
        } catch (const std::runtime_error &error) {
            EXPECT_STREQ(error.what(), text);
        }
    };
    // A parent that is a plain file defeats even a privileged user.
    writeFileBytes(dir.filePath("plain"), "x");
    expectThrows([&] { StudyFiles::writeStudyFile(*smallStudy(), dir.filePath("plain/s.hxstudy")); },
                 "Cannot create study file");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.hxstudy"));
    expectThrows([&] { StudyFiles::writeStudyFile(*smallStudy(), dir.filePath("folder.hxstudy")); },
                 "Cannot create study file");
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.hxstudy")).isDir());

    // A full disk: the new text (incompressible, well past the cap) cannot
    // all be written.
    std::unique_ptr<Study> bigger = fullStudy();
    QByteArray noise(200000, '\0');
    quint32 state = 12345;
    for (char &c : noise) c = char('A' + ((state = state * 1103515245u + 12345u) >> 16) % 26);
    bigger->setProperty("comments", noise);
    {
        FileSizeCap cap(static_cast<rlim_t>(previous.size() + 4096));
        if (!cap.active) GTEST_SKIP() << "cannot cap the file size here";
        expectThrows([&] { StudyFiles::writeStudyFile(*bigger, path); }, "Write error");
    }
    EXPECT_EQ(fileBytes(path), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"H1-Doe-Ann.hxstudy", "plain"}));
}

TEST(StudyCompression, DeclaredLengthsAreBoundedByWhatTheStreamCanHold) {
    const QByteArray zeros(20 * 1024 * 1024, '\0');  // close to zlib's best ratio
    const QByteArray packedZeros = qCompress(zeros);
    ASSERT_EQ(StudyCompression::compress(zeros), packedZeros);
    const std::optional<QByteArray> unpackedZeros = StudyCompression::uncompress(packedZeros);
    ASSERT_TRUE(unpackedZeros);
    EXPECT_EQ(*unpackedZeros, zeros);

    const QByteArray text = "{\"a\":1}";
    const QByteArray stream = qCompress(text).mid(4);
    QByteArray damaged = qCompress(text);
    damaged[damaged.size() - 1] = char(damaged[damaged.size() - 1] ^ 0x01);
    const qint64 bound = StudyCompression::kMaxExpansion * stream.size() + StudyCompression::kExpansionSlack;
    const struct {
        const char *name;
        QByteArray body;
        bool reads;
    } cases[] = {
        {"exact", qCompress(text), true},
        {"declared at the bound", bigEndian32(quint32(bound)) + stream, true},
        {"declared past the bound", bigEndian32(quint32(bound + 1)) + stream, false},
        {"declared 4 GiB", bigEndian32(0xffffffffu) + stream, false},
        {"no stream", bigEndian32(0), false},
        {"three bytes", QByteArray("\0\0\7", 3), false},
        {"empty", "", false},
        {"stream cut short", qCompress(text).left(10), false},
        {"damaged checksum", damaged, false},
    };
    for (const auto &c : cases) {
        const std::optional<QByteArray> got = StudyCompression::uncompress(c.body);
        EXPECT_EQ(got.has_value(), c.reads) << c.name;
        if (got) {
            EXPECT_EQ(*got, text) << c.name;
        }
    }
}
