#include "tools/cli/ReportCommand.h"

#include "reports/ReportPdf.h"
#include "reports/StressReportData.h"
#include "store/StudyStore.h"

#include <QFileInfo>
#include <stdexcept>

namespace ReportCommand {
namespace {

const char *const kHelp = "Usage: tarvelin-ecg-cli report --store DIR --study ID --out FILE.pdf [--template NAME]\n"
                          "                               [--layout 12by1|6by2|4by3] [--rhythm LEAD]\n"
                          "  Writes the report of a stored study as a PDF file (whole or not at all).\n"
                          "  --template  stressreport1 (the default), or the path of an adapted template (.xml)\n"
                          "  --layout    ECG trace layout of strips that follow the report's layout (default 12by1;\n"
                          "              the stress report prints its event strips in 6by2, which fits its pages)\n"
                          "  --rhythm    rhythm lead of the 4by3 layout (default II)\n";

struct Options {
    QString store, out, templateName = QStringLiteral("stressreport1");
    qint32 study = 0;
    ReportSettings settings;
    bool help = false;
    QString error;
};

// Templates that exist so far; the resting and tilt-test ones are refused
// by name until they are written.
const QStringList kKnownTemplates{"stressreport1",       "ecgreport1",      "ecgreport2",        "ecgreport3",
                                  "ecgReportTracesOnly", "tilttestreport1", "stressStageReport1"};

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
        else if (a == QLatin1String("--rhythm"))
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
QString templateSource(const QString &name, QString *error) {
    if (name == QLatin1String("stressreport1")) return QStringLiteral(":/res/stressreport1.xml");
    if (kKnownTemplates.contains(name)) {
        *error =
            QStringLiteral("the template \"%1\" is not available yet; this version writes stressreport1").arg(name);
        return QString();
    }
    if (name.endsWith(QLatin1String(".xml")) && QFileInfo(name).isFile()) return name;
    *error = QStringLiteral("unknown template \"%1\" (stressreport1, or the path of a .xml template)").arg(name);
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
    const QString source = error.isEmpty() ? templateSource(options.templateName, &error) : QString();
    if (!error.isEmpty()) {
        err << "tarvelin-ecg-cli report: " << error << '\n' << kHelp;
        return 2;
    }
    try {
        const ReportTemplate report = ReportTemplate::load(source);
        StudyStore store(options.store);
        // Only read: the signal files are opened read-only and the study is
        // never saved, so a report cannot change it.
        const Study *study = store.openStudy(options.study, HeaderedFile::Access::ReadOnly);
        if (!study) {
            err << "tarvelin-ecg-cli report: Study not found\n";
            return 1;
        }
        const ReportData data = StressReportData::fill(*study, options.settings);
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
