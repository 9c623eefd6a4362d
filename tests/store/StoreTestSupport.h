#pragma once
// Helpers for the study store tests: a store in a temporary folder with
// predictable ids and free space, and the parameters of a small new study.

#include "ZipTestSupport.h"
#include "store/StudyStore.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace StoreTest {

inline StudyInfo smallStudyInfo(const char *last = "Pérez", const char *first = "Ana",
                                const char *dateTime = "20261208093000") {
    StudyInfo info;
    info.studyType = "Stress test";
    info.studyDateTime = dateTime;
    info.recordingDateTime = dateTime;
    info.protocolName = "Bruce";
    info.patientLastName = last;
    info.patientFirstName = first;
    info.patientMedicalHistoryNumber = "H-17";
    info.patientAge = "61";
    info.samplingRate = 500;
    info.channelCount = 3;
    info.channelNames = "I,II,V5";
    info.resolution = 16;
    info.gainMax = 10.0;
    info.riskFactors = {{"Obesidad", true, "IMC 31"}, {"Diabetes", false, ""}};
    return info;
}

using ZipTest::readAll;
using ZipTest::writeAll;

// Names of the files in `folder`, sorted, for "nothing else was written".
inline QStringList filesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Every file under `folder` (hidden ones and subfolders included) with its
// bytes, keyed by relative path: equal snapshots mean nothing was written,
// replaced or removed there.
inline QMap<QString, QByteArray> snapshot(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readAll(path));
    }
    return files;
}

inline QStringList keysOf(const QMap<QString, QByteArray> &files) { return files.keys(); }

}  // namespace StoreTest
