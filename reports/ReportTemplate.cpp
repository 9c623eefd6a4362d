#include "reports/ReportTemplate.h"

#include <QDomDocument>
#include <QFile>
#include <QSet>
#include <stdexcept>

void initReportResources();

namespace {

[[noreturn]] void fail(int line, const QString &reason) {
    throw std::runtime_error(QStringLiteral("Report template error: line %1: %2").arg(line).arg(reason).toStdString());
}

// Which elements may appear inside which, so a practice's typo is named at
// its line instead of being skipped without a word.
const QSet<QString> &blockTags() {
    static const QSet<QString> tags{"text", "row",          "fields",  "table", "repeat", "image",    "trend",
                                    "ecg",  "averagebeats", "barcode", "space", "line",   "pagebreak"};
    return tags;
}

QStringList allowedChildren(const QString &tag) {
    if (tag == QLatin1String("report")) return {"header", "footer", "body"};
    if (tag == QLatin1String("fields")) return {"field"};
    if (tag == QLatin1String("table")) return {"column"};
    if (tag == QLatin1String("header") || tag == QLatin1String("footer") || tag == QLatin1String("body") ||
        tag == QLatin1String("row") || tag == QLatin1String("repeat"))
        return QStringList(blockTags().begin(), blockTags().end());
    return {};
}

TemplateNode convert(const QDomElement &element) {
    TemplateNode node;
    node.tag = element.tagName();
    node.line = element.lineNumber();
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr a = attributes.item(i).toAttr();
        node.attributes.insert(a.name(), a.value());
    }
    const QStringList allowed = allowedChildren(node.tag);
    QString text;
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isText() || child.isCDATASection()) {
            text += child.nodeValue();
        } else if (child.isElement()) {
            const QDomElement e = child.toElement();
            if (!allowed.contains(e.tagName()))
                fail(e.lineNumber(), QStringLiteral("<%1> is not allowed inside <%2>").arg(e.tagName(), node.tag));
            node.children.push_back(convert(e));
        }
    }
    node.text = text.simplified();
    return node;
}

}  // namespace

double TemplateNode::number(const QString &name, double fallback) const {
    const auto it = attributes.constFind(name);
    if (it == attributes.constEnd()) return fallback;
    bool ok = false;
    const double value = it->toDouble(&ok);
    if (!ok) fail(line, QStringLiteral("%1=\"%2\" is not a number").arg(name, *it));
    return value;
}

ReportTemplate ReportTemplate::parse(const QByteArray &xml) {
    QDomDocument document;
    QString message;
    int line = 0, column = 0;
    if (!document.setContent(xml, &message, &line, &column)) fail(line, message);
    const QDomElement root = document.documentElement();
    if (root.tagName() != QLatin1String("report"))
        fail(root.lineNumber(), QStringLiteral("the root element must be <report>"));
    ReportTemplate result;
    result.root_ = convert(root);
    return result;
}

ReportTemplate ReportTemplate::load(const QString &name) {
    initReportResources();
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Report template not found: %1").arg(name).toStdString());
    return parse(file.readAll());
}

const TemplateNode *ReportTemplate::section(const QString &tag) const {
    for (const TemplateNode &child : root_.children)
        if (child.tag == tag) return &child;
    return nullptr;
}

// Resources of a static library are only linked in when something names
// them; the templates are reached through here.
void initReportResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(reports);
        return true;
    }();
    (void)done;
}
