#include "ui/PredefinedPhrases.h"

#include <QSettings>

const char *const PredefinedPhrases::kListKey = "ReviewWindow/PredefinedConclusionList";
const char *const PredefinedPhrases::kAlphaSortKey = "ReviewWindow/PredefinedConclusionListAlphaSort";

const char *const PredefinedPhrases::kRestingListKey = "EcgReviewWindow/PredefinedConclusionList";
const char *const PredefinedPhrases::kRestingAlphaSortKey = "EcgReviewWindow/PredefinedConclusionListAlphaSort";

PredefinedPhrases::PredefinedPhrases(const char *listKey, const char *alphaSortKey)
    : listKey_(QLatin1String(listKey)), alphaSortKey_(QLatin1String(alphaSortKey)) {
    proxy_.setSourceModel(&model_);
    proxy_.setSortCaseSensitivity(Qt::CaseInsensitive);
    proxy_.setSortLocaleAware(true);
}

void PredefinedPhrases::setAlphaSort(bool sorted) {
    alphaSort_ = sorted;
    proxy_.setDynamicSortFilter(sorted);
    // Column -1 gives back the stored order.
    proxy_.sort(sorted ? 0 : -1);
}

QModelIndex PredefinedPhrases::add(const QString &text) {
    const int row = model_.rowCount();
    model_.insertRows(row, 1);
    model_.setData(model_.index(row), text);
    return proxy_.mapFromSource(model_.index(row));
}

void PredefinedPhrases::remove(const QModelIndex &viewIndex) {
    if (!viewIndex.isValid()) return;
    model_.removeRows(proxy_.mapToSource(viewIndex).row(), 1);
}

QModelIndex PredefinedPhrases::move(const QModelIndex &viewIndex, int by) {
    if (!viewIndex.isValid()) return viewIndex;
    const int from = proxy_.mapToSource(viewIndex).row();
    const int to = from + by;
    if (to < 0 || to >= model_.rowCount()) return viewIndex;
    QStringList list = model_.stringList();
    list.move(from, to);
    model_.setStringList(list);
    return proxy_.mapFromSource(model_.index(to));
}

QString PredefinedPhrases::phrase(const QModelIndex &viewIndex) const {
    return viewIndex.isValid() ? proxy_.data(viewIndex).toString() : QString();
}

void PredefinedPhrases::load() {
    QSettings settings;
    model_.setStringList(settings.value(listKey_).toStringList());
    setAlphaSort(settings.value(alphaSortKey_, false).toBool());
}

void PredefinedPhrases::save() const {
    QSettings settings;
    settings.setValue(listKey_, model_.stringList());
    settings.setValue(alphaSortKey_, alphaSort_);
}
