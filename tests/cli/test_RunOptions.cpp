// The values `run` takes from its command line: impossible patient values
// and pressures are refused with a message before any study is made, and
// commands the recording never reaches are reported, not dropped silently.

#include "CliTestSupport.h"

#include "tools/cli/RunOptions.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kRequired{"--store", "/tmp/s", "--protocol", "Bruce", "--input", "/tmp/in.dat"};

TEST(RunOptions, ImpossibleValuesAreRefused) {
    struct Case {
        QStringList extra;
        const char *messagePart;  // empty: accepted
    };
    const Case cases[] = {
        {{"--weight", "80.5", "--age", "45", "--bp", "60:120/80", "--bp", "0:300/200"}, ""},
        {{"--weight", "2", "--age", "1", "--bp", "1.5:40/20"}, ""},
        {{"--bp", "60:80/120"}, "below the systolic"},
        {{"--bp", "60:120/120"}, "below the systolic"},
        {{"--bp", "60:400/80"}, "systolic"},
        {{"--bp", "60:120/0"}, "diastolic"},
        {{"--bp", "-5:120/80"}, "T:SBP/DBP"},
        {{"--weight", "1e300"}, "--weight"},
        {{"--weight", "-70"}, "--weight"},
        {{"--weight", "nan"}, "--weight"},
        {{"--weight", "heavy"}, "--weight"},
        {{"--age", "-1"}, "--age"},
        {{"--age", "45.5"}, "--age"},
        {{"--age", "300"}, "--age"},
        {{"--next-at", "-1"}, "--next-at"},
        {{"--stop-at", "inf"}, "--stop-at"},
        {{"--recovery-at", "nan"}, "--recovery-at"},
        {{"--rate", "nan"}, "--rate"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.extra.join(QLatin1Char(' ')).toStdString());
        const RunOptions options = RunOptions::parse(kRequired + c.extra);
        if (*c.messagePart == '\0') {
            EXPECT_TRUE(options.error.isEmpty()) << options.error.toStdString();
        } else {
            EXPECT_TRUE(options.error.contains(QLatin1String(c.messagePart))) << options.error.toStdString();
        }
    }
}

TEST(RunOptions, AcceptedValuesAreKept) {
    const RunOptions options =
        RunOptions::parse(kRequired + QStringList{"--weight", "80.5", "--age", "45", "--bp", "60:120/80"});
    ASSERT_TRUE(options.error.isEmpty()) << options.error.toStdString();
    EXPECT_EQ(options.weight, QByteArray("80.5"));
    EXPECT_EQ(options.age, QByteArray("45"));
    ASSERT_EQ(options.pressures.size(), 1u);
    EXPECT_EQ(options.pressures[0].systolic, 120);
    EXPECT_EQ(options.pressures[0].diastolic, 80);
}

// Twenty seconds of recording: commands at 100 s and a stop at 300 s are
// never reached; the one at 10 s is.
TEST(RunOptions, CommandsPastTheEndOfTheInputAreReported) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CliTest::writeFile(dir.path(), QStringLiteral("flat.dat"), QByteArray(20 * 500 * 14 * 2, '\0'));
    const CliTest::ToolRun run =
        CliTest::runTool({"run", "--store", dir.filePath(QStringLiteral("store")), "--protocol", "Bruce", "--input",
                          dir.filePath(QStringLiteral("flat.dat")), "--rate", "500", "--channels", "14", "--bp",
                          "10:120/80", "--next-at", "100", "--bp", "200:130/85", "--stop-at", "300"});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    const QString &err = run.standardError;
    EXPECT_TRUE(err.contains(QLatin1String("warning: --next-at at 100.0 s was not applied: the input ends at 20.0 s")))
        << err.toStdString();
    EXPECT_TRUE(err.contains(QLatin1String("warning: --bp 130/85 at 200.0 s was not applied"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QLatin1String("warning: --stop-at 300.0 s was not reached"))) << err.toStdString();
    EXPECT_FALSE(err.contains(QLatin1String("120/80"))) << "the pressure at 10 s was applied";
}

}  // namespace
