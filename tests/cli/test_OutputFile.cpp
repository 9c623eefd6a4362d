// The output helper every command writes through: a named file changes only
// on commit and never holds part of an output, a device is written in place
// (never renamed over), and a failure anywhere is reported by commit.

#include "tools/cli/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(OutputFile, ANamedFileChangesOnlyWhenCommitted) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("table.csv"));
    struct Case {
        const char *label;
        bool commit;
        const char *expected;
    };
    for (const Case &c : {Case{"discarded", false, "earlier\n"}, Case{"committed", true, "new\n"}}) {
        SCOPED_TRACE(c.label);
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly | QIODevice::Truncate));
        earlier.write("earlier\n");
        earlier.close();
        {
            OutputFile out(path);
            ASSERT_TRUE(out.open()) << out.errorString().toStdString();
            ASSERT_TRUE(out.write("new\n"));
            EXPECT_EQ(contents(path), QByteArray("earlier\n")) << "changed before the commit";
            if (c.commit) {
                EXPECT_TRUE(out.commit()) << out.errorString().toStdString();
            }
        }
        EXPECT_EQ(contents(path), QByteArray(c.expected));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"table.csv"}) << "a temporary file was left";
    }
}

TEST(OutputFile, FailuresAreReportedWithTheirReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        OutputFile full(QStringLiteral("/dev/full"));
        ASSERT_TRUE(full.open()) << full.errorString().toStdString();
        full.write("a line that cannot go anywhere\n");
        EXPECT_FALSE(full.commit());
        EXPECT_TRUE(full.errorString().startsWith(QLatin1String("cannot write /dev/full: ")))
            << full.errorString().toStdString();
        EXPECT_TRUE(full.errorString().contains(QLatin1String("No space left on device")))
            << full.errorString().toStdString();
    }
    {
        OutputFile nowhere(dir.filePath(QStringLiteral("no/such/folder/out.csv")));
        EXPECT_FALSE(nowhere.open());
        EXPECT_TRUE(nowhere.errorString().contains(QLatin1String("no/such/folder/out.csv")))
            << nowhere.errorString().toStdString();
    }
    EXPECT_TRUE(QFile::exists(QStringLiteral("/dev/full")));
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile()) << "the device was replaced by a file";
}

}  // namespace
