// The tool's command line: every bad option or value is refused with a
// message and a non-zero exit, and nothing is left behind.

#include "SimTestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <ostream>

using SimTest::runTool;

namespace {

struct BadArguments {
    const char *label;
    QStringList arguments;
    const char *messagePart;  // the message must point at the culprit
};

void PrintTo(const BadArguments &c, std::ostream *os) { *os << c.label; }

class RejectedArguments : public ::testing::TestWithParam<BadArguments> {};

TEST_P(RejectedArguments, ExitNonZeroWithMessageAndWriteNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList arguments = GetParam().arguments;
    arguments.replaceInStrings(QStringLiteral("@"), dir.path() + QLatin1Char('/'));
    const SimTest::ToolRun run = runTool(arguments, arguments.value(0) != QLatin1String("plot"));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.exitCode, -1) << "crashed or hung: " << run.standardError.toStdString();
    EXPECT_TRUE(run.standardError.contains(QLatin1String(GetParam().messagePart))) << run.standardError.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("r.dat"))));
}

const QString out = QStringLiteral("@r.dat");

INSTANTIATE_TEST_SUITE_P(
    Record, RejectedArguments,
    ::testing::Values(BadArguments{"NoCommand", {}, "missing command"},
                      BadArguments{"UnknownCommand", {"replay"}, "unknown command"},
                      BadArguments{"MissingOut", {"record", "--seconds", "5"}, "--out"},
                      BadArguments{"UnknownOption", {"record", "--out", out, "--colour", "red"}, "--colour"},
                      BadArguments{"MissingValue", {"record", "--out", out, "--rate"}, "--rate"},
                      BadArguments{"OddRate", {"record", "--out", out, "--rate", "250"}, "--rate"},
                      BadArguments{"NegativeSeconds", {"record", "--out", out, "--seconds", "-3"}, "--seconds"},
                      BadArguments{"NanSeconds", {"record", "--out", out, "--seconds", "nan"}, "--seconds"},
                      BadArguments{"HugeSeconds", {"record", "--out", out, "--seconds", "1e12"}, "--seconds"},
                      BadArguments{"TextRate", {"record", "--out", out, "--hr", "fast"}, "--hr"},
                      BadArguments{"PeakBelowRest",
                                   {"record", "--out", out, "--profile", "stress", "--hr", "120", "--peak-hr", "100"},
                                   "--peak-hr"},
                      BadArguments{"UnknownProfile", {"record", "--out", out, "--profile", "marathon"}, "--profile"},
                      BadArguments{"StWithoutValue", {"record", "--out", out, "--st", "V5"}, "LEAD=MV"},
                      BadArguments{"StUnknownLead", {"record", "--out", out, "--st", "V7=-0.1"}, "V7"},
                      BadArguments{"StNotNumber", {"record", "--out", out, "--st", "V5=deep"}, "V5"},
                      BadArguments{"StTooLarge", {"record", "--out", out, "--st", "V5=-5"}, "V5"},
                      BadArguments{"StTwice", {"record", "--out", out, "--st", "V5=-0.1", "--st", "v5=-0.2"}, "twice"},
                      BadArguments{"StOnCr5", {"record", "--out", out, "--st", "CR5=-0.1"}, "CR5"},
                      BadArguments{"StMode", {"record", "--out", out, "--st-mode", "sloped"}, "--st-mode"},
                      BadArguments{"PvcRate", {"record", "--out", out, "--pvc-per-min", "90"}, "--pvc-per-min"},
                      BadArguments{"Noise", {"record", "--out", out, "--noise", "loud"}, "--noise"},
                      BadArguments{"Mains", {"record", "--out", out, "--mains", "55"}, "--mains"},
                      BadArguments{"NegativeSeed", {"record", "--out", out, "--seed", "-4"}, "--seed"},
                      BadArguments{"FlagWithValue", {"record", "--out", out, "--loop=yes"}, "--loop"},
                      BadArguments{"ShortLoop", {"record", "--out", out, "--loop", "--seconds", "3"}, "loop"},
                      BadArguments{"TruthIsOut", {"record", "--out", out, "--truth", out}, "--truth"},
                      BadArguments{"StrayWord", {"record", "--out", out, "fast"}, "fast"},
                      BadArguments{"UnwritableFolder", {"record", "--out", "@missing/r.dat"}, "cannot write"},
                      BadArguments{"PlotMissingIn", {"plot", "--out", "@p.png"}, "--in"},
                      BadArguments{"PlotMissingFile", {"plot", "--in", "@none.dat", "--out", "@p.png"}, "cannot read"},
                      BadArguments{
                          "PlotChannels", {"plot", "--in", out, "--out", "@p.png", "--channels", "15"}, "--channels"}),
    [](const ::testing::TestParamInfo<BadArguments> &info) { return std::string(info.param.label); });

TEST(SimCommandLine, HelpNamesEveryOption) {
    QProcess process;
    process.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE), {QStringLiteral("record"), QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const char *option : {"--out", "--truth", "--rate", "--seconds", "--profile", "--hr", "--peak-hr", "--st ",
                               "--st-mode", "--pvc-per-min", "--noise", "--mains", "--seed", "--hrv", "--loop"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

TEST(SimCommandLine, TruthDefaultsBesideRecording) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const SimTest::ToolRun run =
        runTool({"record", "--out", dir.filePath("take.one.dat"), "--seconds", "2", "--noise", "none"});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_EQ(QFileInfo(dir.filePath("take.one.dat")).size(), 2 * 500 * 28);
    EXPECT_TRUE(QFile::exists(dir.filePath("take.one.truth.csv")));
}

TEST(SimCommandLine, PlotDrawsAPageAndRefusesASpanPastTheEnd) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString recording = dir.filePath("r.dat");
    ASSERT_EQ(runTool({"record", "--out", recording, "--seconds", "12"}).exitCode, 0);
    const SimTest::ToolRun drawn =
        runTool({"plot", "--in", recording, "--out", dir.filePath("p.png"), "--start", "1"}, false);
    EXPECT_EQ(drawn.exitCode, 0) << drawn.standardError.toStdString();
    QFile png(dir.filePath("p.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray head = png.read(24);
    ASSERT_EQ(head.size(), 24);
    EXPECT_TRUE(head.startsWith("\x89PNG"));
    // Ten seconds at 25 mm/s is 250 mm of trace; the page must be at least that wide.
    EXPECT_GT(qFromBigEndian<quint32>(head.constData() + 16), 250u * 4u);
    const SimTest::ToolRun past =
        runTool({"plot", "--in", recording, "--out", dir.filePath("q.png"), "--start", "30"}, false);
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("q.png")));
}

}  // namespace
