// tarvelin-ecg-screenshots: renders the program's windows and widgets
// offscreen, fed from the demonstration recording and the simulator, into
// PNG files for the user guide (docs/screenshots by default).

#include "tools/screenshots/DialogScreenshots.h"
#include "tools/screenshots/DisplayScreenshots.h"
#include "tools/screenshots/LauncherScreenshots.h"
#include "tools/screenshots/MonitorScreenshots.h"
#include "tools/screenshots/RestingReportScreenshots.h"
#include "tools/screenshots/ReviewScreenshots.h"
#include "tools/screenshots/WidgetScreenshots.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <exception>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
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
