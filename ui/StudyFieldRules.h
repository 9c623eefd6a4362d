#pragma once
// The values the study data dialog derives from what the user types (age,
// body-mass index, training zone, stored birth date) and the lists of
// remembered entries, kept apart from the dialog so they test headless.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

namespace StudyFieldRules {

// "d/M/yyyy", falling back to "d/M/yy" (read as 19yy) when that gives no date
// or a year below 1000; an invalid date when neither reads.
QDate parseBirthDate(const QString &text);
// "yyyyMMdd" of a typed birth date; empty when it does not read.
QByteArray storedBirthDate(const QString &text);
// A stored "yyyyMMdd" as the user types it, "d/M/yyyy"; a value that is not a
// date is shown as it is, so nothing the record holds is hidden.
QString shownBirthDate(const QByteArray &stored);

// Whole years on `studyDate`; empty for an unreadable birth date or an age
// below 1.
QString ageText(const QString &birthDateText, const QDate &studyDate);
// weight / height² with one decimal; empty unless the height is above 0.
QString bodyMassIndexText(const QString &weightText, const QString &heightText);

// 220 - age for a man, 210 - age otherwise.
int maxHeartRate(bool male, int age);
// The percentage of `maxRate`, truncated.
int subMaxHeartRate(int maxRate, int percent);

// The sex entry's index (0 none, 1 "Male", 2 "Female") and the record's code.
int sexIndex(const QByteArray &code);
QByteArray sexCode(int index);

// `list` with the trimmed `typed` appended when it is not empty and not yet
// there (exact comparison).
QStringList remember(QStringList list, const QString &typed);
// The entries a remembered field offers, sorted without regard to case.
QStringList offered(QStringList list);

}  // namespace StudyFieldRules
