// Fitting inputs to the analysis: the demonstration format read and scaled,
// device-scale samples passed through untouched, other scales and rates
// converted, channels placed in table order, and the feed into a signal
// buffer.

#include "CliTestSupport.h"

#include "tools/cli/InputLoader.h"
#include "tools/cli/RawRecordingReader.h"
#include "tools/cli/RecordingBuilder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

namespace {

QByteArray frames16(const std::vector<int> &samples) {
    QByteArray data;
    for (int s : samples) data.append(CliTest::bytes({s & 0xFF, (s >> 8) & 0xFF}));
    return data;
}

bool readRaw(const QByteArray &contents, const RawFormat &format, InputSignals *input, QString *error) {
    QTemporaryDir dir;
    if (!dir.isValid()) return false;
    CliTest::writeFile(dir.path(), QStringLiteral("r.dat"), contents);
    return RawRecordingReader::read(dir.filePath(QStringLiteral("r.dat")), format, input, error);
}

InputLead lead(const char *name, int channel, std::vector<double> millivolts) {
    InputLead l;
    l.name = QLatin1String(name);
    l.channel = channel;
    l.millivolts = std::move(millivolts);
    return l;
}

TEST(RawRecording, ReadsFramesInTableOrderAndScales) {
    RawFormat format;
    format.rate = 500;
    format.channels = 3;
    // Two frames and a trailing byte of a third.
    const QByteArray contents = frames16({16384, -32768, 1, -16384, 32767, 0}) + CliTest::bytes({7});
    InputSignals input;
    QString error;
    ASSERT_TRUE(readRaw(contents, format, &input, &error)) << error.toStdString();
    ASSERT_EQ(input.leads.size(), 3u);
    EXPECT_EQ(input.length(), 2);
    EXPECT_EQ(input.warnings.size(), 1) << "the partial frame is reported";
    const char *names[] = {"I", "II", "III"};
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(input.leads[static_cast<std::size_t>(c)].name.toStdString(), names[c]);
        EXPECT_EQ(input.leads[static_cast<std::size_t>(c)].channel, c);
    }
    EXPECT_DOUBLE_EQ(input.leads[0].millivolts[0], 150.0);
    EXPECT_DOUBLE_EQ(input.leads[1].millivolts[0], -300.0);
    EXPECT_DOUBLE_EQ(input.leads[0].millivolts[1], -150.0);
    EXPECT_DOUBLE_EQ(input.leads[1].millivolts[1], 32767 * 600.0 / 65536.0);
}

struct BadRaw {
    const char *label;
    QByteArray contents;
    int channels;
    const char *messagePart;
};

void PrintTo(const BadRaw &c, std::ostream *os) { *os << c.label; }

class RefusedRaw : public ::testing::TestWithParam<BadRaw> {};

TEST_P(RefusedRaw, FailsWithAMessage) {
    RawFormat format;
    format.channels = GetParam().channels;
    InputSignals input;
    QString error;
    EXPECT_FALSE(readRaw(GetParam().contents, format, &input, &error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().messagePart))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Raw, RefusedRaw,
                         ::testing::Values(BadRaw{"LessThanAFrame", QByteArray(27, '\0'), 14, "no whole frame"},
                                           BadRaw{"NoChannels", QByteArray(28, '\0'), 0, "1 to 14"},
                                           BadRaw{"MoreThanTheTable", QByteArray(30, '\0'), 15, "1 to 14"}),
                         [](const ::testing::TestParamInfo<BadRaw> &info) { return std::string(info.param.label); });

// Device-scale samples at an analysis rate reach the analysis bit for bit.
TEST(RecordingBuilder, DeviceScaleAtAnAnalysisRatePassesThrough) {
    const std::vector<int> samples = {0, 1, -1, 32767, -32768, 12345, -4321, 2};
    for (double rate : {250.0, 500.0, 1000.0}) {
        RawFormat format;
        format.rate = rate;
        format.channels = 2;
        InputSignals input;
        Recording recording;
        QString error;
        ASSERT_TRUE(readRaw(frames16(samples), format, &input, &error)) << error.toStdString();
        ASSERT_TRUE(RecordingBuilder::build(input, &recording, &error)) << error.toStdString();
        EXPECT_EQ(recording.rate, static_cast<int>(rate));
        EXPECT_EQ(recording.clippedSamples, 0);
        for (std::size_t f = 0; f < samples.size() / 2; ++f) {
            EXPECT_EQ(recording.samples[0][f], samples[2 * f]);
            EXPECT_EQ(recording.samples[1][f], samples[2 * f + 1]);
        }
    }
}

struct Quantising {
    const char *label;
    double millivolts;
    int units;
    int clipped;
};

void PrintTo(const Quantising &c, std::ostream *os) { *os << c.label; }

class DeviceScale : public ::testing::TestWithParam<Quantising> {};

TEST_P(DeviceScale, RoundsToUnitsOf600Over65536Millivolts) {
    InputSignals input;
    input.source = QStringLiteral("test");
    input.rate = 500;
    input.leads.push_back(lead("V2", 7, {GetParam().millivolts}));
    Recording recording;
    QString error;
    ASSERT_TRUE(RecordingBuilder::build(input, &recording, &error)) << error.toStdString();
    EXPECT_EQ(recording.samples[7][0], GetParam().units);
    EXPECT_EQ(recording.clippedSamples, GetParam().clipped);
}

INSTANTIATE_TEST_SUITE_P(Builder, DeviceScale,
                         ::testing::Values(Quantising{"OneMillivolt", 1.0, 109, 0},  // 109.2 units
                                           Quantising{"FractionRoundsToNearest", 1.6 * 600.0 / 65536.0, 2, 0},
                                           Quantising{"NegativeFraction", -1.6 * 600.0 / 65536.0, -2, 0},
                                           Quantising{"TopOfRange", 299.99, 32767, 0},
                                           Quantising{"AboveRangeClips", 400.0, 32767, 1},
                                           Quantising{"BelowRangeClips", -400.0, -32768, 1}),
                         [](const ::testing::TestParamInfo<Quantising> &info) {
                             return std::string(info.param.label);
                         });

TEST(RecordingBuilder, PlacesLeadsInTableOrderAndListsTheRest) {
    InputSignals input;
    input.source = QStringLiteral("test");
    input.rate = 1000;
    input.leads = {lead("v5", 10, {1.0, 2.0}), lead("vx", -1, {0.0, 0.0}), lead("MLII", 1, {-1.0, 0.5})};
    Recording recording;
    QString error;
    ASSERT_TRUE(RecordingBuilder::build(input, &recording, &error)) << error.toStdString();
    EXPECT_EQ(recording.rate, 1000);
    EXPECT_EQ(recording.inputRate, 1000.0);
    EXPECT_EQ(recording.length(), 2);
    EXPECT_EQ(recording.channelMask(), (1 << 1) | (1 << 10));
    EXPECT_EQ(recording.presentChannels(), QStringList({"II", "V5"}));
    EXPECT_EQ(recording.missingChannels().size(), 12);
    EXPECT_FALSE(recording.missingChannels().contains(QStringLiteral("V5")));
    EXPECT_EQ(recording.unmappedLeads, QStringList({"vx"}));
    EXPECT_EQ(recording.samples[10][1], 218);  // 2 mV
}

TEST(RecordingBuilder, ConvertsOtherRatesTo500) {
    InputSignals input;
    input.source = QStringLiteral("test");
    input.rate = 360;
    input.leads = {lead("II", 1, std::vector<double>(3600, 1.0))};
    Recording recording;
    QString error;
    ASSERT_TRUE(RecordingBuilder::build(input, &recording, &error)) << error.toStdString();
    EXPECT_EQ(recording.rate, 500);
    EXPECT_EQ(recording.inputRate, 360.0);
    EXPECT_EQ(recording.length(), 5000);
    EXPECT_DOUBLE_EQ(recording.seconds(), 10.0);
    for (std::int16_t value : recording.samples[1]) ASSERT_EQ(value, 109);
}

struct UnusableInput {
    const char *label;
    double rate;
    int channel;
    const char *messagePart;
};

void PrintTo(const UnusableInput &c, std::ostream *os) { *os << c.label; }

class RefusedInput : public ::testing::TestWithParam<UnusableInput> {};

TEST_P(RefusedInput, FailsWithAMessage) {
    InputSignals input;
    input.source = QStringLiteral("test");
    input.rate = GetParam().rate;
    input.leads = {lead("pressure", GetParam().channel, {1.0, 2.0})};
    Recording recording;
    QString error;
    EXPECT_FALSE(RecordingBuilder::build(input, &recording, &error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().messagePart))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Builder, RefusedInput,
                         ::testing::Values(UnusableInput{"NoTableLead", 500, -1, "pressure"},
                                           UnusableInput{"RateTooLow", 10, 1, "sampling rate"},
                                           UnusableInput{"RateTooHigh", 1e6, 1, "sampling rate"}),
                         [](const ::testing::TestParamInfo<UnusableInput> &info) {
                             return std::string(info.param.label);
                         });

// The reference record as the analysis gets it: two table channels at 500
// samples/s for the same 30 min 5.6 s.
TEST(RecordingBuilderReference, MitRecord100At500) {
    const QString record = CliTest::sharedData(QStringLiteral("mitdb/100.hea"));
    CLI_SKIP_WITHOUT(record);
    BeatsOptions options;
    options.input = BeatsOptions::Input::Wfdb;
    options.inputPath = record;
    LoadedInput loaded;
    QString error;
    ASSERT_TRUE(InputLoader::load(options, &loaded, &error)) << error.toStdString();
    const Recording &recording = loaded.recording;
    EXPECT_EQ(recording.rate, 500);
    EXPECT_EQ(recording.length(), 902778);  // 650000 x 500 / 360
    EXPECT_EQ(recording.presentChannels(), QStringList({"II", "V5"}));
    EXPECT_EQ(loaded.files.size(), 2);
    EXPECT_TRUE(loaded.warnings.isEmpty()) << loaded.warnings.join(QLatin1Char('\n')).toStdString();
    // The first sample of MLII is (995 - 1024) / 200 = -0.145 mV: -15.8 units.
    EXPECT_NEAR(recording.samples[1][0], -16, 1);
}

}  // namespace
