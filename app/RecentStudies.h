#pragma once
// The launcher's list of recent studies as the settings keep it: one text
// per study, "id||yyyyMMddHHmmss||last name||first name", newest first.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace RecentStudies {

// The settings key of the list.
constexpr const char *kSettingsKey = "MainWindow/RecentStudyList";
// A practice looks back a few days from the launcher; older studies are
// found in the study browser, and the list stays short enough to scan.
constexpr int kMaximumEntries = 20;

struct Entry {
    qint32 id = 0;
    QByteArray dateTime;  // "yyyyMMddHHmmss"
    QString lastName;
    QString firstName;
};

// The stored text of one entry; a "||" in a name is stored as "|".
QString format(const Entry &entry);
// The entries of the stored texts, in their order. A text that does not
// split into exactly four parts, or whose id is not a positive integer, is
// left out.
QList<Entry> parse(const QStringList &texts);
// `texts` with `entry` put first: an older entry of the same study is
// dropped and the list is cut to kMaximumEntries. Texts that do not parse
// are kept where they were, so nothing written by another version is lost
// before it falls off the end.
QStringList withEntry(const QStringList &texts, const Entry &entry);

// "dd/MM/yyyy HH:mm", or the text itself when it is not a date and time.
QString displayDateTime(const QByteArray &dateTime);
// "last, first".
QString displayPatient(const Entry &entry);

QStringList load();
void save(const QStringList &texts);

}  // namespace RecentStudies
