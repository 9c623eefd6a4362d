#pragma once
// A resting review window over a copy of the study `tarvelin-ecg-cli
// resting` made from the first 10 s of the demonstration recording, in a
// temporary store of its own.

#include "store/StudyStore.h"
#include "ui/EcgReviewWindow.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

struct RestingReviewRig {
    QTemporaryDir folder;
    std::unique_ptr<StudyStore> store;
    Study *study = nullptr;
    std::unique_ptr<EcgReviewWindow> window;
    qint32 id = 0;

    RestingReviewRig() {
        QSettings().clear();
        QFile idFile(QStringLiteral(TARVELIN_RESTING_REVIEW_STUDY_ID));
        if (!idFile.open(QIODevice::ReadOnly)) return;
        id = idFile.readAll().trimmed().toInt();
        const QDir source(QStringLiteral(TARVELIN_RESTING_REVIEW_STORE));
        QDirIterator it(source.path(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = QDir(folder.path()).filePath(source.relativeFilePath(from));
            QDir().mkpath(QFileInfo(to).path());
            QFile::copy(from, to);
        }
        store = std::make_unique<StudyStore>(folder.path());
        study = store->openStudy(id);
    }

    void open() {
        window = std::make_unique<EcgReviewWindow>(*study, *store);
        window->resize(1280, 860);
        window->show();
    }

    // Closes the window as the user does, then opens the stored study anew.
    void reopen() {
        window->close();
        window.reset();
        store->closeStudy(study);
        study = store->openStudy(id);
        open();
    }

    template <class T>
    T *widget(const char *name) const {
        T *found = window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};
