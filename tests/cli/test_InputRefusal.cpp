// Inputs the tool must refuse at once rather than hang on or read without
// end: a named pipe or a device as the recording, a WFDB record whose
// signal file is one, or whose header sends the reader out of its folder.

#include "CliTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A format 16 record of one lead, two samples, as a header line names it.
QByteArray header(const QString &signalFile) {
    return QStringLiteral("r 1 100 2\n%1 16 200 16 0 1 3 0 II\n").arg(signalFile).toUtf8();
}

const QByteArray kSamples = CliTest::bytes({1, 0, 2, 0});

}  // namespace

TEST(InputRefusal, PipesDevicesAndFilesOutsideTheRecordAreRefusedWithAMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("record/sub")));
    const QString record = root.filePath(QStringLiteral("record"));
    const QString pipe = root.filePath(QStringLiteral("record/pipe.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // A good signal file outside the record's folder, and one inside a subfolder.
    CliTest::writeFile(dir.path(), QStringLiteral("outside.dat"), kSamples);
    CliTest::writeFile(record + QStringLiteral("/sub"), QStringLiteral("inside.dat"), kSamples);

    struct Case {
        const char *label;
        QByteArray header;  // written as record/r.hea; empty: --raw
        QString raw;
        int exitCode;
        const char *messagePart;
    };
    const Case cases[] = {
        {"raw named pipe", {}, pipe, 1, "not a regular file"},
        {"raw device", {}, QStringLiteral("/dev/zero"), 1, "not a regular file"},
        {"signal file a named pipe", header(QStringLiteral("pipe.dat")), {}, 1, "not a regular file"},
        {"signal file a device", header(QStringLiteral("/dev/zero")), {}, 1, "not inside the record's folder"},
        {"signal file up a folder", header(QStringLiteral("../outside.dat")), {}, 1, "not inside the record's folder"},
        {"signal file by absolute path",
         header(root.filePath(QStringLiteral("outside.dat"))),
         {},
         1,
         "not inside the record's folder"},
        {"signal file in a subfolder", header(QStringLiteral("sub/inside.dat")), {}, 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QStringList arguments{"beats"};
        if (c.header.isEmpty()) {
            arguments << "--raw" << c.raw << "--rate"
                      << "500"
                      << "--channels"
                      << "1";
        } else {
            CliTest::writeFile(record, QStringLiteral("r.hea"), c.header);
            arguments << "--wfdb" << root.filePath(QStringLiteral("record/r"));
        }
        arguments << "--out" << root.filePath(QStringLiteral("beats.csv"));
        const CliTest::ToolRun run = CliTest::runTool(arguments, QString(), 20000);
        EXPECT_EQ(run.exitCode, c.exitCode) << "(-1: hung or crashed) " << run.standardError.toStdString();
        EXPECT_TRUE(run.standardError.contains(QLatin1String(c.messagePart))) << run.standardError.toStdString();
    }
}

// A header that is a pipe is refused as well.
TEST(InputRefusal, HeaderThatIsANamedPipe) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString headerPath = QDir(dir.path()).filePath(QStringLiteral("r.hea"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(headerPath).constData(), 0600), 0);
    const CliTest::ToolRun run =
        CliTest::runTool({"beats", "--wfdb", QDir(dir.path()).filePath(QStringLiteral("r"))}, QString(), 20000);
    EXPECT_EQ(run.exitCode, 1) << run.standardError.toStdString();
    EXPECT_TRUE(run.standardError.contains(QLatin1String("not a regular file"))) << run.standardError.toStdString();
}
