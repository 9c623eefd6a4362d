#include "RecordingFileSupport.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <functional>
#include <random>

namespace {

// A distinct value for every channel and frame, negative ones included.
std::int16_t sampleAt(int c, std::int64_t i) { return std::int16_t(std::uint16_t(i * 37 + c * 4099 + 11)); }
double expectedAt(const SignalSource &s, int c, std::int64_t i) {
    return i < 0 || i >= s.length() ? 0 : sampleAt(c, i);
}

QByteArray le16(int v) { return QByteArray(1, char(v & 0xff)) + char((v >> 8) & 0xff); }

// Appends frames [from, from + n) of sampleAt() through the 16-bit form.
void appendPattern(FileSignal &s, std::int64_t from, int n) {
    std::vector<std::vector<std::int16_t>> rows(s.channelCount(), std::vector<std::int16_t>(n));
    std::vector<const std::int16_t *> pointers;
    for (int c = 0; c < s.channelCount(); ++c) {
        for (int k = 0; k < n; ++k) rows[c][k] = sampleAt(c, from + k);
        pointers.push_back(rows[c].data());
    }
    s.append(n, pointers.data());
}

// Reads [first, first + count) of channel c and compares it with sampleAt().
void expectRange(const FileSignal &s, int c, std::int64_t first, int count) {
    std::vector<double> got(count, -7.0);
    s.readRange(c, first, count, got.data());
    for (int k = 0; k < count; ++k) ASSERT_EQ(got[k], expectedAt(s, c, first + k)) << first << "+" << k << " ch " << c;
}

struct Recorder : SignalListener {
    std::vector<std::int64_t> lengths;
    std::vector<int> lastSamples;  // channel 0 at the new end, read while being told
    void samplesAppended(SignalSource &s) override {
        lengths.push_back(s.length());
        lastSamples.push_back(s.readSample(0, s.length() - 1));
    }
};

}  // namespace

TEST(FileSignalLayout, HeaderIsPaddedOrCutAndLeavesTheSamplesAlone) {
    const struct {
        int size;
        QByteArray text;
    } cases[] = {{4096, "PATIENT"}, {16, "exactly 16 bytes"}, {16, "longer than 16 bytes"}, {16, ""}};
    for (const auto &t : cases) {
        QTemporaryDir dir;
        FileSignal s(dir.filePath("s"), 1, 500, t.size, true);
        EXPECT_EQ(fileBytes(s.path()), QByteArray(t.size, '\0'));
        appendPattern(s, 0, 2);
        EXPECT_TRUE(s.writeHeader(t.text));
        const QByteArray header = t.text.left(t.size) + QByteArray(std::max(0, t.size - t.text.size()), '\0');
        EXPECT_EQ(fileBytes(s.path()), header + le16(sampleAt(0, 0)) + le16(sampleAt(0, 1))) << t.text.constData();
    }
}

TEST(FileSignalLayout, EveryAppendFormWritesLittleEndianInterleavedFramesAfterTheHeader) {
    const std::int16_t ch0[] = {0, -1, 0x1234, -32768, 32767}, ch1[] = {1, -2, 0x00FF, 0x7F00, -256};
    const double d0[] = {0.9, -1.9, 4660.7, -40000.0, 1e9}, d1[] = {1.5, -2.99, 255.0, 32512.2, -256.5};
    const QByteArray frames = QByteArray::fromHex("0000 0100 ffff feff 3412 ff00 0080 007f ff7f 00ff");
    const std::function<void(FileSignal &)> forms[] = {
        [&](FileSignal &s) {
            const std::int16_t *rows[] = {ch0, ch1};
            s.append(5, rows);
        },
        [&](FileSignal &s) { s.appendInterleaved16((frames + "\x01\x02\x03").constData(), frames.size() + 3); },
        [&](FileSignal &s) {
            const double *rows[] = {d0, d1};
            s.append(5, rows);
        }};
    for (const auto &append : forms) {
        QTemporaryDir dir;
        FileSignal s(dir.filePath("s"), 2, 500, 10, true);
        Recorder told;
        s.addListener(&told);
        append(s);
        EXPECT_EQ(fileBytes(s.path()), QByteArray(10, '\0') + frames);
        EXPECT_EQ(told.lengths, std::vector<std::int64_t>{5});
        EXPECT_EQ(told.lastSamples, std::vector<int>{32767});
    }
}

struct Geometry {
    int channels;
    std::int64_t frames;
};
std::ostream &operator<<(std::ostream &o, const Geometry &g) { return o << g.channels << " x " << g.frames; }
class FileSignalRead : public ::testing::TestWithParam<Geometry> {};

TEST_P(FileSignalRead, ServesRangesBlocksAndSamplesOfAnExistingFile) {
    const auto [channels, frames] = GetParam();
    QTemporaryDir dir;
    QByteArray raw(4096, 'H');
    for (std::int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) raw.append(char(sampleAt(c, i) & 0xff)).append(char(sampleAt(c, i) >> 8));
    writeFileBytes(dir.filePath("s"), raw);
    const FileSignal s(dir.filePath("s"), channels, 500, 4096, false);
    ASSERT_EQ(s.length(), frames);
    ASSERT_EQ(s.blockCount(), frames / 4096);
    const std::int64_t tail = s.blockCount() * 4096;
    // Block boundaries, the block/tail boundary, the partial last block, both ends.
    std::vector<std::pair<std::int64_t, int>> ranges = {
        {-5, 10},         {4090, 20},  {tail - 10, 30}, {tail, int(frames - tail)},
        {frames - 3, 10}, {frames, 5}, {0, int(frames)}};
    std::mt19937 rng(42);
    for (int k = 0; k < 60; ++k) ranges.push_back({std::int64_t(rng() % (frames + 20)) - 10, int(rng() % 9000)});
    for (const auto &[first, count] : ranges) expectRange(s, int(rng() % channels), first, count);
    for (std::int64_t i : {std::int64_t(-1), frames, frames - 1, std::int64_t(0), tail - 1, tail})
        EXPECT_EQ(s.readSample(channels - 1, i), expectedAt(s, channels - 1, i)) << i;
    std::vector<std::int16_t> block(4096);
    for (std::int64_t b = s.blockCount() - 1; b >= 0; --b) {
        ASSERT_TRUE(s.readBlock(channels - 1, b, block.data()));
        for (int k = 0; k < 4096; ++k) ASSERT_EQ(block[k], sampleAt(channels - 1, b * 4096 + k));
    }
    EXPECT_FALSE(s.readBlock(0, s.blockCount(), block.data()));
}

// 14 leads of 1000 frames: no full block, all from the tail window; 40 blocks
// of 12 leads overflow the block cache.
INSTANTIATE_TEST_SUITE_P(FileSignalGeometries, FileSignalRead,
                         ::testing::Values(Geometry{14, 1000}, Geometry{1, 4096}, Geometry{3, 3 * 4096 + 1234},
                                           Geometry{2, 5 * 4096 + 100}, Geometry{12, 40 * 4096 + 7}));

TEST(FileSignalGrowth, ReadsFollowTheFileAsItGrowsAndReopeningGivesTheSameSamplesReadOnly) {
    QTemporaryDir dir;
    {
        FileSignal s(dir.filePath("s"), 2, 500, 4096, true);
        Recorder told;
        s.addListener(&told);
        for (int n : {10, 10, 2980, 2000, 4096, 1, 8191, 5000}) {
            const std::int64_t before = s.length();
            EXPECT_EQ(s.readSample(1, before), 0);  // also loads a window ending at the old length
            appendPattern(s, before, n);
            ASSERT_EQ(s.length(), before + n);
            EXPECT_EQ(s.readSample(1, before), sampleAt(1, before));
            EXPECT_EQ(told.lengths.back(), before + n);
            EXPECT_EQ(told.lastSamples.back(), sampleAt(0, before + n - 1));
            for (int c = 0; c < 2; ++c) expectRange(s, c, -1, int(s.length() + 2));
        }
    }
    FileSignal reopened(dir.filePath("s"), 2, 500, 4096, false);
    EXPECT_EQ(reopened.length(), 22288);
    for (int c = 0; c < 2; ++c) expectRange(reopened, c, -1, 22290);

    // An opened file is never appended to, in any form.
    const QByteArray before = fileBytes(reopened.path());
    Recorder told;
    reopened.addListener(&told);
    const double values[] = {1.0, 2.0}, *rows[] = {values, values};
    appendPattern(reopened, 0, 2);
    reopened.append(2, rows);
    reopened.appendInterleaved16("\x01\x00\x02\x00", 4);
    EXPECT_EQ(reopened.length(), 22288);
    EXPECT_TRUE(told.lengths.empty());
    EXPECT_EQ(fileBytes(reopened.path()), before);
}

TEST(FileSignalAndBeatFile, ReportFilesThatCannotBeHad) {
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;
    QTemporaryDir dir;
    const QString noDir = dir.filePath("no/such/f"), missing = dir.filePath("missing");
    const auto cannot = [](const char *what) { return ThrowsMessage<std::runtime_error>(StrEq(what)); };
    EXPECT_THAT([&] { FileSignal(noDir, 2, 500, 4096, true); }, cannot("Cannot create file"));
    EXPECT_THAT([&] { FileSignal(missing, 2, 500, 4096, false); }, cannot("Cannot open file"));
    EXPECT_THAT([&] { BeatFile(noDir, 2, 256, true); }, cannot("Cannot create file"));
    EXPECT_THAT([&] { BeatFile(missing, 2, 256, false); }, cannot("Cannot open file"));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(FileSignalWriteError, IsReportedAndTheLengthCountsOnlyWholeFramesOnDisk) {
    if (QFile::exists("/dev/full")) {
        FileSignal full("/dev/full", 2, 500, 4096, true);
        EXPECT_TRUE(full.hasWriteError());  // the header did not get through
        appendPattern(full, 0, 10);
        EXPECT_EQ(full.length(), 0);
    }
    QTemporaryDir dir;
    FileSignal s(dir.filePath("s"), 3, 500, 4096, true);
    appendPattern(s, 0, 2);
    {
        FileSizeCap cap(4096 + 6 * 5 + 4);  // room for three more frames and part of a fourth
        if (!cap.active) GTEST_SKIP() << "cannot cap the file size";
        appendPattern(s, 2, 10);
    }
    EXPECT_TRUE(s.hasWriteError());
    EXPECT_FALSE(s.writeErrorString().isEmpty());
    EXPECT_EQ(s.length(), 5);
    appendPattern(s, 5, 2);  // must land right after the last whole frame
    const FileSignal reopened(dir.filePath("s"), 3, 500, 4096, false);
    EXPECT_EQ(reopened.length(), 7);
    for (int c = 0; c < 3; ++c) expectRange(reopened, c, 0, 8);
}

TEST(RecordingDiscard, EmptiesTheFilesOfATakeForTheNextAndForgetsItsWriteError) {
    QTemporaryDir dir;
    const QString signalPath = dir.filePath("s.hxecg"), beatsPath = dir.filePath("s.hxbeats");
    FileSignal signal(signalPath, 3, 500, 4096, true);
    BeatFile beats(beatsPath, 3, 256, true);
    ASSERT_TRUE(signal.writeHeader(QByteArray("HXECG1 header")));
    ASSERT_TRUE(beats.writeHeader(QByteArray("HXBEATS1")));
    const QByteArray signalHeader = fileBytes(signalPath).left(4096);
    appendPattern(signal, 0, 9000);  // past a whole cached block
    expectRange(signal, 1, 4000, 200);
    const QByteArray record(beats.recordLength(), '\x5a');
    ASSERT_EQ(beats.append(record), 0);
    {
        FileSizeCap cap(4096 + 9000 * 6 + 10);
        if (!cap.active) GTEST_SKIP() << "cannot cap the file size";
        appendPattern(signal, 9000, 10);
    }
    ASSERT_TRUE(signal.hasWriteError());

    ASSERT_TRUE(signal.discardSamples());
    ASSERT_TRUE(beats.discardRecords());
    EXPECT_EQ(signal.length(), 0);
    EXPECT_FALSE(signal.hasWriteError());
    EXPECT_EQ(beats.count(), 0);
    EXPECT_EQ(fileBytes(signalPath), signalHeader) << "the header stays, every sample goes";
    EXPECT_EQ(fileBytes(beatsPath).size(), 256);

    // The next take starts at sample 0: nothing cached from the first is served.
    appendPattern(signal, 20000, 5000);
    ASSERT_EQ(signal.length(), 5000);
    for (std::int64_t i : {0, 4000, 4999}) EXPECT_EQ(signal.readSample(2, i), sampleAt(2, 20000 + i)) << i;
    ASSERT_EQ(beats.append(record), 0);
    EXPECT_EQ(FileSignal(signalPath, 3, 500, 4096, false).length(), 5000);

    // A stored recording opened again is never emptied.
    FileSignal opened(signalPath, 3, 500, 4096, false);
    BeatFile openedBeats(beatsPath, 3, 256, false);
    EXPECT_FALSE(opened.discardSamples());
    EXPECT_FALSE(openedBeats.discardRecords());
    EXPECT_EQ(opened.length(), 5000);
    EXPECT_EQ(openedBeats.count(), 1);
}
