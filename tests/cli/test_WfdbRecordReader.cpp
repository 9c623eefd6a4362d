// WFDB records: both storage formats decode to the right millivolts whatever
// the packing, interleaving and scaling, and every inconsistent record is
// refused with a message instead of being read wrongly.

#include "CliTestSupport.h"

#include "tools/cli/WfdbRecordReader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <utility>
#include <vector>

using CliTest::bytes;

namespace {

using Files = std::vector<std::pair<QString, QByteArray>>;

// One signal, format 212, samples 1, -1, 2047, -2047, -300: two whole pairs
// and a trailing half pair.
//   pair 1: 0x001, 0xFFF -> 01, F|0, FF     pair 2: 0x7FF, 0x801 -> FF, 8|7, 01
//   half:   0xED4        -> D4, 0E
const QByteArray kOdd212 = bytes({0x01, 0xF0, 0xFF, 0xFF, 0x87, 0x01, 0xD4, 0x0E});
// Format 16, two signals, frames (-1, 32767) and (-32767, 256).
const QByteArray kTwoSignals16 = bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x80, 0x00, 0x01});

struct GoodRecord {
    const char *label;
    QString header;
    Files files;
    std::vector<std::vector<double>> millivolts;  // per signal
};

void PrintTo(const GoodRecord &c, std::ostream *os) { *os << c.label; }

class DecodedRecord : public ::testing::TestWithParam<GoodRecord> {};

TEST_P(DecodedRecord, GivesTheSamplesInMillivolts) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CliTest::writeFile(dir.path(), QStringLiteral("r.hea"), GetParam().header.toUtf8());
    for (const auto &file : GetParam().files) CliTest::writeFile(dir.path(), file.first, file.second);
    InputSignals input;
    QString error;
    ASSERT_TRUE(WfdbRecordReader::read(dir.filePath(QStringLiteral("r")), &input, &error)) << error.toStdString();
    EXPECT_EQ(input.rate, 100.0);
    ASSERT_EQ(input.leads.size(), GetParam().millivolts.size());
    for (std::size_t s = 0; s < input.leads.size(); ++s) {
        const std::vector<double> &expected = GetParam().millivolts[s];
        ASSERT_EQ(input.leads[s].millivolts.size(), expected.size()) << "signal " << s;
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_NEAR(input.leads[s].millivolts[i], expected[i], 1e-9) << "signal " << s << " sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Wfdb, DecodedRecord,
    ::testing::Values(
        GoodRecord{"Format212OddCount",
                   "r 1 100 5\nr.dat 212 100 12 0 1 -300 0 II\n",
                   {{"r.dat", kOdd212}},
                   {{0.01, -0.01, 20.47, -20.47, -3.0}}},
        GoodRecord{"Format212PaddedHalfPair",
                   "r 1 100 5\nr.dat 212 100 12 0 1 -300 0 II\n",
                   {{"r.dat", kOdd212 + bytes({0})}},
                   {{0.01, -0.01, 20.47, -20.47, -3.0}}},
        GoodRecord{"Format212LengthFromFile",
                   "r 1 100\nr.dat 212 100\n",
                   {{"r.dat", kOdd212}},
                   {{0.01, -0.01, 20.47, -20.47, -3.0}}},
        // With two signals the pairs straddle them: each frame is one pair.
        GoodRecord{"Format212EvenInterleaved",
                   "r 2 100 2\nr.dat 212 100 12 0 1 2048 0 II\nr.dat 212 100 12 0 -1 -2048 0 V5\n",
                   {{"r.dat", kOdd212.left(6)}},
                   {{0.01, 20.47}, {-0.01, -20.47}}},
        GoodRecord{
            "Format16Interleaved",
            "# a comment line\nr 2 100 2\n\nr.dat 16 1000 16 0 -1 -32768 0 I\nr.dat 16 1000 16 0 32767 -32513 0 II\n",
            {{"r.dat", kTwoSignals16}},
            {{-0.001, -32.767}, {32.767, 0.256}}},
        GoodRecord{"Format16ByteOffset",
                   "r 2 100 2\nr.dat 16+3 1000\nr.dat 16+3 1000\n",
                   {{"r.dat", bytes({9, 9, 9}) + kTwoSignals16}},
                   {{-0.001, -32.767}, {32.767, 0.256}}},
        GoodRecord{"TwoFilesTwoFormats",
                   "r 2 100/1(0) 2\na.dat 16 1000 16 0 -1\nb.dat 212 100 12 0 1\n",
                   {{"a.dat", kTwoSignals16.left(4)}, {"b.dat", kOdd212.left(3)}},
                   {{-0.001, 32.767}, {0.01, -0.01}}},
        // WFDB writes a length of 0 when it did not know it; the file then tells.
        GoodRecord{"CountOfZeroMeansUnknown",
                   "r 1 100 0\nr.dat 16 1000\n",
                   {{"r.dat", kTwoSignals16}},
                   {{-0.001, 32.767, -32.767, 0.256}}}),
    [](const ::testing::TestParamInfo<GoodRecord> &info) { return std::string(info.param.label); });

// Gain, baseline and units as the header states them, one sample of one
// format-16 signal.
struct Scaling {
    const char *label;
    const char *signalFields;  // after "r.dat 16"
    int value;
    double millivolts;
};

void PrintTo(const Scaling &c, std::ostream *os) { *os << c.label; }

class SignalScaling : public ::testing::TestWithParam<Scaling> {};

TEST_P(SignalScaling, ConvertsAsTheHeaderSays) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString header = QStringLiteral("r 1 100 1\nr.dat 16 %1\n").arg(QLatin1String(GetParam().signalFields));
    CliTest::writeFile(dir.path(), QStringLiteral("r.hea"), header.toUtf8());
    CliTest::writeFile(dir.path(), QStringLiteral("r.dat"),
                       bytes({GetParam().value & 0xFF, (GetParam().value >> 8) & 0xFF}));
    InputSignals input;
    QString error;
    ASSERT_TRUE(WfdbRecordReader::read(dir.filePath(QStringLiteral("r.hea")), &input, &error)) << error.toStdString();
    ASSERT_EQ(input.length(), 1);
    EXPECT_NEAR(input.leads[0].millivolts[0], GetParam().millivolts, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Wfdb, SignalScaling,
                         ::testing::Values(Scaling{"GainOnly", "200 12 0 400", 400, 2.0},
                                           Scaling{"BaselineFromAdcZero", "200 12 1024", 1224, 1.0},
                                           Scaling{"ExplicitBaselineWins", "200(100)/mV 12 1024", 300, 1.0},
                                           Scaling{"UncalibratedGainIs200", "0 12 0", 200, 1.0},
                                           Scaling{"Microvolts", "2/uV 16 0", 2000, 1.0},
                                           Scaling{"MissingSampleReadsAsZero", "200 16 100", -32768, 0.0}),
                         [](const ::testing::TestParamInfo<Scaling> &info) { return std::string(info.param.label); });

struct BadRecord {
    const char *label;
    QString header;  // empty: no header file at all
    Files files;
    const char *messagePart;
};

void PrintTo(const BadRecord &c, std::ostream *os) { *os << c.label; }

class RefusedRecord : public ::testing::TestWithParam<BadRecord> {};

TEST_P(RefusedRecord, FailsWithAMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (!GetParam().header.isEmpty())
        CliTest::writeFile(dir.path(), QStringLiteral("r.hea"), GetParam().header.toUtf8());
    for (const auto &file : GetParam().files) CliTest::writeFile(dir.path(), file.first, file.second);
    InputSignals input;
    QString error;
    EXPECT_FALSE(WfdbRecordReader::read(dir.filePath(QStringLiteral("r")), &input, &error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().messagePart))) << error.toStdString();
}

const QString kOneSignal = QStringLiteral("r 1 100 4\nr.dat 16 1000\n");

INSTANTIATE_TEST_SUITE_P(
    Wfdb, RefusedRecord,
    ::testing::Values(
        BadRecord{"NoHeader", QString(), {}, "cannot read"}, BadRecord{"NoSignalFile", kOneSignal, {}, "cannot read"},
        BadRecord{"UnknownFormat", "r 1 100 4\nr.dat 80 1000\n", {{"r.dat", kTwoSignals16}}, "format 80"},
        BadRecord{"Truncated16", kOneSignal, {{"r.dat", kTwoSignals16.left(6)}}, "truncated"},
        BadRecord{"Truncated212", "r 1 100 5\nr.dat 212 100\n", {{"r.dat", kOdd212.left(7)}}, "truncated"},
        BadRecord{"LongerThanStated", "r 1 100 3\nr.dat 16 1000\n", {{"r.dat", kTwoSignals16}}, "more samples"},
        BadRecord{"PartialFrameWithoutCount",
                  "r 2 100\nr.dat 16 1000\nr.dat 16 1000\n",
                  {{"r.dat", kTwoSignals16.left(6)}},
                  "whole frames"},
        BadRecord{"FilesOfDifferentLength",
                  "r 2 100\na.dat 16 1000\nb.dat 16 1000\n",
                  {{"a.dat", kTwoSignals16}, {"b.dat", kTwoSignals16.left(6)}},
                  "truncated"},
        BadRecord{
            "ChecksumMismatch", "r 1 100 4\nr.dat 16 1000 16 0 -1 7 0 II\n", {{"r.dat", kTwoSignals16}}, "checksum"},
        BadRecord{"BadGain", "r 1 100 4\nr.dat 16 abc\n", {{"r.dat", kTwoSignals16}}, "gain"},
        BadRecord{"BadSampleCount", "r 1 100 4x\nr.dat 16 1000\n", {{"r.dat", kTwoSignals16}}, "number of samples"},
        BadRecord{"BadFrequency", "r 1 fast 4\nr.dat 16 1000\n", {{"r.dat", kTwoSignals16}}, "sampling frequency"},
        BadRecord{"FewerSignalLines", "r 2 100 2\nr.dat 16 1000\n", {{"r.dat", kTwoSignals16}}, "announces 2"},
        BadRecord{"MoreSignalLines",
                  "r 1 100 2\nr.dat 16 1000\nr.dat 16 1000\n",
                  {{"r.dat", kTwoSignals16}},
                  "more signal lines"},
        BadRecord{"MultiSegment", "r/2 1 100 4\nr.dat 16 1000\n", {}, "multi-segment"},
        BadRecord{"SplitSignalsOfAFile",
                  "r 3 100 1\na.dat 16 1000\nb.dat 16 1000\na.dat 16 1000\n",
                  {{"a.dat", kTwoSignals16.left(4)}, {"b.dat", kTwoSignals16.left(2)}},
                  "adjacent"}),
    [](const ::testing::TestParamInfo<BadRecord> &info) { return std::string(info.param.label); });

TEST(WfdbLeadNames, MapsLeadsToTableChannelsAndKeepsTheOthers) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CliTest::writeFile(dir.path(), QStringLiteral("r.hea"),
                       "r 5 100 1\n"
                       "r.dat 16 1000 16 0 0 0 0 MLII\n"
                       "r.dat 16 1000 16 0 0 0 0 v5\n"
                       "r.dat 16 1000 16 0 0 0 0 vx\n"
                       "r.dat 16 1000 16 0 0 0 0 II\n"          // a second lead II
                       "r.dat 16 1000/mmHg 16 0 0 0 0 aVR\n");  // not a voltage
    CliTest::writeFile(dir.path(), QStringLiteral("r.dat"), QByteArray(10, '\0'));
    InputSignals input;
    QString error;
    ASSERT_TRUE(WfdbRecordReader::read(dir.filePath(QStringLiteral("r")), &input, &error)) << error.toStdString();
    ASSERT_EQ(input.leads.size(), 5u);
    const std::vector<std::pair<const char *, int>> expected = {
        {"MLII", 1}, {"v5", 10}, {"vx", -1}, {"II", -1}, {"aVR", -1}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(input.leads[i].name.toStdString(), expected[i].first);
        EXPECT_EQ(input.leads[i].channel, expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(input.warnings.size(), 2) << input.warnings.join(QLatin1Char('\n')).toStdString();
}

TEST(WfdbReferenceRecords, MitRecord100DecodesBothLeads) {
    const QString header = CliTest::sharedData(QStringLiteral("mitdb/100.hea"));
    CLI_SKIP_WITHOUT(header);
    // The first bytes of 100.dat, decoded by hand: frame 0 is the pair
    // E3 33 F3 -> 0x3E3 = 995 (MLII), 0x3F3 = 1011 (V5); frame 8 is
    // E8 33 F0 -> 1000, 1008; frame 9 is E5 33 F0 -> 997, 1008. ADC zero 1024, gain 200.
    QFile data(CliTest::sharedData(QStringLiteral("mitdb/100.dat")));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray start = data.read(30);
    ASSERT_EQ(start.left(3), bytes({0xE3, 0x33, 0xF3}));
    ASSERT_EQ(start.mid(24, 6), bytes({0xE8, 0x33, 0xF0, 0xE5, 0x33, 0xF0}));

    InputSignals input;
    QString error;
    ASSERT_TRUE(WfdbRecordReader::read(header, &input, &error)) << error.toStdString();
    EXPECT_EQ(input.rate, 360.0);
    ASSERT_EQ(input.leads.size(), 2u);
    EXPECT_EQ(input.length(), 650000);
    EXPECT_EQ(input.leads[0].channel, 1);  // MLII read as II
    EXPECT_EQ(input.leads[1].channel, 10);
    const std::vector<std::pair<int, std::pair<int, int>>> frames = {
        {0, {995, 1011}}, {8, {1000, 1008}}, {9, {997, 1008}}};
    for (const auto &frame : frames) {
        EXPECT_DOUBLE_EQ(input.leads[0].millivolts[frame.first], (frame.second.first - 1024) / 200.0) << frame.first;
        EXPECT_DOUBLE_EQ(input.leads[1].millivolts[frame.first], (frame.second.second - 1024) / 200.0) << frame.first;
    }
    EXPECT_TRUE(input.warnings.isEmpty()) << input.warnings.join(QLatin1Char('\n')).toStdString();
}

TEST(WfdbReferenceRecords, PtbRecordReadsFifteenLeadsFromTwoFiles) {
    const QString record = CliTest::sharedData(QStringLiteral("ptbdb/s0010_re.hea"));
    CLI_SKIP_WITHOUT(record);
    InputSignals input;
    QString error;
    ASSERT_TRUE(WfdbRecordReader::read(record.chopped(4), &input, &error)) << error.toStdString();
    EXPECT_EQ(input.rate, 1000.0);
    ASSERT_EQ(input.leads.size(), 15u);
    EXPECT_EQ(input.length(), 38400);
    // The header's initial values: the first sample of every lead, in both files.
    const int initial[15] = {-489, -458, 31, 474, -260, -214, -88, -241, -112, 212, 393, 390, -3, 120, -18};
    for (int i = 0; i < 15; ++i) {
        EXPECT_DOUBLE_EQ(input.leads[static_cast<std::size_t>(i)].millivolts[0], initial[i] / 2000.0) << i;
        EXPECT_EQ(input.leads[static_cast<std::size_t>(i)].channel, i < 12 ? i : -1) << i;
    }
}

}  // namespace
