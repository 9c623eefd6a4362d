// tarvelin-ecg-screenshots: renders the program's windows and widgets
// offscreen, fed from the demonstration recording and the simulator, into
// PNG files for the user guide (docs/screenshots by default).
//
// Usage: tarvelin-ecg-screenshots [--lang en|es] [FOLDER]
// The windows speak Spanish under a Spanish locale (LANG=es_ES.UTF-8), as
// the installed program does, or when --lang es asks for it; --lang en keeps
// them English whatever the locale.

#include "tools/screenshots/DialogScreenshots.h"
#include "tools/screenshots/DisplayScreenshots.h"
#include "tools/screenshots/LauncherScreenshots.h"
#include "tools/screenshots/MonitorScreenshots.h"
#include "tools/screenshots/RestingReportScreenshots.h"
#include "tools/screenshots/ReviewScreenshots.h"
#include "tools/screenshots/StressReportScreenshots.h"
#include "tools/screenshots/WidgetScreenshots.h"

#include "app/Startup.h"
#include "app/TranslationChoice.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

namespace {

// The built catalogues, as an installation beside the program would load
// them, and Qt's own Spanish texts (standard buttons) from the system.
std::vector<std::unique_ptr<QTranslator>> speakSpanish() {
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    std::vector<std::unique_ptr<QTranslator>> translators =
        Startup::installTranslations(QStringLiteral(TARVELIN_QM_DIR));
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qt_es"), QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        translators.push_back(std::move(qt));
    }
    return translators;
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    bool spanish = TranslationChoice::isSpanish(QLocale::system().name());
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--lang")) {
        const QString language = arguments.at(1);
        if (language != QLatin1String("es") && language != QLatin1String("en")) {
            std::fprintf(stderr, "tarvelin-ecg-screenshots: unknown language %s (en or es)\n", qPrintable(language));
            return 2;
        }
        spanish = language == QLatin1String("es");
        arguments = arguments.mid(2);
    }
    // English pictures under a Spanish desktop: dates and numbers in English too.
    if (!spanish && TranslationChoice::isSpanish(QLocale::system().name()))
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto translators = spanish ? speakSpanish() : std::vector<std::unique_ptr<QTranslator>>();
    if (spanish && translators.size() < 3) {
        // Ours come from the build tree, Qt's from qttranslations5-l10n: a
        // picture with half its texts in English is worse than none.
        std::fprintf(stderr,
                     "tarvelin-ecg-screenshots: a Spanish catalogue is missing (TarvelinStressECG_es and report_es "
                     "from %s, qt_es from %s)\n",
                     TARVELIN_QM_DIR, qPrintable(QLibraryInfo::location(QLibraryInfo::TranslationsPath)));
        return 1;
    }
    const QString folder = arguments.value(0, QStringLiteral("docs/screenshots"));
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "tarvelin-ecg-screenshots: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    ScreenshotList list;
    addDisplayScreenshots(list);
    addWidgetScreenshots(list);
    addMonitorScreenshots(list);
    addReviewScreenshots(list);
    addDialogScreenshots(list);
    addRestingReportScreenshots(list);
    addStressReportScreenshots(list);
    addLauncherScreenshots(list);
    // Names after the folder render only those pictures.
    const QStringList only = arguments.mid(1);
    int failures = 0;
    for (const Screenshot &shot : list) {
        if (!only.isEmpty() && !only.contains(shot.name)) continue;
        const QString path = QDir(folder).filePath(shot.name + QStringLiteral(".png"));
        try {
            const QImage image = shot.render();
            if (image.isNull() || !image.save(path, "PNG")) throw std::runtime_error("Cannot write file");
            std::printf("%s\n", qPrintable(path));
        } catch (const std::exception &e) {
            std::fprintf(stderr, "tarvelin-ecg-screenshots: %s: %s\n", qPrintable(path), e.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
