// The protocol table and its file: seeding, ordering, errors and safe saves.
#include "ProtocolTestSupport.h"
#include "store/ProtocolTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <stdexcept>

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class ProtocolTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("data")));
        path_ = ProtocolTable::filePathUnder(dir_.path());
    }

    const QByteArray expected_ = readAll(QStringLiteral(TARVELIN_EXPECTED_PROTOCOLS));
    QTemporaryDir dir_;
    QString path_;
};

// No file, and contents that leave nothing usable, give the standard table,
// written exactly as checked by hand.
TEST_F(ProtocolTableTest, StandardTableIsWrittenByteForByte) {
    ASSERT_FALSE(expected_.isEmpty());
    const char *contents[] = {nullptr, "[]", "  [ ]\n", "{}", "[{\"name\":", "42"};
    for (const char *content : contents) {
        if (content) writeAll(path_, content);
        ProtocolTable table(path_);
        EXPECT_EQ(table.protocolNames().size(), 7) << content;
        EXPECT_EQ(readAll(path_), expected_) << content;
    }
}

TEST_F(ProtocolTableTest, NamesComeInByteOrder) {
    ProtocolTable table(path_);
    // Lower case and non-ASCII names sort after every capital.
    table.setProtocol(QString::fromUtf8("\xc3\x84rgo"), Protocol{});
    table.setProtocol(QStringLiteral("bruce"), Protocol{});
    const QStringList expected = {
        QStringLiteral("Astrand (f.)"), QStringLiteral("Astrand (m.)"),   QStringLiteral("Balke-Ware"),
        QStringLiteral("Bruce"),        QStringLiteral("Bruce (modif.)"), QStringLiteral("Naughton"),
        QStringLiteral("Who"),          QStringLiteral("bruce"),          QString::fromUtf8("\xc3\x84rgo")};
    EXPECT_EQ(table.protocolNames(), expected);
}

TEST_F(ProtocolTableTest, SetAndRemoveAreSavedAtOnce) {
    Protocol mine;
    mine.name = QStringLiteral("Old name");  // the table key wins
    mine.type = ProtocolType::Pharmacologic;
    mine.insertStage(0).setParameter(QStringLiteral("dose"), 10.0, QString());
    {
        ProtocolTable table(path_);
        table.setProtocol(QStringLiteral("Mine"), mine);
        table.removeProtocol(QStringLiteral("Bruce"));
        table.removeProtocol(QStringLiteral("not there"));
    }
    ProtocolTable reloaded(path_);
    Protocol read;
    ASSERT_TRUE(reloaded.protocol(QStringLiteral("Mine"), read));
    mine.name = QStringLiteral("Mine");
    expectSameProtocol(read, mine);
    EXPECT_FALSE(reloaded.protocol(QStringLiteral("Bruce"), read));
    EXPECT_EQ(read.name, QStringLiteral("Mine"));  // a failed lookup leaves `out` alone
    EXPECT_EQ(reloaded.protocolNames().size(), 7);
}

TEST_F(ProtocolTableTest, LaterEntryOfTheSameNameWins) {
    writeAll(path_, R"([{"name":"A","type":"ecg","stages":[]},{"name":"A","type":"tiltTest","stages":[]}])");
    ProtocolTable table(path_);
    Protocol a;
    ASSERT_TRUE(table.protocol(QStringLiteral("A"), a));
    EXPECT_EQ(a.type, ProtocolType::TiltTest);
    EXPECT_EQ(table.protocolNames(), QStringList{QStringLiteral("A")});
}

TEST_F(ProtocolTableTest, FileErrorsThrowFixedTexts) {
    const struct {
        bool directory;  // a directory where the file should be cannot be opened
        const char *message;
    } cases[] = {{false, "Cannot read protocol table"}, {true, "Cannot open protocol table"}};
    for (const auto &c : cases) {
        if (c.directory) {
            QFile::remove(path_);
            ASSERT_TRUE(QDir().mkpath(path_));
        } else {
            writeAll(path_, QByteArray());
        }
        try {
            ProtocolTable table(path_);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const std::runtime_error &e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST_F(ProtocolTableTest, MissingDirectoryIsSkippedSilently) {
    const QString path = ProtocolTable::filePathUnder(dir_.path() + QStringLiteral("/absent"));
    ProtocolTable table(path);
    table.removeProtocol(QStringLiteral("Who"));
    EXPECT_EQ(table.protocolNames().size(), 6);
    EXPECT_FALSE(QFile::exists(path));
}

// Keeps new entries out of a directory while it lives: mode bits, and where
// those do not bind (running as root) the immutable flag.
class LockedDirectory {
public:
    explicit LockedDirectory(const QString &path) : path_(path) {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner);
        fd_ = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY);
        if (locked() || fd_ < 0 || ::ioctl(fd_, FS_IOC_GETFLAGS, &flags_) != 0) return;
        const int immutable = flags_ | FS_IMMUTABLE_FL;
        setFlags_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &immutable) == 0;
    }
    ~LockedDirectory() {
        if (setFlags_) ::ioctl(fd_, FS_IOC_SETFLAGS, &flags_);
        if (fd_ >= 0) ::close(fd_);
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool locked() const {
        QFile probe(path_ + QStringLiteral("/probe"));
        return !probe.open(QIODevice::WriteOnly) || !probe.remove();
    }

private:
    QString path_;
    int fd_ = -1;
    int flags_ = 0;
    bool setFlags_ = false;
};

// A save that cannot be completed must not have cut the old file short.
TEST_F(ProtocolTableTest, UnwritableDestinationKeepsTheOldFile) {
    ProtocolTable table(path_);
    table.setProtocol(QStringLiteral("Custom"), standardProtocol("Who"));
    const QByteArray before = readAll(path_);
    ASSERT_NE(before, expected_);

    LockedDirectory lock(QFileInfo(path_).absolutePath());
    if (!lock.locked()) GTEST_SKIP() << "this file system lets every write through";
    table.removeProtocol(QStringLiteral("Custom"));
    EXPECT_EQ(readAll(path_), before);
    EXPECT_EQ(table.protocolNames().size(), 7);  // the table itself did change
}

}  // namespace
