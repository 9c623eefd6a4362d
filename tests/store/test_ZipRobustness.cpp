// Damaged archives, truncated and bit-flipped from a valid one, must neither
// crash nor hang the extractor, nor yield wrong content as if it were good.
#include "ZipTestSupport.h"
#include "store/QZipFileCreator.h"
#include "store/QZipFileExtractor.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

using namespace ZipTest;

namespace {

const std::set<std::string> &documentedTexts() {
    static const std::set<std::string> texts = {"Cannot open zip archive",
                                                "Cannot read zip archive",
                                                "Cannot read comment in zip archive",
                                                "Cannot get file info from zip archive",
                                                "Cannot open file in zip archive",
                                                "Cannot read file in zip archive",
                                                "Corrupt file read from zip archive"};
    return texts;
}

// One damaged variant: either cut short or with a few bits flipped, some of
// them landing in size, offset and count fields.
QByteArray damage(const QByteArray &valid, std::mt19937 &rng) {
    QByteArray bytes = valid;
    switch (rng() % 4) {
    case 0: bytes.truncate(int(rng() % std::uint32_t(valid.size()))); break;
    case 1:  // flips near the end, where the directory and its counts live
        for (int n = 1 + int(rng() % 4); n > 0; --n) {
            const int at = valid.size() - 1 - int(rng() % 200);
            bytes[at] = char(bytes[at] ^ (1 << (rng() % 8)));
        }
        break;
    case 2:  // whole bytes set to 0xFF: absurd lengths, sizes and offsets
        for (int n = 1 + int(rng() % 3); n > 0; --n) bytes[int(rng() % std::uint32_t(valid.size()))] = '\xff';
        break;
    default:
        for (int n = 1 + int(rng() % 8); n > 0; --n) {
            const int at = int(rng() % std::uint32_t(valid.size()));
            bytes[at] = char(bytes[at] ^ (1 << (rng() % 8)));
        }
    }
    return bytes;
}

TEST(ZipRobustnessTest, DamagedArchivesFailCleanlyOrYieldExactContent) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("variant.hxz"));
    // Small entries, so damage often lands in headers rather than data.
    const std::vector<std::pair<QString, QByteArray>> entries = {
        {QStringLiteral("hxstudy"), QByteArray("HXSTUDY2") + randomBytes(60, 3)},
        {QStringLiteral("hxecg"), QByteArray("HXECG1") + signalBytes(900)},
        {QStringLiteral("hxbeats"), QByteArray("HXBEATS1") + QByteArray(40, '\0')},
        {QStringLiteral("info"), QByteArray("{\"baseFilename\":\"a\"}")},
    };
    {
        QZipFileCreator zip(path);
        zip.setComment(QStringLiteral("HXZIP1"));
        for (const auto &[name, bytes] : entries) zip.addData(bytes, name);
        zip.close();
    }
    const QByteArray valid = readAll(path);
    ASSERT_FALSE(valid.isEmpty());

    std::mt19937 rng(20261208);
    int opened = 0, extracted = 0, failed = 0;
    QElapsedTimer timer;
    timer.start();
    for (int variant = 0; variant < 1000; ++variant) {
        SCOPED_TRACE(variant);
        const QByteArray bytes = damage(valid, rng);
        writeAll(path, bytes);
        try {
            QZipFileExtractor zip(path);
            ++opened;
            (void)zip.comment();
            for (const auto &[name, content] : entries) {
                QBuffer buffer;
                try {
                    if (zip.extract(name, &buffer)) {
                        ++extracted;
                        // Success means the exact bytes, never a damaged copy.
                        EXPECT_EQ(buffer.data(), content) << name.toStdString();
                    }
                } catch (const std::runtime_error &e) {
                    ++failed;
                    EXPECT_EQ(documentedTexts().count(e.what()), 1u) << e.what();
                }
                EXPECT_FALSE(buffer.isOpen());
            }
        } catch (const std::runtime_error &e) {
            EXPECT_EQ(documentedTexts().count(e.what()), 1u) << e.what();
        } catch (...) {
            ADD_FAILURE() << "an exception that is not a runtime error";
        }
    }
    // The mix must exercise both the archive-level and entry-level checks.
    EXPECT_GT(opened, 100);
    EXPECT_GT(extracted, 100);
    EXPECT_GT(failed, 20);
    EXPECT_LT(timer.elapsed(), 60000) << "damaged archives must not stall the reader";
}

}  // namespace
