#include "ui/EventListControls.h"

#include "store/Study.h"
#include "ui/QSignalBrowseDisplay.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>

namespace {

constexpr int kDescriptionColumn = 2;

QString minutesSeconds(double seconds) {
    const int s = std::max(0, static_cast<int>(seconds));
    return QString::asprintf("%02d:%02d", s / 60, s % 60);
}

}  // namespace

EventListControls::EventListControls(Study &study, const Widgets &widgets, double eventSeconds,
                                     std::function<void()> modified, std::function<void()> shown, QObject *parent)
    : QObject(parent), study_(study), widgets_(widgets), eventSeconds_(eventSeconds), modified_(std::move(modified)),
      shown_(std::move(shown)) {
    QTreeWidget *tree = widgets_.tree;
    connect(widgets_.add, &QAbstractButton::clicked, this, [this] { add(); });
    connect(widgets_.remove, &QAbstractButton::clicked, this, [this] { removeCurrent(); });
    connect(tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item, int) { edit(item); });
    connect(tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current, QTreeWidgetItem *) { show(current); });
    connect(tree, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem *item, int column) { describe(item, column); });
    tree->installEventFilter(this);
}

void EventListControls::fill() {
    filling_ = true;
    widgets_.tree->clear();
    for (int i = 0; i < study_.eventCount(); ++i) {
        const StudyEvent &event = study_.event(i);
        new QTreeWidgetItem(widgets_.tree, {minutesSeconds(event.position), QString::number(event.duration, 'f', 0),
                                            QString::fromUtf8(event.description)});
    }
    filling_ = false;
}

void EventListControls::add() {
    const QSignalBrowseDisplay *display = widgets_.display;
    StudyEvent &event = study_.addEvent();
    event.position = display->cursorTime() >= 0.0 ? display->cursorTime() : display->startTime();
    event.duration = eventSeconds_;
    event.description = tr("Enter description").toUtf8();
    modified_();
    fill();
    QTreeWidgetItem *item = widgets_.tree->topLevelItem(study_.eventCount() - 1);
    widgets_.tabs->setCurrentWidget(widgets_.eventsTab);
    widgets_.tree->setCurrentItem(item);
    edit(item);
}

void EventListControls::removeCurrent() {
    const int row = widgets_.tree->indexOfTopLevelItem(widgets_.tree->currentItem());
    if (row < 0 || row >= study_.eventCount()) return;
    study_.removeEvent(row);
    modified_();
    widgets_.display->setHighlight(0.0, 0.0);
    fill();
}

void EventListControls::edit(QTreeWidgetItem *item) {
    if (!item) return;
    filling_ = true;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    filling_ = false;
    widgets_.tree->editItem(item, kDescriptionColumn);
}

void EventListControls::show(QTreeWidgetItem *current) {
    const int row = widgets_.tree->indexOfTopLevelItem(current);
    if (filling_ || row < 0 || row >= study_.eventCount()) return;
    const StudyEvent &event = study_.event(row);
    widgets_.display->setStartTime(std::max(0.0, event.position - 1.0));
    widgets_.display->setHighlight(event.position, event.duration);
    shown_();
}

void EventListControls::describe(QTreeWidgetItem *item, int column) {
    const int row = widgets_.tree->indexOfTopLevelItem(item);
    if (filling_ || column != kDescriptionColumn || row < 0 || row >= study_.eventCount()) return;
    study_.event(row).description = item->text(kDescriptionColumn).trimmed().toUtf8();
    modified_();
}

bool EventListControls::eventFilter(QObject *watched, QEvent *event) {
    // An open description editor gets its keys itself, not through the list.
    if (watched == widgets_.tree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Insert) {
            add();
            return true;
        }
        if (key == Qt::Key_Delete) {
            removeCurrent();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
