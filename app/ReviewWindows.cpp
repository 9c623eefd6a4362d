#include "app/ReviewWindows.h"

#include "app/ReportDialog.h"
#include "reports/ReportKind.h"
#include "store/StudyStore.h"
#include "ui/StressReviewWindow.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace ReviewWindows {

QWidget *open(Study &study, StudyStore &store, QWidget *launcher) {
    if (ReportKind::of(study) == ReportKind::Kind::Resting) {
        QMessageBox::information(
            launcher, QCoreApplication::translate("ReviewWindows", "Information"),
            QCoreApplication::translate("ReviewWindows", "Resting ECG studies cannot be reviewed yet."));
        return nullptr;
    }
    auto *window = new StressReviewWindow(study, store);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QString root = store.rootFolder();
    QObject::connect(window, &StressReviewWindow::reportRequested, window, [window, root] {
        ReportDialog dialog(window->study(), root, window);
        dialog.exec();
    });
    window->showMaximized();
    return window;
}

}  // namespace ReviewWindows
