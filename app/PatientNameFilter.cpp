#include "app/PatientNameFilter.h"

#include <QStringList>

namespace PatientNameFilter {

QString folded(const QString &text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        plain.append(c);
    }
    return plain.toCaseFolded();
}

bool matches(const QString &filter, const QString &lastName, const QString &firstName) {
    const QStringList words = folded(filter).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) return true;
    const QString last = folded(lastName);
    const QString first = folded(firstName);
    for (const QString &word : words)
        if (!last.contains(word) && !first.contains(word)) return false;
    return true;
}

}  // namespace PatientNameFilter
