#include "app/Startup.h"

#include "app/ErrorGuard.h"
#include "app/FirstStartDefaults.h"
#include "app/GuardedApplication.h"
#include "app/MainWindow.h"
#include "app/ReviewWindows.h"
#include "app/SingleInstanceGuard.h"
#include "app/TranslationChoice.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

static void initResources() { Q_INIT_RESOURCE(resources); }

namespace Startup {

const char *const kOrganizationName = "Tarvelin";
const char *const kApplicationName = "Dodare RUD";
const char *const kApplicationVersion = "1.27";

void setIdentity() {
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kApplicationVersion));
}

QString instanceKey() {
    return QStringLiteral("%1 %2").arg(QCoreApplication::organizationName(), QCoreApplication::applicationName());
}

namespace {

std::vector<std::unique_ptr<QTranslator>> install(const std::vector<TranslationChoice::Catalogue> &catalogues) {
    std::vector<std::unique_ptr<QTranslator>> installed;
    for (const TranslationChoice::Catalogue &catalogue : catalogues) {
        auto translator = std::make_unique<QTranslator>();
        // A missing catalogue is skipped silently: the interface stays English.
        if (translator->load(catalogue.name, catalogue.folder)) {
            QCoreApplication::installTranslator(translator.get());
            installed.push_back(std::move(translator));
        }
    }
    return installed;
}

}  // namespace

std::vector<std::unique_ptr<QTranslator>> installTranslations(const QString &folder) {
    std::vector<TranslationChoice::Catalogue> catalogues;
    for (const char *name : {"qt_es", "TarvelinStressECG_es", "report_es"})
        catalogues.push_back({QString::fromLatin1(name), folder});
    return install(catalogues);
}

std::vector<std::unique_ptr<QTranslator>> installChosenTranslations() {
    return install(TranslationChoice::choose(QCoreApplication::applicationDirPath(), QLocale::system().name(),
                                             QLibraryInfo::location(QLibraryInfo::TranslationsPath)));
}

QString styleSheet() {
    initResources();
    QFile file(QStringLiteral(":/styles/dark.css"));
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

Services defaultServices() {
    Services services;
    services.information = [](const QString &title, const QString &text) {
        QMessageBox::information(nullptr, title, text, QMessageBox::Ok);
    };
    services.critical = [](const QString &title, const QString &text) {
        QMessageBox::critical(nullptr, title, text, QMessageBox::Ok);
    };
    services.createLauncher = [] {
        auto launcher = std::make_unique<MainWindow>();
        launcher->setReviewOpener(&ReviewWindows::open);
        return std::unique_ptr<QWidget>(std::move(launcher));
    };
    return services;
}

int run(GuardedApplication &app, const QString &key, const Services &services) {
    SingleInstanceGuard instance(key);
    if (!instance.tryAcquire()) {
        services.information(QCoreApplication::translate("Startup", "Information"),
                             QCoreApplication::translate("Startup", "%1 is already running").arg(key));
        return 0;
    }
    app.setStyleSheet(styleSheet());

    // The launcher is built inside the guard: an error while creating it (an
    // unreadable study database, say) is shown like any other, not a crash.
    std::unique_ptr<QWidget> launcher;
    const int code = ErrorGuard::run(
        [&] {
            launcher = services.createLauncher();
            launcher->show();
            const int loopCode = app.exec();
            app.rethrowPendingError();
            return loopCode;
        },
        services.critical);
    launcher.reset();
    return code;
}

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    GuardedApplication app(argc, argv);
    setIdentity();
    FirstStartDefaults::apply(QCoreApplication::applicationDirPath());
    const auto translators = installChosenTranslations();
    return run(app, instanceKey(), defaultServices());
}

}  // namespace Startup
