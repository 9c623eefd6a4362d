#include "app/ReviewWindows.h"

#include "app/ReportDialog.h"
#include "reports/ReportKind.h"
#include "store/Study.h"
#include "store/StudyStore.h"
#include "ui/EcgReviewWindow.h"
#include "ui/StressReviewWindow.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <exception>

namespace ReviewWindows {

namespace {

template <class Window>
QWidget *show(Study &study, StudyStore &store) {
    auto *window = new Window(study, store);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QString root = store.rootFolder();
    QObject::connect(window, &Window::reportRequested, window, [window, &store, root] {
        ReportDialog dialog(window->study(), root, window);
        if (dialog.exec() == QDialog::Accepted) markReported(window->study(), store, window);
    });
    window->showMaximized();
    return window;
}

}  // namespace

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

QWidget *open(Study &study, StudyStore &store, QWidget *) {
    if (ReportKind::of(study) == ReportKind::Kind::Resting) return show<EcgReviewWindow>(study, store);
    return show<StressReviewWindow>(study, store);
}

}  // namespace ReviewWindows
