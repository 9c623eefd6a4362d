#include "ui/StudyFieldRules.h"

#include <algorithm>

namespace StudyFieldRules {

namespace {
const QString kFullYear = QStringLiteral("d/M/yyyy");
const QString kShortYear = QStringLiteral("d/M/yy");
const QString kStoredDate = QStringLiteral("yyyyMMdd");
}  // namespace

QDate parseBirthDate(const QString &text) {
    const QString trimmed = text.trimmed();
    const QDate full = QDate::fromString(trimmed, kFullYear);
    if (full.isValid() && full.year() >= 1000) return full;
    return QDate::fromString(trimmed, kShortYear);
}

QByteArray storedBirthDate(const QString &text) {
    const QDate date = parseBirthDate(text);
    return date.isValid() ? date.toString(kStoredDate).toLatin1() : QByteArray();
}

QString shownBirthDate(const QByteArray &stored) {
    const QDate date = QDate::fromString(QString::fromLatin1(stored), kStoredDate);
    return date.isValid() ? date.toString(kFullYear) : QString::fromUtf8(stored);
}

QString ageText(const QString &birthDateText, const QDate &studyDate) {
    const QDate birth = parseBirthDate(birthDateText);
    if (!birth.isValid() || !studyDate.isValid()) return QString();
    int age = studyDate.year() - birth.year();
    if (studyDate.month() < birth.month() || (studyDate.month() == birth.month() && studyDate.day() < birth.day()))
        --age;
    return age < 1 ? QString() : QString::number(age);
}

QString bodyMassIndexText(const QString &weightText, const QString &heightText) {
    const double weight = weightText.trimmed().toDouble();
    const double height = heightText.trimmed().toDouble() * 0.01;
    if (!(height > 0.0)) return QString();
    return QString::number(weight / (height * height), 'f', 1);
}

int maxHeartRate(bool male, int age) { return (male ? 220 : 210) - age; }

int subMaxHeartRate(int maxRate, int percent) { return maxRate * percent / 100; }

int sexIndex(const QByteArray &code) {
    if (code == "M") return 1;
    if (code == "F") return 2;
    return 0;
}

QByteArray sexCode(int index) {
    if (index == 1) return "M";
    if (index == 2) return "F";
    return QByteArray();
}

QStringList remember(QStringList list, const QString &typed) {
    const QString value = typed.trimmed();
    if (!value.isEmpty() && !list.contains(value)) list.append(value);
    return list;
}

QStringList offered(QStringList list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return list;
}

}  // namespace StudyFieldRules
