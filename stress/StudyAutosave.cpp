#include "stress/StudyAutosave.h"

#include "store/StudyStore.h"
#include "stress/StudyRecorder.h"

#include <stdexcept>

StudyAutosave::StudyAutosave(StudyStore *store, Study &study, std::function<void(const QString &)> report)
    : store_(store), study_(study), report_(std::move(report)) {}

void StudyAutosave::save(double recordedSeconds) {
    lastSave_ = recordedSeconds;
    if (!store_) return;
    try {
        store_->saveStudy(study_);
        ++saves_;
        failureReported_ = false;
    } catch (const std::exception &error) {
        // The test goes on: the next stage change or minute tries again, and
        // the operator hears of it once per failing spell, not every minute.
        if (failureReported_) return;
        failureReported_ = true;
        if (report_) report_(StudyRecorder::failureText(QString::fromLocal8Bit(error.what())));
    }
}

void StudyAutosave::saveIfDue(double recordedSeconds) {
    if (recordedSeconds - lastSave_ >= kIntervalSeconds) save(recordedSeconds);
}
