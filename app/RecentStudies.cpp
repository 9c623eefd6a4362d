#include "app/RecentStudies.h"

#include <QDateTime>
#include <QSettings>
#include <optional>

namespace RecentStudies {

namespace {

const QString kSeparator = QStringLiteral("||");

std::optional<Entry> parseOne(const QString &text) {
    const QStringList parts = text.split(kSeparator);
    if (parts.size() != 4) return std::nullopt;
    bool ok = false;
    const qint32 id = parts[0].toInt(&ok);
    if (!ok || id <= 0) return std::nullopt;
    return Entry{id, parts[1].toUtf8(), parts[2], parts[3]};
}

// A name holding the separator would split into too many parts and the
// study would vanish from the list; it is kept with single bars instead.
QString withoutSeparator(QString text) {
    while (text.contains(kSeparator)) text.replace(kSeparator, QStringLiteral("|"));
    return text;
}

}  // namespace

QString format(const Entry &entry) {
    return QStringLiteral("%1||%2||%3||%4")
        .arg(entry.id)
        .arg(QString::fromUtf8(entry.dateTime), withoutSeparator(entry.lastName), withoutSeparator(entry.firstName));
}

QList<Entry> parse(const QStringList &texts) {
    QList<Entry> entries;
    for (const QString &text : texts)
        if (const std::optional<Entry> entry = parseOne(text)) entries << *entry;
    return entries;
}

QStringList withEntry(const QStringList &texts, const Entry &entry) {
    QStringList result{format(entry)};
    for (const QString &text : texts) {
        const std::optional<Entry> old = parseOne(text);
        if (old && old->id == entry.id) continue;
        result << text;
    }
    while (result.size() > kMaximumEntries) result.removeLast();
    return result;
}

QString displayDateTime(const QByteArray &dateTime) {
    const QDateTime parsed = QDateTime::fromString(QString::fromLatin1(dateTime), QStringLiteral("yyyyMMddHHmmss"));
    if (!parsed.isValid()) return QString::fromUtf8(dateTime);
    return parsed.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString displayPatient(const Entry &entry) { return QStringLiteral("%1, %2").arg(entry.lastName, entry.firstName); }

QStringList load() { return QSettings().value(QLatin1String(kSettingsKey)).toStringList(); }

void save(const QStringList &texts) { QSettings().setValue(QLatin1String(kSettingsKey), texts); }

}  // namespace RecentStudies
