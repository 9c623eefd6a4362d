#pragma once
// One study in memory: its text properties, date-times, risk factors, events,
// results and scores, and the recording, beat file and protocol it owns.
// Besides the properties every study has, a reviewed stress test may carry
// "stopReason", "stopReasonText" and "angina" (ExerciseFindings.h); they are
// stored only once set and readers that do not know them ignore them.

#include "analysis/StudyResults.h"
#include "store/StudyEvent.h"

#include <QByteArray>
#include <QList>
#include <map>
#include <memory>
#include <vector>

class BeatFile;
class EchoScoring;
class FileSignal;
class Protocol;

class Study {
public:
    explicit Study(qint32 id = 0);
    ~Study();
    Study(const Study &) = delete;
    Study &operator=(const Study &) = delete;

    qint32 id() const { return id_; }
    void setId(qint32 id) { id_ = id; }

    // Empty for a key that was never set.
    QByteArray property(const QByteArray &key) const;
    void setProperty(const QByteArray &key, const QByteArray &value);
    const std::map<QByteArray, QByteArray> &properties() const { return properties_; }

    // "yyyyMMddHHmmss"; all zeros until set.
    QByteArray studyDateTime() const { return studyDateTime_; }
    void setStudyDateTime(const QByteArray &value) { studyDateTime_ = value; }
    QByteArray recordingDateTime() const { return recordingDateTime_; }
    void setRecordingDateTime(const QByteArray &value) { recordingDateTime_ = value; }

    // Names in ascending byte order.
    QList<QByteArray> riskFactorNames() const;
    // Whether the factor is checked, with its comment; false, leaving
    // `comment` untouched, when there is no such factor.
    bool riskFactor(const QByteArray &name, QByteArray &comment) const;
    void setRiskFactor(const QByteArray &name, bool checked, const QByteArray &comment);

    // Appends a default event for the caller to fill. The reference is valid
    // until the next addEvent.
    StudyEvent &addEvent();
    void clearEvents() { events_.clear(); }
    // Out-of-range indices are ignored; later events move up one place.
    void removeEvent(int i);
    int eventCount() const { return static_cast<int>(events_.size()); }
    StudyEvent &event(int i) { return events_.at(static_cast<std::size_t>(i)); }
    const StudyEvent &event(int i) const { return events_.at(static_cast<std::size_t>(i)); }

    FileSignal *recording() const { return recording_.get(); }
    void setRecording(std::unique_ptr<FileSignal> recording);
    BeatFile *beats() const { return beats_.get(); }
    void setBeats(std::unique_ptr<BeatFile> beats);

    StudyResults &results() { return results_; }
    const StudyResults &results() const { return results_; }

    EchoScoring *echoScoring() const { return echoScoring_.get(); }
    void setEchoScoring(std::unique_ptr<EchoScoring> scoring);
    Protocol *protocol() const { return protocol_.get(); }
    void setProtocol(std::unique_ptr<Protocol> protocol);

private:
    struct RiskFactorState {
        bool checked = false;
        QByteArray comment;
    };

    qint32 id_;
    std::map<QByteArray, QByteArray> properties_;
    QByteArray studyDateTime_;
    QByteArray recordingDateTime_;
    std::map<QByteArray, RiskFactorState> riskFactors_;
    std::vector<StudyEvent> events_;
    StudyResults results_;
    std::unique_ptr<EchoScoring> echoScoring_;
    std::unique_ptr<Protocol> protocol_;
    std::unique_ptr<FileSignal> recording_;
    // Declared last so it is destroyed first: beats are read against the
    // recording's channel layout.
    std::unique_ptr<BeatFile> beats_;
};
