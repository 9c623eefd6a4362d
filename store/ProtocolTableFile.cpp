#include "store/ProtocolTableFile.h"

#include "store/ProtocolJson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <stdexcept>

namespace ProtocolTableFile {

std::optional<std::vector<Protocol>> read(const QString &path) {
    QFile file(path);
    if (!file.exists()) return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("Cannot open protocol table");
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) throw std::runtime_error("Cannot read protocol table");

    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isArray() || document.array().isEmpty()) return std::nullopt;
    std::vector<Protocol> protocols;
    for (const QJsonValue &value : document.array()) protocols.push_back(ProtocolJson::fromJson(value.toObject()));
    return protocols;
}

bool write(const QString &path, const std::vector<Protocol> &protocols) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(ProtocolJson::serialise(protocols)) < 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace ProtocolTableFile
