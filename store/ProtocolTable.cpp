#include "store/ProtocolTable.h"

#include "store/ProtocolTableFile.h"
#include "store/StandardProtocols.h"

ProtocolTable::ProtocolTable(const QString &filePath) : filePath_(filePath) {
    const auto loaded = ProtocolTableFile::read(filePath_);
    if (loaded) {
        // A later entry of the same name wins, as it would on re-entry.
        for (const Protocol &p : *loaded) protocols_[p.name.toUtf8()] = p;
        return;
    }
    for (const Protocol &p : StandardProtocols::all()) protocols_[p.name.toUtf8()] = p;
    save();
}

QString ProtocolTable::filePathUnder(const QString &root) { return root + QStringLiteral("/data/protocols.json"); }

QStringList ProtocolTable::protocolNames() const {
    QStringList names;
    for (const auto &entry : protocols_) names.append(QString::fromUtf8(entry.first));
    return names;
}

bool ProtocolTable::protocol(const QString &name, Protocol &out) const {
    const auto it = protocols_.find(name.toUtf8());
    if (it == protocols_.end()) return false;
    out = it->second;
    return true;
}

void ProtocolTable::setProtocol(const QString &name, const Protocol &protocol) {
    // The file keys entries by the protocol's own name, so the stored copy
    // carries the table key; otherwise a reload would file it elsewhere.
    Protocol stored = protocol;
    stored.name = name;
    protocols_[name.toUtf8()] = stored;
    save();
}

void ProtocolTable::removeProtocol(const QString &name) {
    protocols_.erase(name.toUtf8());
    save();
}

void ProtocolTable::save() const {
    std::vector<Protocol> ordered;
    ordered.reserve(protocols_.size());
    for (const auto &entry : protocols_) ordered.push_back(entry.second);
    // A table that cannot be written stays usable in memory; the save is
    // skipped without a word, as it always has been.
    ProtocolTableFile::write(filePath_, ordered);
}
