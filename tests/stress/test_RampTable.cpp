#include "stress/RampTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

RampProtocol walkingRamp() {
    RampProtocol ramp;
    ramp.name = QStringLiteral("ignored: the table's key names it");
    ramp.durationMinutes = 10.0;
    ramp.initialSpeed = 3.0;
    ramp.finalSpeed = 6.0;
    ramp.initialIncline = 0.0;
    ramp.finalIncline = 5.39;
    return ramp;
}

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RampTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(QDir(folder_.path()).mkpath(QStringLiteral("data")));
        path_ = RampTable::filePathUnder(folder_.path());
    }
    QTemporaryDir folder_;
    QString path_;
};

TEST_F(RampTableTest, RampsSurviveAReloadAndLeaveWhenRemoved) {
    {
        RampTable table(path_);
        EXPECT_TRUE(table.names().isEmpty());
        table.setRamp(QStringLiteral("Rampa caminando"), walkingRamp());
        RampProtocol running = walkingRamp();
        running.initialSpeed = 8.0;
        table.setRamp(QStringLiteral("A running ramp"), running);
    }
    RampTable reloaded(path_);
    EXPECT_EQ(reloaded.names(), (QStringList{"A running ramp", "Rampa caminando"}));
    RampProtocol ramp;
    ASSERT_TRUE(reloaded.ramp(QStringLiteral("Rampa caminando"), ramp));
    EXPECT_EQ(ramp.name, QStringLiteral("Rampa caminando"));
    EXPECT_DOUBLE_EQ(ramp.durationMinutes, 10.0);
    EXPECT_DOUBLE_EQ(ramp.finalSpeed, 6.0);
    EXPECT_DOUBLE_EQ(ramp.finalIncline, 5.39);
    reloaded.removeRamp(QStringLiteral("Rampa caminando"));
    EXPECT_EQ(RampTable(path_).names(), QStringList{"A running ramp"});
    RampProtocol untouched = walkingRamp();
    EXPECT_FALSE(RampTable(path_).ramp(QStringLiteral("Rampa caminando"), untouched));
    EXPECT_EQ(untouched.name, walkingRamp().name);
}

TEST_F(RampTableTest, ADamagedFileIsRefusedRatherThanWrittenOver) {
    for (const QByteArray &content : {QByteArray("{\"name\":\"x\"}"), QByteArray("[{\"name\":"), QByteArray()}) {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        try {
            RampTable table(path_);
            ADD_FAILURE() << "accepted " << content.constData();
        } catch (const std::runtime_error &e) {
            EXPECT_STREQ(e.what(), "Cannot read ramp table");
        }
        EXPECT_EQ(readAll(path_), content);
    }
}

TEST_F(RampTableTest, AFailedSaveKeepsTheTableAsItWas) {
    RampTable table(RampTable::filePathUnder(folder_.path() + QStringLiteral("/no-such-folder")));
    try {
        table.setRamp(QStringLiteral("Rampa"), walkingRamp());
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "Cannot write ramp table");
    }
    EXPECT_TRUE(table.names().isEmpty());
}

}  // namespace
