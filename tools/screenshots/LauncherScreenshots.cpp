#include "tools/screenshots/LauncherScreenshots.h"

#include "acquisition/AcqDevice.h"
#include "app/MainWindow.h"
#include "app/RecentStudies.h"
#include "app/Startup.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

namespace {

// The launcher reads the store folder from the environment and its lists
// from the settings: both are pointed at a temporary folder for the
// picture, so the user's own studies and settings are never read or written.
class ScratchProfile {
public:
    ScratchProfile() {
        if (!folder_.isValid()) throw std::runtime_error("Cannot create temporary folder");
        savedStore_ = qgetenv("TARVELIN_STORE");
        qputenv("TARVELIN_STORE", folder_.filePath(QStringLiteral("studies")).toLocal8Bit());
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.filePath(QStringLiteral("settings")));
        QSettings().clear();
        const QList<RecentStudies::Entry> recent = {
            {1040, "20261208093512", QStringLiteral("Pérez Gómez"), QStringLiteral("Ana María")},
            {1039, "20261207161004", QStringLiteral("Ferrari"), QStringLiteral("Lucía")},
            {1038, "20261207110245", QStringLiteral("Ortega"), QStringLiteral("Julián")},
            {1037, "20261204084930", QStringLiteral("Ibáñez"), QStringLiteral("Marta")},
        };
        QStringList texts;
        for (const RecentStudies::Entry &entry : recent) texts << RecentStudies::format(entry);
        RecentStudies::save(texts);
    }
    ~ScratchProfile() {
        QSettings::setDefaultFormat(QSettings::NativeFormat);
        savedStore_.isNull() ? qunsetenv("TARVELIN_STORE") : qputenv("TARVELIN_STORE", savedStore_);
    }

private:
    QTemporaryDir folder_;
    QByteArray savedStore_;
};

// The style sheet and version the program sets at start-up, so the picture
// shows the launcher as users see it.
void applyProgramLook() {
    qApp->setStyleSheet(Startup::styleSheet());
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Startup::kApplicationVersion));
}

QImage launcherPage(const char *pageButton, bool withPatient) {
    ScratchProfile profile;
    applyProgramLook();
    MainWindow launcher([](bool) -> std::unique_ptr<AcqDevice> { throw std::runtime_error("No device"); });
    // A review window is wired in the program; the picture shows Open as
    // users have it.
    launcher.setReviewOpener([](Study &, StudyStore &, QWidget *) -> QWidget * { return nullptr; });
    launcher.resize(900, 600);
    launcher.findChild<QPushButton *>(QLatin1String(pageButton))->click();
    if (withPatient) {
        const QString suffix =
            QLatin1String(pageButton) == QLatin1String("btnNewStudyEcg") ? QStringLiteral("Ecg") : QString();
        launcher.findChild<QLineEdit *>(QStringLiteral("txtLastName") + suffix)->setText(QStringLiteral("Pérez Gómez"));
        launcher.findChild<QLineEdit *>(QStringLiteral("txtFirstName") + suffix)->setText(QStringLiteral("Ana María"));
        launcher.findChild<QRadioButton *>(QStringLiteral("radFemale") + suffix)->setChecked(true);
        launcher.findChild<QLineEdit *>(QStringLiteral("txtPatientId") + suffix)->setText(QStringLiteral("HC-20417"));
    }
    launcher.show();
    QApplication::processEvents();
    QImage image = launcher.grab().toImage();
    qApp->setStyleSheet(QString());
    return image;
}

}  // namespace

void addLauncherScreenshots(ScreenshotList &list) {
    list.push_back(
        {QStringLiteral("launcher-new-stress-test"), [] { return launcherPage("btnNewStudyStress", true); }});
    list.push_back({QStringLiteral("launcher-new-ecg"), [] { return launcherPage("btnNewStudyEcg", true); }});
    list.push_back({QStringLiteral("launcher-open-study"), [] { return launcherPage("btnOpenStudy", false); }});
}
