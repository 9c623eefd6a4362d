// Every output of the tool checked to the last byte: a result that cannot be
// written (a full device, here /dev/full) fails the run with the reason
// instead of being reported as done, and a device named as an output is
// written in place, never replaced by a renamed file.

#include "CliTestSupport.h"

#include "store/StudyStore.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QString kFull = QStringLiteral("/dev/full");

qint32 addStudy(const QString &root) {
    StudyStore store(root);
    StudyInfo info;
    info.studyType = "ECG";
    info.studyDateTime = "20261201080000";
    info.patientLastName = "Full";
    info.samplingRate = 500;
    info.channelCount = 1;
    info.channelNames = "II";
    info.resolution = 16;
    info.gainMax = 5.0;
    Study *study = store.createStudy(info);
    store.closeStudy(study);
    return info.id;
}

bool isCharacterDevice(const QString &path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

}  // namespace

TEST(OutputFailures, AFullDeviceFailsTheRunWithTheReason) {
    ASSERT_TRUE(isCharacterDevice(kFull)) << "this test needs /dev/full";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Four seconds of flat signal: no beat, but a table header and a summary.
    const QString raw = dir.filePath(QStringLiteral("flat.dat"));
    CliTest::writeFile(dir.path(), QStringLiteral("flat.dat"), QByteArray(4 * 500 * 14 * 2, '\0'));
    const QString store = dir.filePath(QStringLiteral("store"));
    const QString id = QString::number(addStudy(store));
    const QString csv = dir.filePath(QStringLiteral("beats.csv"));
    const QStringList beats{"beats", "--raw", raw, "--rate", "500", "--channels", "14"};

    struct Case {
        const char *label;
        QStringList arguments;
        bool standardOutputFull;  // else /dev/full is named in the arguments
        const char *reason;
    };
    const Case cases[] = {
        {"beat table file", beats + QStringList{"--out", kFull}, false, "/dev/full"},
        {"summary file", beats + QStringList{"--out", csv, "--summary-json", kFull}, false, "/dev/full"},
        {"beat table on standard output", beats, true, "standard output"},
        {"study list", {"study", "--store", store, "list"}, true, "standard output"},
        {"study document", {"study", "--store", store, "show", id}, true, "standard output"},
        {"usage", {"--help"}, true, "standard output"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        // The same run into a file that can take it succeeds: the failure
        // below is the output's, not the input's.
        const QString captured = dir.filePath(QStringLiteral("stdout.txt"));
        QStringList working = c.arguments;
        working.replaceInStrings(kFull, dir.filePath(QStringLiteral("out.txt")));
        const CliTest::ToolRun good = CliTest::runTool(working, captured, 60000);
        ASSERT_EQ(good.exitCode, 0) << good.standardError.toStdString();

        const CliTest::ToolRun run = CliTest::runTool(c.arguments, c.standardOutputFull ? kFull : QString(), 60000);
        EXPECT_EQ(run.exitCode, 1) << run.standardError.toStdString();
        EXPECT_TRUE(run.standardError.contains(QLatin1String(c.reason))) << run.standardError.toStdString();
        EXPECT_TRUE(run.standardError.contains(QLatin1String("No space left on device")))
            << run.standardError.toStdString();
        ASSERT_TRUE(isCharacterDevice(kFull)) << "the device was replaced by a file";
    }
}

// A failed run leaves the file it was to replace as it was.
TEST(OutputFailures, AFailedRunKeepsTheEarlierFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CliTest::writeFile(dir.path(), QStringLiteral("earlier.csv"), "index,sample\n7,7\n");
    const QString csv = dir.filePath(QStringLiteral("earlier.csv"));
    // A WFDB record whose samples do not match its checksum is refused
    // before any output is made.
    CliTest::writeFile(dir.path(), QStringLiteral("r.hea"), "r 1 100 2\nr.dat 16 200 16 0 0 99 0 II\n");
    CliTest::writeFile(dir.path(), QStringLiteral("r.dat"), CliTest::bytes({1, 0, 2, 0}));
    const CliTest::ToolRun run =
        CliTest::runTool({"beats", "--wfdb", dir.filePath(QStringLiteral("r")), "--out", csv}, QString(), 60000);
    EXPECT_EQ(run.exitCode, 1);
    QFile earlier(csv);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("index,sample\n7,7\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3) << "a temporary file was left behind";
}
