#include "app/ReviewWindows.h"

#include "app/ReportDialog.h"
#include "reports/ReportKind.h"
#include "store/Study.h"
#include "store/StudyStore.h"
#include "ui/StressReviewWindow.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <exception>

namespace ReviewWindows {

void markReported(Study &study, StudyStore &store, QWidget *parent) {
    // The study browser marks reported studies and opens their report.
    if (study.property("status") == QByteArray("report")) return;
    study.setProperty("status", "report");
    try {
        store.saveStudy(study);
    } catch (const std::exception &error) {
        QMessageBox::critical(parent, QCoreApplication::translate("ReviewWindows", "Error"),
                              QString::fromLocal8Bit(error.what()));
    }
}

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
    QObject::connect(window, &StressReviewWindow::reportRequested, window, [window, &store, root] {
        ReportDialog dialog(window->study(), root, window);
        if (dialog.exec() == QDialog::Accepted) markReported(window->study(), store, window);
    });
    window->showMaximized();
    return window;
}

}  // namespace ReviewWindows
