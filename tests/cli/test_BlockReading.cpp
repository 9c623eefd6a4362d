// Inputs read a block at a time give exactly what reading them whole gives,
// whatever the block sizes: the rate conversion, the fitted recording and
// the beat analysis must not depend on where the blocks were cut.

#include "CliTestSupport.h"

#include "tools/cli/BeatsRun.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/RawRecordingReader.h"
#include "tools/cli/RecordingStream.h"
#include "tools/cli/Resampler.h"
#include "tools/cli/WfdbRecordReader.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

std::vector<double> wave(std::size_t length) {
    std::vector<double> samples(length);
    for (std::size_t i = 0; i < length; ++i)
        samples[i] = 1.3 + std::sin(0.05 * static_cast<double>(i)) + 0.2 * std::sin(0.71 * static_cast<double>(i));
    return samples;
}

std::vector<double> pushedInBlocks(const std::vector<double> &input, double from, double to, std::size_t block) {
    Resampler::Stream stream(from, to, static_cast<std::int64_t>(input.size()));
    std::vector<double> output;
    for (std::size_t first = 0; first < input.size(); first += block)
        stream.push(input.data() + first, std::min(block, input.size() - first), output);
    return output;
}

TEST(BlockReading, RateConversionDoesNotDependOnTheBlocks) {
    const std::vector<double> input = wave(5000);
    for (const auto &rates : std::vector<std::pair<double, double>>{{360, 500}, {128, 500}, {2000, 500}}) {
        SCOPED_TRACE(rates.first);
        const std::vector<double> whole = pushedInBlocks(input, rates.first, rates.second, input.size());
        ASSERT_EQ(static_cast<std::int64_t>(whole.size()),
                  Resampler::outputLength(static_cast<std::int64_t>(input.size()), rates.first, rates.second));
        for (std::size_t block : {1u, 7u, 50u, 4096u})
            EXPECT_EQ(pushedInBlocks(input, rates.first, rates.second, block), whole) << "blocks of " << block;
    }
}

// A demonstration-format file, read by the stream in blocks of several
// sizes, against the same file read whole.
TEST(BlockReading, StreamedRecordingEqualsTheWholeRecording) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray data;
    const std::vector<double> signal = wave(9001);
    for (double v : signal)
        for (int c = 0; c < 3; ++c) {
            const auto unit = static_cast<std::int16_t>(std::lround(v * 1000.0 * (c + 1)));
            data.append(CliTest::bytes({unit & 0xFF, (unit >> 8) & 0xFF}));
        }
    CliTest::writeFile(dir.path(), QStringLiteral("r.dat"), data);
    for (double rate : {500.0, 360.0}) {
        SCOPED_TRACE(rate);
        BeatsOptions options;
        options.input = BeatsOptions::Input::Raw;
        options.inputPath = dir.filePath(QStringLiteral("r.dat"));
        options.raw.rate = rate;
        options.raw.channels = 3;
        LoadedInput whole;
        QString error;
        ASSERT_TRUE(InputLoader::load(options, &whole, &error)) << error.toStdString();
        for (int block : {1, 50, 333, 10000}) {
            const std::unique_ptr<RecordingStream> stream = InputLoader::open(options, &error);
            ASSERT_TRUE(stream) << error.toStdString();
            ASSERT_EQ(stream->length(), whole.recording.length());
            std::vector<std::vector<std::int16_t>> rows;
            std::array<std::vector<std::int16_t>, 3> read;
            while (stream->read(block, rows) > 0)
                for (std::size_t k = 0; k < 3; ++k) read[k].insert(read[k].end(), rows[k].begin(), rows[k].end());
            for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(read[k], whole.recording.samples[k]) << "block " << block;
        }
    }
}

// Format 212 packs two samples in three bytes; blocks of any size, also
// those that end between the two samples of a pair, decode the same.
TEST(BlockReading, Format212InBlocksThatSplitPairs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<int> values;
    for (int i = 0; i < 23; ++i) values.push_back((i * 397) % 4001 - 2000);  // 12-bit, odd count
    QByteArray packed;
    for (std::size_t i = 0; i < values.size(); i += 2) {
        const int a = values[i] & 0xFFF;
        const int b = i + 1 < values.size() ? values[i + 1] & 0xFFF : 0;
        packed.append(static_cast<char>(a & 0xFF));
        packed.append(static_cast<char>((a >> 8) | ((b >> 8) << 4)));
        if (i + 1 < values.size()) packed.append(static_cast<char>(b & 0xFF));
    }
    CliTest::writeFile(dir.path(), QStringLiteral("r.dat"), packed);
    CliTest::writeFile(dir.path(), QStringLiteral("r.hea"), "r 1 100 23\nr.dat 212 100 12 0\n");
    const QString record = dir.filePath(QStringLiteral("r"));
    for (std::int64_t size : {1, 2, 3, 5, 22, 100}) {
        SCOPED_TRACE(size);
        QString error;
        const std::unique_ptr<SignalBlockReader> reader = WfdbRecordReader::open(record, &error);
        ASSERT_TRUE(reader) << error.toStdString();
        std::vector<double> read;
        std::vector<std::vector<double>> block;
        while (reader->read(size, block) > 0) read.insert(read.end(), block[0].begin(), block[0].end());
        ASSERT_EQ(read.size(), values.size());
        for (std::size_t i = 0; i < values.size(); ++i) EXPECT_DOUBLE_EQ(read[i], values[i] / 100.0) << i;
    }
}

// A file that loses its end while it is read fails the read with a
// message, rather than handing on samples that are not there.
TEST(BlockReading, AFileCutShortWhileReadIsAnError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("r.dat"));
    CliTest::writeFile(dir.path(), QStringLiteral("r.dat"), QByteArray(2 * 20000, '\0'));
    RawFormat format;
    format.channels = 1;
    QString error;
    std::unique_ptr<SignalBlockReader> reader = RawRecordingReader::open(path, format, &error);
    ASSERT_TRUE(reader) << error.toStdString();
    ASSERT_TRUE(QFile::resize(path, 2 * 1000));
    std::vector<std::vector<double>> block;
    EXPECT_EQ(reader->read(500, block), 500);
    EXPECT_THROW(
        {
            while (reader->read(500, block) > 0) {
            }
        },
        std::runtime_error);
}

}  // namespace
