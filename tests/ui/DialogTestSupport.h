#pragma once
// Helpers for the dialog tests: a study store in a temporary folder, settings
// cleared of the dialogs' keys, and a way to act on a modal dialog that a
// button opens while the test waits in its event loop.

#include "store/StudyStore.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace DialogTest {

class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        clearDialogSettings();
        ASSERT_TRUE(folder_.isValid());
        store_ = std::make_unique<StudyStore>(folder_.path());
    }
    void TearDown() override {
        store_.reset();
        clearDialogSettings();
    }
    static void clearDialogSettings() {
        QSettings settings;
        settings.remove(QStringLiteral("StudyDialog"));
    }
    QString root() const { return folder_.path(); }
    StudyStore &store() { return *store_; }

    QTemporaryDir folder_;
    std::unique_ptr<StudyStore> store_;
};

// Runs `act` on the next modal dialog of type T once it is shown; `act`
// must close it. Fails the test when none appears within two seconds.
template <typename T>
void whenModalShows(std::function<void(T *)> act) {
    auto attempts = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [attempts, poll, act]() {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            act(dialog);
            *poll = nullptr;  // breaks the cycle once done
            return;
        }
        if (++*attempts > 200) {
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " appeared";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace DialogTest
