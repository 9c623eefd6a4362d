#pragma once
// Replaces the bracketed field names of a template's text by the report's
// values: "[name]" from the report, "[set/name]" from the current entry of
// a table or repeat, "[pageNumber]" and "[pageCount]" from the page.

#include "reports/ReportData.h"

#include <QString>
#include <QStringList>

struct FieldScope {
    const ReportData *data = nullptr;
    // The entries a table or repeat is walking, innermost last.
    struct Entry {
        QString set;
        int index = 0;
    };
    std::vector<Entry> entries;
    int pageNumber = 0;  // 0: not known here (the body's layout)
    int pageCount = 0;

    // False for a name the report does not know.
    bool lookup(const QString &name, QString *value) const;
};

namespace FieldText {

// Unknown names stay as written, brackets and all, and are added to
// `unknown` (when given) once each.
QString substitute(const QString &text, const FieldScope &scope, QStringList *unknown = nullptr);

// Whether a block's if="..." condition holds: the named field exists and
// is not empty. An empty condition always holds.
bool condition(const QString &fieldName, const FieldScope &scope, QStringList *unknown = nullptr);

}  // namespace FieldText
