#pragma once
// A review window over a copy of a study made at build time, in a temporary
// store of its own:
// - ReviewWindowRig: the stress review window over the study
//   `tarvelin-ecg-cli run` made from the simulator's stress profile (Bruce,
//   rest 60 s, two exercise stages of 60 s, recovery from 180 s);
// - RestingReviewRig: the resting review window over the study
//   `tarvelin-ecg-cli resting` made from the first 10 s of the
//   demonstration recording.

#include "store/StudyStore.h"
#include "ui/EcgReviewWindow.h"
#include "ui/StressReviewWindow.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

template <class Window>
struct StoredStudyReviewRig {
    QTemporaryDir folder;
    std::unique_ptr<StudyStore> store;
    Study *study = nullptr;
    std::unique_ptr<Window> window;
    qint32 id = 0;

    // `idPath` holds the study's id in the store at `storePath`.
    StoredStudyReviewRig(const QString &idPath, const QString &storePath) {
        QSettings().clear();
        QFile idFile(idPath);
        if (!idFile.open(QIODevice::ReadOnly)) return;
        id = idFile.readAll().trimmed().toInt();
        const QDir source(storePath);
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
        window = std::make_unique<Window>(*study, *store);
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
        T *found = window->template findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

struct ReviewWindowRig : StoredStudyReviewRig<StressReviewWindow> {
    ReviewWindowRig()
        : StoredStudyReviewRig(QStringLiteral(TARVELIN_REVIEW_STUDY_ID), QStringLiteral(TARVELIN_REVIEW_STORE)) {}
};

struct RestingReviewRig : StoredStudyReviewRig<EcgReviewWindow> {
    RestingReviewRig()
        : StoredStudyReviewRig(QStringLiteral(TARVELIN_RESTING_REVIEW_STUDY_ID),
                               QStringLiteral(TARVELIN_RESTING_REVIEW_STORE)) {}
};
