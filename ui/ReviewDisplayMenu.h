#pragma once
// The browse display's context menu as both review windows show it: which
// leads are shown, hexaxial order, the average-beat inset and the colour
// scheme. A window adds its own items after these.

#include <QCoreApplication>
#include <functional>

class QMenu;
class QSignalBrowseDisplay;
class SignalSource;

class ReviewDisplayMenu {
    Q_DECLARE_TR_FUNCTIONS(ReviewDisplayMenu)
public:
    // Clears `menu` and fills it for `display` over `signal` (null: no lead
    // items). `reopen` shows the menu again after a lead was switched on or
    // off, since several are usually changed in a row; `setScheme` applies
    // a colour scheme chosen.
    static void fill(QMenu &menu, QSignalBrowseDisplay &display, const SignalSource *signal,
                     const std::function<void()> &reopen, const std::function<void(const QString &)> &setScheme);
};
