#include "ui/PhraseListControls.h"

#include "ui/PredefinedPhrases.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QListView>
#include <QPlainTextEdit>
#include <QSignalBlocker>

PhraseListControls::PhraseListControls(PredefinedPhrases &phrases, const Widgets &widgets,
                                       std::function<void()> appended, QObject *parent)
    : QObject(parent), phrases_(phrases), widgets_(widgets) {
    QListView *list = widgets_.list;
    list->setModel(phrases_.viewModel());
    connect(widgets_.add, &QAbstractButton::clicked, this, [this, list] {
        const QModelIndex index = phrases_.add(tr("Enter conclusion"));
        list->setCurrentIndex(index);
        list->edit(index);
    });
    connect(widgets_.remove, &QAbstractButton::clicked, this, [this, list] { phrases_.remove(list->currentIndex()); });
    connect(widgets_.up, &QAbstractButton::clicked, this,
            [this, list] { list->setCurrentIndex(phrases_.move(list->currentIndex(), -1)); });
    connect(widgets_.down, &QAbstractButton::clicked, this,
            [this, list] { list->setCurrentIndex(phrases_.move(list->currentIndex(), 1)); });
    connect(widgets_.alphaSort, &QCheckBox::toggled, this, [this](bool checked) { phrases_.setAlphaSort(checked); });
    connect(list, &QListView::doubleClicked, this, [this, appended](const QModelIndex &index) {
        const QString phrase = phrases_.phrase(index);
        if (phrase.isEmpty()) return;
        // A new paragraph at the end, whatever the caret's place.
        widgets_.conclusion->appendPlainText(phrase);
        if (appended) appended();
    });
}

void PhraseListControls::showLoaded() {
    const QSignalBlocker blocker(widgets_.alphaSort);
    widgets_.alphaSort->setChecked(phrases_.alphaSort());
}
