#include "stress/RampTable.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <stdexcept>

namespace {

const QString kName = QStringLiteral("name");
const QString kDuration = QStringLiteral("durationMinutes");
const QString kInitialSpeed = QStringLiteral("initialSpeed");
const QString kFinalSpeed = QStringLiteral("finalSpeed");
const QString kInitialIncline = QStringLiteral("initialIncline");
const QString kFinalIncline = QStringLiteral("finalIncline");

QJsonObject toJson(const RampProtocol &ramp) {
    return QJsonObject{{kName, ramp.name},
                       {kDuration, ramp.durationMinutes},
                       {kInitialSpeed, ramp.initialSpeed},
                       {kFinalSpeed, ramp.finalSpeed},
                       {kInitialIncline, ramp.initialIncline},
                       {kFinalIncline, ramp.finalIncline}};
}

RampProtocol fromJson(const QJsonObject &object) {
    RampProtocol ramp;
    ramp.name = object.value(kName).toString();
    ramp.durationMinutes = object.value(kDuration).toDouble();
    ramp.initialSpeed = object.value(kInitialSpeed).toDouble();
    ramp.finalSpeed = object.value(kFinalSpeed).toDouble();
    ramp.initialIncline = object.value(kInitialIncline).toDouble();
    ramp.finalIncline = object.value(kFinalIncline).toDouble();
    return ramp;
}

}  // namespace

RampTable::RampTable(const QString &filePath) : filePath_(filePath) {
    QFile file(filePath_);
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("Cannot open ramp table");
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isArray()) throw std::runtime_error("Cannot read ramp table");
    for (const QJsonValue &value : document.array()) {
        const RampProtocol ramp = fromJson(value.toObject());
        if (!ramp.name.isEmpty()) ramps_[ramp.name.toUtf8()] = ramp;
    }
}

QString RampTable::filePathUnder(const QString &root) { return root + QStringLiteral("/data/ramps.json"); }

QStringList RampTable::names() const {
    QStringList names;
    for (const auto &entry : ramps_) names.append(entry.second.name);
    return names;
}

bool RampTable::ramp(const QString &name, RampProtocol &out) const {
    const auto it = ramps_.find(name.toUtf8());
    if (it == ramps_.end()) return false;
    out = it->second;
    return true;
}

void RampTable::setRamp(const QString &name, const RampProtocol &ramp) {
    std::map<QByteArray, RampProtocol> changed = ramps_;
    RampProtocol stored = ramp;
    stored.name = name;
    changed[name.toUtf8()] = stored;
    save(changed);
    ramps_.swap(changed);
}

void RampTable::removeRamp(const QString &name) {
    std::map<QByteArray, RampProtocol> changed = ramps_;
    if (changed.erase(name.toUtf8()) == 0) return;
    save(changed);
    ramps_.swap(changed);
}

void RampTable::save(const std::map<QByteArray, RampProtocol> &ramps) const {
    QJsonArray array;
    for (const auto &entry : ramps) array.append(toJson(entry.second));
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(array).toJson(QJsonDocument::Compact)) < 0 ||
        !file.commit())
        throw std::runtime_error("Cannot write ramp table");
}
