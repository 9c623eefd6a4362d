#pragma once
// The events list of a review window, wired to its buttons and keys: "+" or
// Insert adds an event at the ECG's cursor (at the page's start without
// one) and opens its description for editing; "-" or Delete removes the one
// chosen; choosing a row shows that event on the ECG, highlighted; a double
// click edits its description.

#include <QObject>
#include <functional>

class QAbstractButton;
class QSignalBrowseDisplay;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class Study;

class EventListControls : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QTreeWidget *tree;  // columns: time, duration, description
        QAbstractButton *add;
        QAbstractButton *remove;
        QSignalBrowseDisplay *display;
        QTabWidget *tabs;  // turned to `eventsTab` when an event is added
        QWidget *eventsTab;
    };

    // `study` must outlive the controls. A new event lasts `eventSeconds`;
    // `modified` runs after every change to the study's events, `shown`
    // after the ECG moved to an event.
    EventListControls(Study &study, const Widgets &widgets, double eventSeconds, std::function<void()> modified,
                      std::function<void()> shown, QObject *parent);

    // Lists the study's events anew.
    void fill();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void add();
    void removeCurrent();
    void edit(QTreeWidgetItem *item);
    void show(QTreeWidgetItem *current);
    void describe(QTreeWidgetItem *item, int column);

    Study &study_;
    Widgets widgets_;
    double eventSeconds_;
    std::function<void()> modified_;
    std::function<void()> shown_;
    bool filling_ = false;
};
