#include "app/SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QString uniqueKey(const char *tag) {
    static int counter = 0;
    return QStringLiteral("TarvelinTest %1 %2 %3").arg(QCoreApplication::applicationPid()).arg(tag).arg(++counter);
}

// Starts the holder child on `key` and waits until it says it holds it.
bool startHolder(QProcess &child, const QString &key) {
    child.start(QStringLiteral(TARVELIN_INSTANCE_HOLDER), {key});
    if (!child.waitForStarted(10000)) return false;
    while (child.canReadLine() || child.waitForReadyRead(10000)) {
        const QByteArray line = child.readLine().trimmed();
        if (line == "held") return true;
        if (line == "refused") return false;
    }
    return false;
}

}  // namespace

TEST(SingleInstanceGuard, SecondGuardInTheSameProcessIsRefused) {
    const QString key = uniqueKey("same");
    SingleInstanceGuard first(key);
    ASSERT_TRUE(first.tryAcquire());
    SingleInstanceGuard second(key);
    EXPECT_FALSE(second.tryAcquire());
    // The refused probe must not have removed the live segment.
    SingleInstanceGuard third(key);
    EXPECT_FALSE(third.tryAcquire());
}

TEST(SingleInstanceGuard, LiveChildKeepsUsOutAndAKilledChildDoesNot) {
    const QString key = uniqueKey("child");
    QProcess child;
    ASSERT_TRUE(startHolder(child, key)) << "holder did not take the segment";

    SingleInstanceGuard whileAlive(key);
    EXPECT_FALSE(whileAlive.tryAcquire()) << "a live instance must keep a second one out";

    child.kill();  // SIGKILL: the child never detaches, its segment is orphaned
    ASSERT_TRUE(child.waitForFinished(10000));

    SingleInstanceGuard afterKill(key);
    EXPECT_TRUE(afterKill.tryAcquire()) << "a segment left by a killed instance must not block a new start";
}

TEST(SingleInstanceGuard, ReleasedWhenTheHolderIsDestroyed) {
    const QString key = uniqueKey("release");
    {
        SingleInstanceGuard first(key);
        ASSERT_TRUE(first.tryAcquire());
    }
    SingleInstanceGuard next(key);
    EXPECT_TRUE(next.tryAcquire());
}
