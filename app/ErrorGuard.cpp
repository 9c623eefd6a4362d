#include "app/ErrorGuard.h"

#include <QCoreApplication>
#include <QException>
#include <exception>

namespace ErrorGuard {

QString messageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const QException &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QCoreApplication::translate("ErrorGuard", "Unspecified application error");
    }
}

int run(const std::function<int()> &body, const std::function<void(const QString &, const QString &)> &showError) {
    try {
        return body();
    } catch (...) {
        showError(QCoreApplication::translate("ErrorGuard", "Error"), messageOf(std::current_exception()));
        return 0;
    }
}

}  // namespace ErrorGuard
