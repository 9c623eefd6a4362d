#include "store/ProtocolJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <cmath>

namespace {

struct LoadMember {
    const char *name;
    const char *unit;
};

const char *const kTypeNames[] = {"treadmill", "ergometer", "ecg", "tiltTest", "pharmacologic"};
const char *const kPhaseNames[] = {"rest", "exercise", "recovery"};

// The loads a protocol of the given type carries in the file; the others
// may sit in a stage's map but are neither written nor read.
std::vector<LoadMember> loadMembers(ProtocolType type) {
    switch (type) {
    case ProtocolType::Treadmill: return {{"speed", "km/h"}, {"incline", "%"}};
    case ProtocolType::Ergometer: return {{"workload", "watts"}};
    case ProtocolType::Pharmacologic: return {{"dose", ""}};
    case ProtocolType::RestingEcg:
    case ProtocolType::TiltTest: break;
    }
    return {};
}

template <typename Enum, size_t N>
Enum byName(const QString &text, const char *const (&names)[N], Enum fallback) {
    for (size_t i = 0; i < N; ++i)
        if (text == QLatin1String(names[i])) return static_cast<Enum>(i);
    return fallback;
}

template <typename Enum, size_t N>
QString nameOf(Enum value, const char *const (&names)[N]) {
    const auto i = static_cast<size_t>(value);
    return i < N ? QString::fromLatin1(names[i]) : QString();
}

}  // namespace

namespace ProtocolJson {

QJsonObject toJson(const Protocol &protocol) {
    const std::vector<LoadMember> loads = loadMembers(protocol.type);
    QJsonArray stages;
    for (int i = 0; i < protocol.stageCount(); ++i) {
        const Stage &stage = protocol.stage(i);
        QJsonObject s;
        s.insert(QStringLiteral("phase"), nameOf(stage.phase, kPhaseNames));
        // Whole seconds, truncated: the file has never held fractions.
        s.insert(QStringLiteral("duration"), static_cast<qint64>(std::trunc(stage.duration)));
        for (const LoadMember &load : loads)
            s.insert(QLatin1String(load.name), stage.parameter(QLatin1String(load.name), QLatin1String(load.unit)));
        stages.append(s);
    }
    QJsonObject object;
    object.insert(QStringLiteral("name"), protocol.name);
    object.insert(QStringLiteral("type"), nameOf(protocol.type, kTypeNames));
    object.insert(QStringLiteral("stages"), stages);
    return object;
}

Protocol fromJson(const QJsonObject &object) {
    Protocol protocol;
    protocol.name = object.value(QStringLiteral("name")).toString();
    protocol.type = byName(object.value(QStringLiteral("type")).toString(), kTypeNames, ProtocolType::Treadmill);
    const std::vector<LoadMember> loads = loadMembers(protocol.type);
    for (const QJsonValue &value : object.value(QStringLiteral("stages")).toArray()) {
        const QJsonObject s = value.toObject();
        Stage stage;
        stage.phase = byName(s.value(QStringLiteral("phase")).toString(), kPhaseNames, StagePhase::Rest);
        stage.duration = s.value(QStringLiteral("duration")).toInt();
        for (const LoadMember &load : loads)
            stage.setParameter(QLatin1String(load.name), s.value(QLatin1String(load.name)).toDouble(),
                               QLatin1String(load.unit));
        protocol.appendStage(stage);
    }
    return protocol;
}

QByteArray serialise(const std::vector<Protocol> &protocols) {
    QJsonArray array;
    for (const Protocol &p : protocols) array.append(toJson(p));
    // QJsonObject keeps its members sorted by key, which gives the file its
    // ascending member order.
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

}  // namespace ProtocolJson
