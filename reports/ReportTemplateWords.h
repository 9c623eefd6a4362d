#pragma once
// The words of a report template that the layout looks up in the "report_es"
// catalogue (context "ReportTemplate"): paragraph texts, field labels and
// values, column titles and cells, ECG and trend titles. The catalogue tools
// read them from here so that a word added to a template cannot be left
// untranslated, and the tests check each against the built catalogue.

#include "reports/ReportTemplate.h"

#include <QString>
#include <QStringList>

namespace ReportTemplateWords {

// Every translatable word of the tree, each once, in document order. A text
// made only of fields ("[patientName]") or of nothing is no word: its
// translation would be itself.
QStringList collect(const TemplateNode &root);

// True when `text` has a letter outside its [fields].
bool hasWords(const QString &text);

// A C++ source that marks `words` for the catalogue tools, one
// QT_TRANSLATE_NOOP("ReportTemplate", "...") a line.
QByteArray markedForTranslation(const QStringList &words);

}  // namespace ReportTemplateWords
