#pragma once
// The predefined-phrase list of a review window's conclusion, wired to its
// buttons: "+" adds a phrase and opens it for editing, "-" removes the one
// chosen, "Up"/"Down" move it, the check box sorts the list alphabetically,
// and a double click appends the phrase to the conclusion as a paragraph.

#include <QObject>
#include <functional>

class PredefinedPhrases;
class QAbstractButton;
class QCheckBox;
class QListView;
class QPlainTextEdit;

class PhraseListControls : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QListView *list;
        QAbstractButton *add;
        QAbstractButton *remove;
        QAbstractButton *up;
        QAbstractButton *down;
        QCheckBox *alphaSort;
        QPlainTextEdit *conclusion;
    };

    // `phrases` must outlive the controls; `appended` runs after a phrase
    // was appended to the conclusion.
    PhraseListControls(PredefinedPhrases &phrases, const Widgets &widgets, std::function<void()> appended,
                       QObject *parent);

    // Shows the phrases as loaded: their order and the check box's state.
    void showLoaded();

private:
    PredefinedPhrases &phrases_;
    Widgets widgets_;
};
