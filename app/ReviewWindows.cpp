#include "app/ReviewWindows.h"

#include "app/ReportDialog.h"
#include "reports/ReportKind.h"
#include "store/StudyStore.h"
#include "ui/EcgReviewWindow.h"
#include "ui/StressReviewWindow.h"

namespace ReviewWindows {

namespace {

template <class Window>
QWidget *show(Study &study, StudyStore &store) {
    auto *window = new Window(study, store);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QString root = store.rootFolder();
    QObject::connect(window, &Window::reportRequested, window, [window, root] {
        ReportDialog dialog(window->study(), root, window);
        dialog.exec();
    });
    window->showMaximized();
    return window;
}

}  // namespace

QWidget *open(Study &study, StudyStore &store, QWidget *) {
    if (ReportKind::of(study) == ReportKind::Kind::Resting) return show<EcgReviewWindow>(study, store);
    return show<StressReviewWindow>(study, store);
}

}  // namespace ReviewWindows
