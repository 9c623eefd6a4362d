#pragma once
// The reviewer's predefined conclusion phrases: a list model kept in
// "ReviewWindow/PredefinedConclusionList", shown through a proxy that sorts
// alphabetically while "ReviewWindow/PredefinedConclusionListAlphaSort" is
// set (the resting review keeps its own list under its own keys). Rows are
// addressed as the view shows them (proxy rows).

#include <QSortFilterProxyModel>
#include <QStringListModel>

class PredefinedPhrases {
public:
    static const char *const kListKey;
    static const char *const kAlphaSortKey;

    static const char *const kRestingListKey;
    static const char *const kRestingAlphaSortKey;

    explicit PredefinedPhrases(const char *listKey = kListKey, const char *alphaSortKey = kAlphaSortKey);

    QAbstractItemModel *viewModel() { return &proxy_; }
    QStringList phrases() const { return model_.stringList(); }
    bool alphaSort() const { return alphaSort_; }
    void setAlphaSort(bool sorted);

    // Appends `text`; returns the view's index of the new row.
    QModelIndex add(const QString &text);
    void remove(const QModelIndex &viewIndex);
    // Moves the phrase one place in the stored order; returns its new view
    // index (the same row while the list is sorted).
    QModelIndex move(const QModelIndex &viewIndex, int by);
    QString phrase(const QModelIndex &viewIndex) const;

    void load();
    void save() const;

private:
    QStringListModel model_;
    QSortFilterProxyModel proxy_;
    bool alphaSort_ = false;
    QString listKey_;
    QString alphaSortKey_;
};
