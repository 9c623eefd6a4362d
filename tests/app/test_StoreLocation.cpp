#include "app/Startup.h"
#include "app/StoreLocation.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// The store folder follows the user's data folder, so the demonstration
// profile (which moves XDG_DATA_HOME) never touches a real store, and an
// explicit TARVELIN_STORE wins over both.
TEST(StoreLocation, FollowsTheDataFolderUnlessNamed) {
    QTemporaryDir data;
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    const QByteArray savedStore = qgetenv("TARVELIN_STORE");
    Startup::setIdentity();
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());

    qunsetenv("TARVELIN_STORE");
    EXPECT_EQ(StoreLocation::root(), data.path() + QStringLiteral("/Tarvelin/Dodare RUD/studies"));
    qputenv("TARVELIN_STORE", "/srv/tarvelin/training");
    EXPECT_EQ(StoreLocation::root(), QStringLiteral("/srv/tarvelin/training"));

    savedData.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", savedData);
    savedStore.isNull() ? qunsetenv("TARVELIN_STORE") : qputenv("TARVELIN_STORE", savedStore);
}
