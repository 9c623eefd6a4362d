#include "tools/cli/ReportCommand.h"

#include "reports/ReportPdf.h"
#include "reports/ReportKind.h"
#include "store/StudyStore.h"

#include <QFileInfo>
#include <stdexcept>

namespace ReportCommand {
namespace {

const char *const kHelp =
    "Usage: tarvelin-ecg-cli report --store DIR --study ID --out FILE.pdf [--template NAME]\n"
    "                               [--layout 12by1|6by2|4by3] [--rhythm-lead LEAD]\n"
    "  Writes the report of a stored study as a PDF file (whole or not at all).\n"
    "  --template     the report the study's kind has by default: stressreport1 for a stress\n"
    "                 test, tilttestreport1 for a tilt test, and for a resting ECG ecgreport1\n"
    "                 (12by1), ecgreport2 (6by2) or ecgreport3 (4by3) by --layout; or one of\n"
    "                 these names, ecgReportTracesOnly (resting traces without measurements),\n"
    "                 or the path of an adapted template (.xml)\n"
    "  --layout       ECG trace layout (default 12by1): the resting report's, and that of strips\n"
    "                 that follow the report's layout (the stress report prints its event strips\n"
    "                 in 6by2, which fits its pages)\n"
    "  --rhythm-lead  the lead of the rhythm strip (default II; II, else the first lead, when\n"
    "                 the study has no such lead); --rhythm is the same\n";

struct Options {
    QString store, out, templateName;  // empty: the study kind's own
    qint32 study = 0;
    ReportSettings settings;
    bool help = false;
    QString error;
};

// The templates built in; the stage print's belongs to the event report.
const QStringList kBuiltInTemplates{"stressreport1", "ecgreport1",          "ecgreport2",
                                    "ecgreport3",    "ecgReportTracesOnly", "tilttestreport1"};

Options parse(const QStringList &arguments) {
    Options o;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
            return o;
        }
        if (i + 1 >= arguments.size()) {
            o.error = QStringLiteral("%1 needs a value").arg(a);
            return o;
        }
        const QString value = arguments[++i];
        if (a == QLatin1String("--store"))
            o.store = value;
        else if (a == QLatin1String("--out"))
            o.out = value;
        else if (a == QLatin1String("--template"))
            o.templateName = value;
        else if (a == QLatin1String("--rhythm") || a == QLatin1String("--rhythm-lead"))
            o.settings.rhythmLead = value;
        else if (a == QLatin1String("--layout")) {
            if (value != QLatin1String("12by1") && value != QLatin1String("6by2") && value != QLatin1String("4by3")) {
                o.error = QStringLiteral("--layout expects 12by1, 6by2 or 4by3, not \"%1\"").arg(value);
                return o;
            }
            o.settings.traceLayout = value;
        } else if (a == QLatin1String("--study")) {
            bool ok = false;
            o.study = value.toInt(&ok);
            if (!ok || o.study < 1) {
                o.error = QStringLiteral("--study expects a study id, not \"%1\"").arg(value);
                return o;
            }
        } else {
            o.error = QStringLiteral("unknown option \"%1\"").arg(a);
            return o;
        }
    }
    if (o.store.isEmpty() || o.out.isEmpty() || o.study == 0)
        o.error = QStringLiteral("--store, --study and --out are required");
    return o;
}

// The template's resource or file; empty with `error` set when refused.
// An empty name is the study kind's own, chosen once the study is open.
QString templateSource(const QString &name, QString *error) {
    if (name.isEmpty()) return QString();
    if (kBuiltInTemplates.contains(name)) return QStringLiteral(":/res/%1.xml").arg(name);
    if (name.endsWith(QLatin1String(".xml")) && QFileInfo(name).isFile()) return name;
    *error = QStringLiteral("unknown template \"%1\" (%2, or the path of a .xml template)")
                 .arg(name, kBuiltInTemplates.join(QStringLiteral(", ")));
    return QString();
}

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    const Options options = parse(arguments);
    if (options.help) {
        out << kHelp;
        return 0;
    }
    QString error = options.error;
    QString source = error.isEmpty() ? templateSource(options.templateName, &error) : QString();
    if (!error.isEmpty()) {
        err << "tarvelin-ecg-cli report: " << error << '\n' << kHelp;
        return 2;
    }
    try {
        StudyStore store(options.store);
        // Only read: the signal files are opened read-only and the study is
        // never saved, so a report cannot change it.
        const Study *study = store.openStudy(options.study, HeaderedFile::Access::ReadOnly);
        if (!study) {
            err << "tarvelin-ecg-cli report: Study not found\n";
            return 1;
        }
        const ReportKind::Kind kind = ReportKind::of(*study);
        if (source.isEmpty()) source = ReportKind::templateFor(kind, options.settings.traceLayout);
        const ReportTemplate report = ReportTemplate::load(source);
        const ReportData data = ReportKind::fill(kind, *study, options.settings);
        QStringList unknown;
        const int pages = ReportPdf::write(report, data, options.out, &unknown);
        store.closeStudy(study);
        for (const QString &name : unknown)
            err << "tarvelin-ecg-cli report: warning: the template names an unknown field [" << name << "]\n";
        out << options.out << '\t' << pages << " pages\n";
        return 0;
    } catch (const std::exception &e) {
        err << "tarvelin-ecg-cli report: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace ReportCommand
