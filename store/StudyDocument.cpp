#include "store/StudyDocument.h"

#include "store/EchoScoring.h"
#include "store/Protocol.h"
#include "store/ProtocolJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace {

// Study properties stored as strings of the "study" object, under their own key.
const char *const kStudyKeys[] = {"baseFilename",    "status",         "studyType",  "protocolName",
                                  "institutionName", "technicianName", "doctorName", "referringDoctorName",
                                  "treatment",       "indication",     "comments",   "conclusion"};

// Members of the "patient" object, each the property "patient/" + key.
const char *const kPatientKeys[] = {"firstName",
                                    "lastName",
                                    "sex",
                                    "age",
                                    "weight",
                                    "height",
                                    "trainingZoneMax",
                                    "trainingZoneSubMax",
                                    "birthDate",
                                    "personIdType",
                                    "personIdNumber",
                                    "medicalGroupName",
                                    "medicalGroupNumber",
                                    "medicalHistoryNumber",
                                    "address",
                                    "city",
                                    "state",
                                    "country",
                                    "phoneNumber"};
// The reviewer's findings on how the test ended (ExerciseFindings.h):
// written only once set, so a document without them keeps its old layout.
const char *const kFindingKeys[] = {"stopReason", "stopReasonText", "angina"};
// The acquisition's global measurement of a resting ECG, kept when a reviewer
// first moves a wave limit (stress/RestingReview.h): written only once set.
const char *const kReviewKeys[] = {"automaticGlobalMeasurement"};

// Veterinary members, written only when one of them holds something.
const char *const kAnimalKeys[] = {"animalSpecies", "animalBreed"};

const QByteArray kPatientPrefix("patient/");

QString text(const QByteArray &bytes) { return QString::fromUtf8(bytes); }
QString key(const char *name) { return QString::fromLatin1(name); }
QByteArray bytesOf(const QJsonValue &value) { return value.toString().toUtf8(); }

QJsonArray numbers(const std::vector<double> &values) {
    QJsonArray array;
    for (double v : values) array.append(v);
    return array;
}

template <std::size_t N>
QJsonArray scoresOf(const std::array<qint32, N> &scores) {
    QJsonArray array;
    for (int i = 1; i <= EchoScoring::kSegments; ++i) array.append(scores[static_cast<std::size_t>(i)]);
    return array;
}

QJsonObject eventObject(const StudyEvent &event) {
    QJsonObject object;
    object.insert(QStringLiteral("description"), text(event.description));
    object.insert(QStringLiteral("position"), event.position);
    object.insert(QStringLiteral("duration"), event.duration);
    object.insert(QStringLiteral("print"), event.print);
    return object;
}

QJsonObject seriesObject(const StudyResults::Series &series) {
    QJsonObject object;
    switch (series.kind) {
    case StudyResults::Kind::Scalar:
        object.insert(QStringLiteral("type"), QStringLiteral("value"));
        object.insert(QStringLiteral("value"), series.values.empty() ? 0.0 : series.values.front());
        break;
    case StudyResults::Kind::PerStage:
    case StudyResults::Kind::List:
        object.insert(QStringLiteral("type"), QStringLiteral("valueArray"));
        object.insert(QStringLiteral("values"), numbers(series.values));
        break;
    case StudyResults::Kind::Trend:
        object.insert(QStringLiteral("type"), QStringLiteral("trend"));
        object.insert(QStringLiteral("timestamps"), numbers(series.times));
        object.insert(QStringLiteral("values"), numbers(series.values));
        break;
    }
    return object;
}

QJsonObject echoObject(const EchoScoring &scoring) {
    QJsonArray segments;
    for (int i = 1; i <= EchoScoring::kSegments; ++i) segments.append(text(EchoScoring::segmentKey(i)));
    QJsonObject object;
    object.insert(QStringLiteral("segments"), segments);
    object.insert(QStringLiteral("scoreRest"), scoresOf(scoring.scoreRest));
    object.insert(QStringLiteral("scorePeak"), scoresOf(scoring.scorePeak));
    object.insert(QStringLiteral("scorePost"), scoresOf(scoring.scorePost));
    return object;
}

// ---- reading ---------------------------------------------------------------

void readResults(const QJsonObject &object, StudyResults &results) {
    // The defined names decide which series exist; others are dropped. An
    // optional series is created only when the document has it.
    for (const ResultName &name : ResultName::all()) {
        const QString text = name.text();
        if (!object.contains(text)) continue;
        const QJsonObject member = object.value(text).toObject();
        const QJsonArray values = member.value(QStringLiteral("values")).toArray();
        switch (name.kind()) {
        case StudyResults::Kind::Scalar:
            results.setScalar(name, member.value(QStringLiteral("value")).toDouble());
            break;
        case StudyResults::Kind::PerStage:
            for (int k = 0; k < values.size(); ++k) results.setPerStage(name, k, values.at(k).toDouble());
            break;
        case StudyResults::Kind::List:
            for (const QJsonValue &v : values) results.appendToList(name, v.toDouble());
            break;
        case StudyResults::Kind::Trend: {
            // One point per timestamp; a value array cut short pairs the
            // remaining timestamps with 0 rather than reading past its end.
            const QJsonArray stamps = member.value(QStringLiteral("timestamps")).toArray();
            for (int k = 0; k < stamps.size(); ++k)
                results.appendPoint(name, stamps.at(k).toDouble(), values.at(k).toDouble());
            break;
        }
        }
    }
}

std::unique_ptr<EchoScoring> readEcho(const QJsonObject &object) {
    auto scoring = std::make_unique<EchoScoring>();
    const QJsonArray segments = object.value(QStringLiteral("segments")).toArray();
    const QJsonArray rest = object.value(QStringLiteral("scoreRest")).toArray();
    const QJsonArray peak = object.value(QStringLiteral("scorePeak")).toArray();
    const QJsonArray post = object.value(QStringLiteral("scorePost")).toArray();
    for (int k = 0; k < segments.size(); ++k) {
        const int i = EchoScoring::segmentIndex(bytesOf(segments.at(k)));
        if (i == 0) continue;
        const auto at = static_cast<std::size_t>(i);
        // An element beyond an array's end reads as undefined, hence 0.
        scoring->scoreRest[at] = rest.at(k).toInt();
        scoring->scorePeak[at] = peak.at(k).toInt();
        scoring->scorePost[at] = post.at(k).toInt();
    }
    return scoring;
}

}  // namespace

namespace StudyDocument {

QJsonObject studyObject(const Study &study) {
    QJsonObject object;
    object.insert(QStringLiteral("id"), study.id());
    for (const char *name : kStudyKeys) object.insert(key(name), text(study.property(name)));
    for (const char *name : kFindingKeys)
        if (!study.property(name).isEmpty()) object.insert(key(name), text(study.property(name)));
    for (const char *name : kReviewKeys)
        if (!study.property(name).isEmpty()) object.insert(key(name), text(study.property(name)));
    object.insert(QStringLiteral("studyDateTime"), text(study.studyDateTime()));
    object.insert(QStringLiteral("recordingDateTime"), text(study.recordingDateTime()));
    return object;
}

QJsonObject patientObject(const Study &study) {
    QJsonObject object;
    for (const char *name : kPatientKeys) object.insert(key(name), text(study.property(kPatientPrefix + name)));
    bool animal = false;
    for (const char *name : kAnimalKeys) animal = animal || !study.property(kPatientPrefix + name).isEmpty();
    if (animal)
        for (const char *name : kAnimalKeys) object.insert(key(name), text(study.property(kPatientPrefix + name)));
    QJsonArray factors;
    for (const QByteArray &name : study.riskFactorNames()) {
        QByteArray comment;
        const bool checked = study.riskFactor(name, comment);
        QJsonObject factor;
        factor.insert(QStringLiteral("name"), text(name));
        factor.insert(QStringLiteral("status"), checked);
        factor.insert(QStringLiteral("comment"), text(comment));
        factors.append(factor);
    }
    object.insert(QStringLiteral("riskFactors"), factors);
    return object;
}

QJsonObject toJson(const Study &study) {
    QJsonObject document;
    document.insert(QStringLiteral("study"), studyObject(study));
    document.insert(QStringLiteral("patient"), patientObject(study));
    QJsonArray events;
    for (int i = 0; i < study.eventCount(); ++i) events.append(eventObject(study.event(i)));
    document.insert(QStringLiteral("events"), events);
    QJsonObject results;
    for (int i = 0; i < study.results().size(); ++i)
        results.insert(study.results().at(i).name, seriesObject(study.results().at(i)));
    document.insert(QStringLiteral("results"), results);
    if (study.protocol()) document.insert(QStringLiteral("protocol"), ProtocolJson::toJson(*study.protocol()));
    if (study.echoScoring()) document.insert(QStringLiteral("echoScoring"), echoObject(*study.echoScoring()));
    return document;
}

QByteArray serialise(const Study &study) { return QJsonDocument(toJson(study)).toJson(QJsonDocument::Compact); }

std::unique_ptr<Study> fromJson(const QJsonObject &document) {
    const QJsonObject studyMembers = document.value(QStringLiteral("study")).toObject();
    if (document.isEmpty() || studyMembers.isEmpty()) return nullptr;
    const QJsonObject patient = document.value(QStringLiteral("patient")).toObject();

    auto study = std::make_unique<Study>(studyMembers.value(QStringLiteral("id")).toInt());
    study->setStudyDateTime(bytesOf(studyMembers.value(QStringLiteral("studyDateTime"))));
    study->setRecordingDateTime(bytesOf(studyMembers.value(QStringLiteral("recordingDateTime"))));
    for (const char *name : kStudyKeys) study->setProperty(name, bytesOf(studyMembers.value(key(name))));
    for (const char *name : kFindingKeys)
        if (studyMembers.contains(key(name))) study->setProperty(name, bytesOf(studyMembers.value(key(name))));
    for (const char *name : kReviewKeys)
        if (studyMembers.contains(key(name))) study->setProperty(name, bytesOf(studyMembers.value(key(name))));
    for (const char *name : kPatientKeys) study->setProperty(kPatientPrefix + name, bytesOf(patient.value(key(name))));
    for (const char *name : kAnimalKeys) study->setProperty(kPatientPrefix + name, bytesOf(patient.value(key(name))));
    for (const QJsonValue &value : patient.value(QStringLiteral("riskFactors")).toArray()) {
        const QJsonObject factor = value.toObject();
        study->setRiskFactor(bytesOf(factor.value(QStringLiteral("name"))),
                             factor.value(QStringLiteral("status")).toBool(),
                             bytesOf(factor.value(QStringLiteral("comment"))));
    }

    // Only a protocol that was written is read back: an absent one must stay
    // absent, or the next save would invent an empty protocol for the study.
    const QJsonObject protocol = document.value(QStringLiteral("protocol")).toObject();
    if (!protocol.isEmpty()) study->setProtocol(std::make_unique<Protocol>(ProtocolJson::fromJson(protocol)));

    for (const QJsonValue &value : document.value(QStringLiteral("events")).toArray()) {
        const QJsonObject object = value.toObject();
        StudyEvent &event = study->addEvent();
        event.description = bytesOf(object.value(QStringLiteral("description")));
        event.position = object.value(QStringLiteral("position")).toDouble();
        event.duration = object.value(QStringLiteral("duration")).toDouble();
        event.print = object.contains(QStringLiteral("print")) ? object.value(QStringLiteral("print")).toBool() : true;
    }

    readResults(document.value(QStringLiteral("results")).toObject(), study->results());

    const QJsonObject echo = document.value(QStringLiteral("echoScoring")).toObject();
    if (!echo.isEmpty()) study->setEchoScoring(readEcho(echo));
    return study;
}

}  // namespace StudyDocument
