#pragma once
// A resting-ECG study in a temporary store made from a LUDB record (10 s,
// 12 leads, 500 samples/s), as a resting acquisition leaves it: signal,
// beats and the global measurement; and the cardiologists' R peaks of
// lead II, to place the trace on the page. Skips when the data is absent.

#include "store/StudyStore.h"
#include "tools/cli/AnnotationReader.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/RestingStudy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

struct LudbRestingStudy {
    static constexpr const char *kRecord = "ludb/7";
    static constexpr int kQrsPeakCode = 1;  // "N" in the LUDB wave files

    QTemporaryDir dir;
    std::unique_ptr<StudyStore> store;
    Study *study = nullptr;
    std::vector<std::int64_t> leadIIPeaks;  // samples
    QString error;                          // empty when made

    // False with `error` set; an empty error means the data is absent.
    bool make(const QByteArray &lastName = "Doe", const QByteArray &firstName = "Jane") {
        const QString root = qEnvironmentVariable("TARVELIN_SHARED_DATA");
        const QString record = QDir(root).filePath(QLatin1String(kRecord));
        if (root.isEmpty() || !QFile::exists(record + ".hea")) return false;
        BeatsOptions options = BeatsOptions::parse({"--wfdb", record});
        LoadedInput input;
        if (!options.error.isEmpty() || !InputLoader::load(options, &input, &error)) {
            error = "cannot read " + record + ": " + error + options.error;
            return false;
        }
        std::vector<Annotation> annotations;
        if (!AnnotationReader::read(record + ".ii", &annotations, &error)) return false;
        for (const Annotation &a : annotations)
            if (a.code == kQrsPeakCode) leadIIPeaks.push_back(a.sample);
        store = std::make_unique<StudyStore>(dir.filePath("store"));
        StudyInfo info;
        info.studyDateTime = "20261208093000";
        info.patientLastName = lastName;
        info.patientFirstName = firstName;
        info.patientAge = "61";
        info.conclusion = "Sinus rhythm.";
        study = RestingStudy::create(*store, input.recording, info);
        return study != nullptr;
    }

    ~LudbRestingStudy() {
        if (store && study) store->closeStudy(study);
    }
};

#define SKIP_WITHOUT_LUDB(fixture)                                                                                     \
    do {                                                                                                               \
        if (!(fixture).make()) {                                                                                       \
            ASSERT_TRUE((fixture).error.isEmpty()) << (fixture).error.toStdString();                                   \
            GTEST_SKIP() << "LUDB record " << LudbRestingStudy::kRecord << " not found in TARVELIN_SHARED_DATA";       \
        }                                                                                                              \
    } while (false)
