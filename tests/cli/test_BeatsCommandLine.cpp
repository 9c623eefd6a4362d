// The `beats` command line: options parsed into the input and outputs they
// name, every bad combination refused as a usage error (exit 2), unreadable
// inputs and unwritable outputs as input/output errors (exit 1), always
// with a message on standard error.

#include "CliTestSupport.h"

#include "tools/cli/BeatsOptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

using CliTest::runTool;

namespace {

TEST(BeatsOptions, ParseEitherInputAndTheOutputs) {
    const BeatsOptions raw = BeatsOptions::parse({"--raw", "r.dat", "--rate=360", "--channels", "2", "--range-mv", "5",
                                                  "--out", "b.csv", "--summary-json", "s.json"});
    ASSERT_TRUE(raw.error.isEmpty()) << raw.error.toStdString();
    EXPECT_EQ(raw.input, BeatsOptions::Input::Raw);
    EXPECT_EQ(raw.inputPath, QStringLiteral("r.dat"));
    EXPECT_EQ(raw.raw.rate, 360.0);
    EXPECT_EQ(raw.raw.channels, 2);
    EXPECT_EQ(raw.raw.rangeMv, 5.0);
    EXPECT_EQ(raw.outPath, QStringLiteral("b.csv"));
    EXPECT_EQ(raw.summaryPath, QStringLiteral("s.json"));
    EXPECT_EQ(BeatsOptions::parse({"--raw", "r", "--rate", "500", "--channels", "14"}).raw.rangeMv, 300.0);
    const BeatsOptions wfdb = BeatsOptions::parse({"--wfdb", "data/100"});
    ASSERT_TRUE(wfdb.error.isEmpty()) << wfdb.error.toStdString();
    EXPECT_EQ(wfdb.input, BeatsOptions::Input::Wfdb);
    EXPECT_EQ(wfdb.inputPath, QStringLiteral("data/100"));
    EXPECT_TRUE(wfdb.outPath.isEmpty());
    EXPECT_TRUE(wfdb.leadNames.isEmpty());
    EXPECT_EQ(BeatsOptions::parse({"--wfdb", "100", "--leads", "II, V5,-"}).leadNames, (QStringList{"II", "V5", "-"}));
}

struct BadArguments {
    const char *label;
    QStringList arguments;
    const char *messagePart;  // the message must point at the culprit
};

void PrintTo(const BadArguments &c, std::ostream *os) { *os << c.label; }

class RefusedOptions : public ::testing::TestWithParam<BadArguments> {};

TEST_P(RefusedOptions, NameTheCulprit) {
    const BeatsOptions options = BeatsOptions::parse(GetParam().arguments);
    EXPECT_TRUE(options.error.contains(QLatin1String(GetParam().messagePart))) << options.error.toStdString();
}

const QStringList kRaw = {"--raw", "r.dat", "--rate", "500", "--channels", "14"};

INSTANTIATE_TEST_SUITE_P(
    Beats, RefusedOptions,
    ::testing::Values(BadArguments{"NoInput", {"--out", "b.csv"}, "no input"},
                      BadArguments{"BothInputs", kRaw + QStringList{"--wfdb", "100"}, "not both"},
                      BadArguments{"RawWithoutRate", {"--raw", "r.dat", "--channels", "2"}, "--rate"},
                      BadArguments{"RawWithoutChannels", {"--raw", "r.dat", "--rate", "500"}, "--channels"},
                      BadArguments{"RateOnWfdb", {"--wfdb", "100", "--rate", "360"}, "--rate"},
                      BadArguments{"TextRate", {"--raw", "r", "--rate", "fast", "--channels", "2"}, "--rate"},
                      BadArguments{"RateTooLow", {"--raw", "r", "--rate", "10", "--channels", "2"}, "--rate"},
                      BadArguments{
                          "FifteenChannels", {"--raw", "r", "--rate", "500", "--channels", "15"}, "--channels"},
                      BadArguments{"NegativeRange", kRaw + QStringList{"--range-mv", "-300"}, "--range-mv"},
                      BadArguments{"MissingValue", {"--wfdb"}, "--wfdb"},
                      BadArguments{"GivenTwice", {"--wfdb", "100", "--out", "a", "--out", "b"}, "twice"},
                      BadArguments{"SameOutputs", {"--wfdb", "100", "--out", "a", "--summary-json", "a"}, "same file"},
                      BadArguments{"UnknownOption", {"--wfdb", "100", "--colour", "red"}, "--colour"},
                      BadArguments{"StrayWord", {"--wfdb", "100", "quickly"}, "quickly"},
                      BadArguments{"HelpWithValue", {"--help=yes"}, "--help"},
                      BadArguments{"EmptyLeadName", {"--wfdb", "100", "--leads", "II,,V5"}, "--leads"}),
    [](const ::testing::TestParamInfo<BadArguments> &info) { return std::string(info.param.label); });

TEST(BeatsTool, HelpListsCommandsAndOptions) {
    const CliTest::ToolRun top = runTool({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    EXPECT_TRUE(top.standardOutput.contains(QLatin1String("beats")));
    const CliTest::ToolRun beats = runTool({"beats", "--help"});
    EXPECT_EQ(beats.exitCode, 0);
    for (const char *option : {"--raw", "--rate", "--channels", "--range-mv", "--wfdb", "--out", "--summary-json"})
        EXPECT_TRUE(beats.standardOutput.contains(QLatin1String(option))) << option;
}

struct FailingRun {
    const char *label;
    QStringList arguments;  // "@" stands for the temporary folder
    int exitCode;
    const char *messagePart;
};

void PrintTo(const FailingRun &c, std::ostream *os) { *os << c.label; }

class FailingTool : public ::testing::TestWithParam<FailingRun> {};

TEST_P(FailingTool, ExitsWithTheRightCodeAndAMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CliTest::writeFile(dir.path(), QStringLiteral("r.dat"), QByteArray(280, '\0'));
    QStringList arguments = GetParam().arguments;
    arguments.replaceInStrings(QStringLiteral("@"), dir.path() + QLatin1Char('/'));
    const CliTest::ToolRun run = runTool(arguments);
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.standardError.toStdString();
    EXPECT_TRUE(run.standardError.contains(QLatin1String(GetParam().messagePart))) << run.standardError.toStdString();
    EXPECT_EQ(QFile(dir.filePath(QStringLiteral("r.dat"))).size(), 280) << "the input was touched";
}

INSTANTIATE_TEST_SUITE_P(
    Beats, FailingTool,
    ::testing::Values(
        FailingRun{"NoCommand", {}, 2, "missing command"},
        FailingRun{"UnknownCommand", {"rhythm"}, 2, "unknown command"},
        FailingRun{"BadOption", {"beats", "--wfdb"}, 2, "--wfdb"},
        FailingRun{"MissingRecord", {"beats", "--wfdb", "@none"}, 1, "cannot read"},
        FailingRun{
            "MissingRawFile", {"beats", "--raw", "@none.dat", "--rate", "500", "--channels", "14"}, 1, "cannot read"},
        FailingRun{"OutputOverInput",
                   {"beats", "--raw", "@r.dat", "--rate", "500", "--channels", "14", "--out", "@r.dat"},
                   2,
                   "input"},
        FailingRun{"SummaryOverInput",
                   {"beats", "--raw", "@r.dat", "--rate", "500", "--channels", "14", "--summary-json", "@./r.dat"},
                   2,
                   "input"},
        FailingRun{"UnwritableOutput",
                   {"beats", "--raw", "@r.dat", "--rate", "500", "--channels", "14", "--out", "@no/b.csv"},
                   1,
                   "cannot write"}),
    [](const ::testing::TestParamInfo<FailingRun> &info) { return std::string(info.param.label); });

}  // namespace
