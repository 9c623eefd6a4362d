#include "store/Study.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/EchoScoring.h"
#include "store/Protocol.h"

namespace {
const QByteArray kUnsetDateTime("00000000000000");
}

Study::Study(qint32 id) : id_(id), studyDateTime_(kUnsetDateTime), recordingDateTime_(kUnsetDateTime) {}

Study::~Study() = default;

QByteArray Study::property(const QByteArray &key) const {
    const auto found = properties_.find(key);
    return found == properties_.end() ? QByteArray() : found->second;
}

void Study::setProperty(const QByteArray &key, const QByteArray &value) { properties_[key] = value; }

QList<QByteArray> Study::riskFactorNames() const {
    QList<QByteArray> names;
    for (const auto &entry : riskFactors_) names << entry.first;
    return names;
}

bool Study::riskFactor(const QByteArray &name, QByteArray &comment) const {
    const auto found = riskFactors_.find(name);
    if (found == riskFactors_.end()) return false;
    comment = found->second.comment;
    return found->second.checked;
}

void Study::setRiskFactor(const QByteArray &name, bool checked, const QByteArray &comment) {
    riskFactors_[name] = RiskFactorState{checked, comment};
}

StudyEvent &Study::addEvent() {
    events_.emplace_back();
    return events_.back();
}

void Study::setRecording(std::unique_ptr<FileSignal> recording) { recording_ = std::move(recording); }

void Study::setBeats(std::unique_ptr<BeatFile> beats) { beats_ = std::move(beats); }

void Study::setEchoScoring(std::unique_ptr<EchoScoring> scoring) { echoScoring_ = std::move(scoring); }

void Study::setProtocol(std::unique_ptr<Protocol> protocol) { protocol_ = std::move(protocol); }

void Study::removeEvent(int i) {
    if (i < 0 || i >= eventCount()) return;
    events_.erase(events_.begin() + i);
}
