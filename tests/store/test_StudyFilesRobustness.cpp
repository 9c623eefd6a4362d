// Damaged study, recording and beat files: every reader must refuse or cope,
// never crash, hang, read out of bounds or throw anything undocumented.
#include "StudyTestSupport.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/StudyDocument.h"
#include "store/StudyFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kVariants = 1000;
// Each of these reads and writes a whole document, which is slow under the
// sanitizers; fewer suffice, as every variant scrambles many members.
constexpr int kScrambledVariants = 150;

// Variant `i` of `base`: cut short, bits flipped (anywhere or within the
// first `hotBytes`, where the magic, lengths and header text lie), a run
// overwritten with noise, or cut and flipped.
QByteArray damaged(const QByteArray &base, int i, int hotBytes, std::mt19937 &rng) {
    QByteArray bytes = base;
    const auto below = [&](int n) { return n <= 0 ? 0 : int(rng() % unsigned(n)); };
    const int kind = i % 5;
    if (kind == 0 || kind == 4) bytes.truncate(below(bytes.size()));
    if (kind == 1 || kind == 2 || kind == 4) {
        const int span = kind == 2 ? std::min(hotBytes, bytes.size()) : bytes.size();
        for (int flips = 1 + below(8); flips > 0 && span > 0; --flips) {
            const int at = below(span);
            bytes[at] = char(bytes[at] ^ (1 << below(8)));
        }
    }
    if (kind == 3 && !bytes.isEmpty()) {
        const int at = below(bytes.size());
        for (int k = at; k < std::min(bytes.size(), at + 1 + below(32)); ++k) bytes[k] = char(rng());
    }
    return bytes;
}

// Runs a reader on a damaged file; the only exception a reader may throw for
// a file it could read but not open for writing is "Cannot open file".
template <typename Read>
void expectCopes(const Read &read, int variant) {
    try {
        read();
    } catch (const std::runtime_error &error) {
        EXPECT_STREQ(error.what(), "Cannot open file") << "variant " << variant;
    } catch (const std::exception &error) {
        ADD_FAILURE() << "variant " << variant << ": " << error.what();
    }
}

// `value` with members and elements replaced, one in ten, by a value of some
// other type; the structure below them is scrambled the same way.
QJsonValue scrambled(const QJsonValue &value, std::mt19937 &rng) {
    if (rng() % 10 == 0) {
        switch (rng() % 8) {
        case 0: return QJsonValue();
        case 1: return true;
        case 2: return -1e300;
        case 3: return 3.5;
        case 4: return QStringLiteral("MidSeptum");
        case 5: return QJsonArray{1, "a", QJsonObject()};
        case 6: return QJsonObject{{"type", "trend"}};
        default: return 2147483648.0;
        }
    }
    if (value.isObject()) {
        QJsonObject object = value.toObject();
        for (auto member = object.begin(); member != object.end(); ++member)
            member.value() = scrambled(member.value(), rng);
        return object;
    }
    if (value.isArray()) {
        QJsonArray array = value.toArray();
        for (int k = 0; k < array.size(); ++k) array[k] = scrambled(array.at(k), rng);
        return array;
    }
    return value;
}

struct StudyFilesRobustness : ::testing::Test {
    QTemporaryDir dir;
    std::mt19937 rng{20240611u};
};

}  // namespace

TEST_F(StudyFilesRobustness, DamagedStudyFilesAreRefusedOrReadWhole) {
    const QString path = dir.filePath("s.hxstudy");
    const std::unique_ptr<Study> full = fullStudy();
    StudyFiles::writeStudyFile(*full, path);
    const QByteArray compressed = fileBytes(path);
    const QByteArray plain = "HXSTUDY1" + StudyDocument::serialise(*full);
    int opened = 0;
    for (int i = 0; i < kVariants; ++i) {
        // Half the variants damage the JSON text itself, which the checksum
        // of the compressed form would mostly catch first.
        writeFileBytes(path, damaged(i % 2 ? plain : compressed, i / 2, 64, rng));
        expectCopes(
            [&] {
                const std::unique_ptr<Study> study = StudyFiles::readStudyFile(path);
                if (!study) return;
                ++opened;
                StudyDocument::serialise(*study);
                for (int k = 0; k < study->eventCount(); ++k) (void)study->event(k).position;
            },
            i);
    }
    EXPECT_GT(opened, 0);
    EXPECT_LT(opened, kVariants);
}

TEST_F(StudyFilesRobustness, MembersOfTheWrongTypeAreReadAsEmptyOrZero) {
    const QString path = dir.filePath("s.hxstudy");
    const QJsonObject document = StudyDocument::toJson(*fullStudy());
    int opened = 0;
    for (int i = 0; i < kScrambledVariants; ++i) {
        const QJsonObject variant = scrambled(document, rng).toObject();
        writeFileBytes(path, "HXSTUDY1" + QJsonDocument(variant).toJson(QJsonDocument::Compact));
        expectCopes(
            [&] {
                const std::unique_ptr<Study> study = StudyFiles::readStudyFile(path);
                ASSERT_EQ(study != nullptr, !variant.value("study").toObject().isEmpty()) << "variant " << i;
                if (!study) return;
                ++opened;
                // What was read is written back as a well-formed document.
                EXPECT_TRUE(StudyDocument::fromJson(StudyDocument::toJson(*study))) << "variant " << i;
            },
            i);
    }
    EXPECT_GT(opened, kScrambledVariants / 2);
}

TEST_F(StudyFilesRobustness, DamagedRecordingFilesAreRefusedOrReadWithinBounds) {
    const QString path = dir.filePath("s.hxecg");
    const int channels = 3;
    int headerLength = 0;
    {
        FileSignal recording(path, channels, 500, FileSignal::StudyHeaderSize, true);
        recording.setChannelNames({"I", "II", "III"});
        const QByteArray header = StudyFiles::recordingHeader(*fullStudy(), recording);
        headerLength = header.size();
        recording.writeHeader(header);
        std::vector<qint16> samples(6000);
        for (std::size_t k = 0; k < samples.size(); ++k) samples[k] = qint16(k * 37);
        const qint16 *perChannel[] = {samples.data(), samples.data(), samples.data()};
        recording.append(int(samples.size()), perChannel);
    }
    const QByteArray base = fileBytes(path);
    int opened = 0;
    for (int i = 0; i < kVariants; ++i) {
        const QByteArray bytes = damaged(base, i, headerLength + 8, rng);
        writeFileBytes(path, bytes);
        expectCopes(
            [&] {
                const std::unique_ptr<FileSignal> recording = StudyFiles::openRecordingFile(path);
                if (!recording) return;
                ++opened;
                const int n = recording->channelCount();
                ASSERT_GE(n, 1);
                ASSERT_LE(n, StudyFiles::kMaxRecordingChannels);
                EXPECT_EQ(recording->length(), std::max(0, bytes.size() - 4096) / (2 * n)) << "variant " << i;
                std::vector<double> range(300);
                std::vector<std::int16_t> block(FileSignal::BlockSize);
                for (int c = -1; c <= n; ++c) {
                    for (std::int64_t first : {std::int64_t(-100), std::int64_t(0), std::int64_t(4000),
                                               recording->length() - 50, recording->length() + 10})
                        recording->readRange(c, first, int(range.size()), range.data());
                    (void)recording->readSample(c, recording->length() - 1);
                    for (std::int64_t b = -1; b <= recording->blockCount(); ++b)
                        recording->readBlock(c, b, block.data());
                }
            },
            i);
    }
    EXPECT_GT(opened, 0);
    EXPECT_LT(opened, kVariants);
}

TEST_F(StudyFilesRobustness, DamagedBeatFilesAreRefusedOrReadByWholeRecords) {
    const QString path = dir.filePath("s.hxbeats");
    const int channels = 3, length = BeatFile::recordLengthFor(channels);
    QByteArray base = "HXBEATS1" + QByteArray(248, '\0');
    for (int k = 0; k < 20 * length; ++k) base += char(rng());
    int opened = 0;
    for (int i = 0; i < kVariants; ++i) {
        const QByteArray bytes = damaged(base, i, 256, rng);
        writeFileBytes(path, bytes);
        expectCopes(
            [&] {
                const std::unique_ptr<BeatFile> beats = StudyFiles::openBeatFile(path, channels);
                if (!beats) return;
                ++opened;
                EXPECT_EQ(beats->count(), std::max(0, bytes.size() - 256) / length) << "variant " << i;
                QByteArray record;
                for (qint64 k = -1; k <= beats->count(); ++k) {
                    bool included = false;
                    EXPECT_EQ(beats->read(k, record, &included), k >= 0 && k < beats->count());
                }
                EXPECT_FALSE(beats->exclude(beats->count()));
                if (beats->count() > 0) {
                    EXPECT_TRUE(beats->exclude(0));
                    EXPECT_TRUE(beats->include(0));
                }
            },
            i);
    }
    EXPECT_GT(opened, 0);
    EXPECT_LT(opened, kVariants);
}
