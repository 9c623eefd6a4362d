#pragma once
// Runs a piece of the program and turns any error that escapes it into the
// "Error" message the user sees, instead of a crash.

#include <QString>
#include <functional>

namespace ErrorGuard {

// The message shown for an error: its own text, or the generic one for an
// error that carries none we can read.
QString messageOf(std::exception_ptr error);

// Calls `body` and returns its result; when it throws, hands the title
// "Error" and the message to `showError` and returns 0.
int run(const std::function<int()> &body, const std::function<void(const QString &, const QString &)> &showError);

}  // namespace ErrorGuard
