#include "reports/FieldText.h"

bool FieldScope::lookup(const QString &name, QString *value) const {
    if (name == QLatin1String("pageNumber") && pageNumber > 0) {
        *value = QString::number(pageNumber);
        return true;
    }
    if (name == QLatin1String("pageCount") && pageCount > 0) {
        *value = QString::number(pageCount);
        return true;
    }
    const int slash = name.indexOf(QLatin1Char('/'));
    if (slash > 0) {
        const QString set = name.left(slash);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (it->set != set || !data) continue;
            const ReportData::Row &row = data->row(set, it->index);
            const auto found = row.constFind(name.mid(slash + 1));
            if (found == row.constEnd()) return false;
            *value = found.value();
            return true;
        }
        return false;
    }
    return data && data->field(name, value);
}

namespace FieldText {

QString substitute(const QString &text, const FieldScope &scope, QStringList *unknown) {
    QString out;
    out.reserve(text.size());
    int i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('[')) {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('[')) {
            out += QLatin1Char('[');
            i += 2;
            continue;
        }
        const int close = text.indexOf(QLatin1Char(']'), i + 1);
        if (close < 0) {
            out += text.mid(i);
            break;
        }
        const QString name = text.mid(i + 1, close - i - 1);
        QString value;
        if (scope.lookup(name, &value)) {
            out += value;
        } else {
            out += text.mid(i, close - i + 1);
            if (unknown && !unknown->contains(name)) unknown->append(name);
        }
        i = close + 1;
    }
    return out;
}

bool condition(const QString &fieldName, const FieldScope &scope, QStringList *unknown) {
    if (fieldName.isEmpty()) return true;
    QString value;
    if (!scope.lookup(fieldName, &value)) {
        if (unknown && !unknown->contains(fieldName)) unknown->append(fieldName);
        return false;
    }
    return !value.isEmpty();
}

}  // namespace FieldText
