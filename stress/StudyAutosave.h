#pragma once
// Saves a running study's document through the store at every stage change
// and at least once a minute of recorded signal, so a crash or a power cut
// loses at most a minute of results.

#include <QString>
#include <functional>

class Study;
class StudyStore;

class StudyAutosave {
public:
    static constexpr double kIntervalSeconds = 60.0;

    // `store` may be null (nothing is saved); `report` receives the failure text.
    StudyAutosave(StudyStore *store, Study &study, std::function<void(const QString &)> report);

    // Saves now; `recordedSeconds` restarts the minute.
    void save(double recordedSeconds);
    // Saves when a minute of recorded signal passed since the last save.
    void saveIfDue(double recordedSeconds);
    int saveCount() const { return saves_; }

private:
    StudyStore *store_;
    Study &study_;
    std::function<void(const QString &)> report_;
    double lastSave_ = 0.0;
    int saves_ = 0;
    bool failureReported_ = false;
};
