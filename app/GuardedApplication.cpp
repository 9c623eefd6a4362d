#include "app/GuardedApplication.h"

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // An exception must not unwind through the toolkit's frames: keep the
        // first one and end every event loop; start-up shows it.
        if (!pendingError_) pendingError_ = std::current_exception();
        QCoreApplication::exit(0);
        return false;
    }
}

void GuardedApplication::rethrowPendingError() {
    if (!pendingError_) return;
    std::exception_ptr error = pendingError_;
    pendingError_ = nullptr;
    std::rethrow_exception(error);
}
