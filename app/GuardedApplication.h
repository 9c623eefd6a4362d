#pragma once
// The application object: an error thrown from any event handler or slot is
// caught here, the event loop ends, and the start-up code shows it.

#include <QApplication>
#include <exception>

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
    // Throws the first error caught during the event loop, if any.
    void rethrowPendingError();

private:
    std::exception_ptr pendingError_;
};
