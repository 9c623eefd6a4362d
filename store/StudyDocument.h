#pragma once
// The JSON document that encodes a study: built for the study file and the
// recording header, and decoded into a new study when one is read.

#include "store/Study.h"

#include <QByteArray>
#include <QJsonObject>
#include <memory>

namespace StudyDocument {

// "id", the two date-times and the study's text properties.
QJsonObject studyObject(const Study &study);
// The patient properties (species and breed only when one is non-empty) and
// the risk factors in name order.
QJsonObject patientObject(const Study &study);
// "study", "patient", "events", "results", and "protocol" / "echoScoring"
// when the study has them.
QJsonObject toJson(const Study &study);
// The whole document as compact UTF-8, members in ascending key order.
QByteArray serialise(const Study &study);

// A new study from a document; null when it has no non-empty "study" object.
// Missing members read as empty text, 0, or a printed event. The recording
// and beat files are not attached.
std::unique_ptr<Study> fromJson(const QJsonObject &document);

}  // namespace StudyDocument
