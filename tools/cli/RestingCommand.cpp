#include "tools/cli/RestingCommand.h"

#include "store/StudyStore.h"
#include "tools/cli/BeatsOptions.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/RestingStudy.h"

#include <QDateTime>
#include <cmath>
#include <stdexcept>

namespace RestingCommand {
namespace {

const char *const kHelp =
    "Usage: tarvelin-ecg-cli resting --store DIR (--wfdb RECORD | --raw FILE --rate R --channels N [--range-mv MV])\n"
    "                                [--seconds N] [--last NAME] [--first NAME] [--age N]\n"
    "  Makes a resting-ECG study of the store from the first N seconds (10) of a recording: its\n"
    "  signal, the beats the analysis finds and the global 12-lead measurement (rate, PR, P, QRS,\n"
    "  QT, QTc, axes). Prints \"study ID\".\n";

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    QString store;
    double seconds = RestingStudy::kDefaultSeconds;
    StudyInfo info;
    QStringList input;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << kHelp;
            return 0;
        }
        const bool ours = a == QLatin1String("--store") || a == QLatin1String("--seconds") ||
                          a == QLatin1String("--last") || a == QLatin1String("--first") || a == QLatin1String("--age");
        if (!ours) {
            input << a;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            err << "tarvelin-ecg-cli resting: " << a << " needs a value\n" << kHelp;
            return 2;
        }
        const QString value = arguments[++i];
        bool ok = true;
        if (a == QLatin1String("--store"))
            store = value;
        else if (a == QLatin1String("--seconds"))
            seconds = value.toDouble(&ok);
        else if (a == QLatin1String("--last"))
            info.patientLastName = value.toUtf8();
        else if (a == QLatin1String("--first"))
            info.patientFirstName = value.toUtf8();
        else {
            const int age = value.toInt(&ok);
            ok = ok && age >= 1 && age <= 120;
            info.patientAge = value.toUtf8();
        }
        if (!ok || !std::isfinite(seconds) || seconds <= 0.0) {
            err << "tarvelin-ecg-cli resting: " << a << " does not take \"" << value << "\"\n" << kHelp;
            return 2;
        }
    }
    const BeatsOptions options = BeatsOptions::parse(input);
    if (store.isEmpty() || !options.error.isEmpty() || options.input == BeatsOptions::Input::None) {
        err << "tarvelin-ecg-cli resting: "
            << (store.isEmpty()           ? QStringLiteral("--store is required")
                : options.error.isEmpty() ? QStringLiteral("--wfdb or --raw is required")
                                          : options.error)
            << '\n'
            << kHelp;
        return 2;
    }
    LoadedInput loaded;
    QString error;
    if (!InputLoader::load(options, &loaded, &error)) {
        err << "tarvelin-ecg-cli resting: " << error << '\n';
        return 1;
    }
    Recording &recording = loaded.recording;
    RestingStudy::keepFirstSeconds(recording, seconds);
    info.studyDateTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    try {
        StudyStore studies(store);
        Study *study = RestingStudy::create(studies, recording, info);
        out << "study " << study->id() << '\n';
        studies.closeStudy(study);
        return 0;
    } catch (const std::exception &e) {
        err << "tarvelin-ecg-cli resting: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace RestingCommand
