#pragma once
// The protocols by name, backed by the protocol table file: loaded once,
// rewritten whole after every change.

#include "store/Protocol.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

class ProtocolTable {
public:
    // Loads `filePath`; when it holds nothing usable the standard protocols
    // take its place and are saved. Throws the errors of
    // ProtocolTableFile::read.
    explicit ProtocolTable(const QString &filePath);

    // The file under a store root.
    static QString filePathUnder(const QString &root);

    // Names in ascending byte order of their UTF-8 form.
    QStringList protocolNames() const;
    // False, leaving `out` alone, when there is no such protocol.
    bool protocol(const QString &name, Protocol &out) const;
    // Inserts or replaces; the stored copy is named `name`.
    void setProtocol(const QString &name, const Protocol &protocol);
    void removeProtocol(const QString &name);

private:
    void save() const;

    QString filePath_;
    std::map<QByteArray, Protocol> protocols_;  // UTF-8 keys give byte order
};
