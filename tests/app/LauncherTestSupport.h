#pragma once
// Helpers for driving the launcher in tests: a store folder and settings of
// the test's own, a device the test feeds, and the message boxes the
// launcher shows, recorded and closed as a user would close them.

#include "stress/ScriptedDevice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace LauncherTest {

constexpr int kRate = 500;
constexpr int kChannels = 14;

inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // A window closed outside a running event loop is deleted here.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return true;
}

// Points the store at a temporary folder and clears the settings for the
// test's lifetime.
struct Profile {
    QTemporaryDir folder;
    QByteArray saved = qgetenv("TARVELIN_STORE");
    Profile() {
        qputenv("TARVELIN_STORE", folder.filePath(QStringLiteral("studies")).toLocal8Bit());
        QSettings().clear();
    }
    ~Profile() {
        QSettings().clear();
        saved.isNull() ? qunsetenv("TARVELIN_STORE") : qputenv("TARVELIN_STORE", saved);
    }
};

// Creates scripted devices and remembers the last one and the tilt flags.
struct Devices {
    ScriptedDevice *last = nullptr;
    std::vector<bool> tiltFlags;
    std::function<std::unique_ptr<AcqDevice>(bool)> factory() {
        return [this](bool tiltTest) -> std::unique_ptr<AcqDevice> {
            tiltFlags.push_back(tiltTest);
            auto created = std::make_unique<ScriptedDevice>(kChannels, kRate);
            last = created.get();
            return created;
        };
    }
};

// While it lives, every message box that becomes the active modal window
// is recorded as "title: text" and closed with its default answer.
class MessageCatcher {
public:
    MessageCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts_ << box->windowTitle() + QStringLiteral(": ") + box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(5);
    }
    const QStringList &texts() const { return texts_; }

private:
    QTimer timer_;
    QStringList texts_;
};

// Runs `act` once on the next modal window of type T; `act` must close it.
// Fails the test when none appears within `timeoutMs`.
template <typename T>
void whenModalShows(std::function<void(T *)> act, int timeoutMs = 5000) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [timer, poll, act, timeoutMs]() {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            act(dialog);
            *poll = nullptr;
            return;
        }
        if (timer->elapsed() > timeoutMs) {
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " appeared";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace LauncherTest
