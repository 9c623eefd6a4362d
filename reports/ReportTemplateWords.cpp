#include "reports/ReportTemplateWords.h"

namespace ReportTemplateWords {

namespace {

// Elements whose own text the layout prints through the catalogue.
bool printsOwnText(const QString &tag) {
    return tag == QLatin1String("text") || tag == QLatin1String("field") || tag == QLatin1String("column");
}

void walk(const TemplateNode &node, QStringList &words) {
    auto add = [&words](const QString &text) {
        if (hasWords(text) && !words.contains(text)) words.append(text);
    };
    add(node.attribute(QStringLiteral("label")));
    add(node.attribute(QStringLiteral("title")));
    if (printsOwnText(node.tag)) add(node.text);
    for (const TemplateNode &child : node.children) walk(child, words);
}

// C string literal escaping; everything beyond ASCII stays UTF-8, as the
// sources are.
QByteArray literal(const QString &text) {
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace

bool hasWords(const QString &text) {
    bool inField = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!inField && c == QLatin1Char('[') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('[')) {
            ++i;  // "[[" prints a bracket, it opens no field
        } else if (!inField && c == QLatin1Char('[')) {
            inField = true;
        } else if (inField && c == QLatin1Char(']')) {
            inField = false;
        } else if (!inField && c.isLetter()) {
            return true;
        }
    }
    return false;
}

QStringList collect(const TemplateNode &root) {
    QStringList words;
    walk(root, words);
    return words;
}

QByteArray markedForTranslation(const QStringList &words) {
    QByteArray out = "// Generated from the report templates for the catalogue tools; not compiled.\n";
    for (const QString &word : words) out += "QT_TRANSLATE_NOOP(\"ReportTemplate\", " + literal(word) + ")\n";
    return out;
}

}  // namespace ReportTemplateWords
