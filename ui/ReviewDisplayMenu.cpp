#include "ui/ReviewDisplayMenu.h"

#include "analysis/SignalSource.h"
#include "ui/DisplayColorScheme.h"
#include "ui/QSignalBrowseDisplay.h"

#include <QMenu>
#include <QTimer>

void ReviewDisplayMenu::fill(QMenu &menu, QSignalBrowseDisplay &display, const SignalSource *signal,
                             const std::function<void()> &reopen,
                             const std::function<void(const QString &)> &setScheme) {
    menu.clear();
    const int leads = signal ? signal->channelCount() : 0;
    menu.addSection(tr("Show leads"));
    for (int lead = 0; lead < leads; ++lead) {
        QAction *action = menu.addAction(signal->channelName(lead));
        action->setCheckable(true);
        action->setChecked(display.isLeadShown(lead));
        QObject::connect(action, &QAction::triggered, &menu, [&menu, &display, reopen, lead](bool checked) {
            display.setLeadShown(lead, checked);
            QTimer::singleShot(0, &menu, reopen);
        });
    }
    menu.addSeparator();
    if (leads > 5) {
        QAction *hexaxial = menu.addAction(tr("Hexaxial order"));
        hexaxial->setCheckable(true);
        hexaxial->setChecked(display.hexaxialOrder());
        QObject::connect(hexaxial, &QAction::triggered, &display, &EcgDisplayBase::setHexaxialOrder);
    }
    QAction *average = menu.addAction(tr("Average beat"));
    average->setCheckable(true);
    average->setChecked(display.showAverageBeat());
    QObject::connect(average, &QAction::triggered, &display, &EcgDisplayBase::setShowAverageBeat);
    QMenu *schemes = menu.addMenu(tr("Color scheme"));
    for (const QString &name : DisplayColorScheme::names()) {
        QAction *action = schemes->addAction(DisplayColorScheme::translatedName(name));
        QObject::connect(action, &QAction::triggered, &menu, [setScheme, name] { setScheme(name); });
    }
}
