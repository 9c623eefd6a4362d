#include "ui/ProtocolDialog.h"

#include "ui/DialogFieldMarks.h"
#include "ui_ProtocolDialog.h"

#include <QStyledItemDelegate>

namespace {

// The type list's order; the other protocol types are not edited here.
constexpr ProtocolType kTypeByIndex[] = {ProtocolType::Treadmill, ProtocolType::Ergometer, ProtocolType::Pharmacologic};

int typeIndex(ProtocolType type) {
    for (int i = 0; i < 3; ++i)
        if (kTypeByIndex[i] == type) return i;
    return 0;
}

// The stage label is derived from the phases; it gets no editor.
class ReadOnlyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override {
        return nullptr;
    }
};

}  // namespace

ProtocolDialog::ProtocolDialog(const Protocol &protocol, const QString &workloadUnit, const QStringList &takenNames,
                               QWidget *parent)
    : QDialog(parent), ui_(new Ui::ProtocolDialog), working_(protocol), table_(working_, workloadUnit),
      takenNames_(takenNames) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->treeStages->setItemDelegateForColumn(0, new ReadOnlyDelegate(ui_->treeStages));
    ui_->txtName->setText(working_.name);
    // Showing a type the list does not offer as treadmill would change the
    // table under the user; such a protocol keeps its type until one is chosen.
    const QSignalBlocker blocker(ui_->cmbType);
    ui_->cmbType->setCurrentIndex(typeIndex(working_.type));
    rebuildTable(-1);
}

ProtocolDialog::~ProtocolDialog() = default;

void ProtocolDialog::accept() {
    const QString name = ui_->txtName->text().trimmed();
    const bool nameOk = !name.isEmpty() && !takenNames_.contains(name);
    DialogFieldMarks::mark(ui_->txtName, nameOk);
    if (!nameOk) return;
    working_.name = name;
    working_.type = kTypeByIndex[ui_->cmbType->currentIndex()];
    QDialog::accept();
}

void ProtocolDialog::on_cmbType_currentIndexChanged(int index) {
    if (index < 0 || index >= 3) return;
    working_.type = kTypeByIndex[index];
    rebuildTable(selectedRow());
}

void ProtocolDialog::on_treeStages_itemChanged(QTreeWidgetItem *item, int column) {
    if (rebuilding_) return;
    const int row = ui_->treeStages->indexOfTopLevelItem(item);
    const QString shown = table_.edit(row, column, item->text(column));
    const QSignalBlocker blocker(ui_->treeStages);
    item->setText(column, shown);
}

void ProtocolDialog::on_btnAppend_clicked() {
    table_.append(chosenPhase());
    rebuildTable(table_.rowCount() - 1);
}

void ProtocolDialog::on_btnInsert_clicked() {
    const int row = selectedRow();
    table_.insert(row, chosenPhase());
    rebuildTable(row >= 0 ? row : table_.rowCount() - 1);
}

void ProtocolDialog::on_btnDelete_clicked() {
    const int row = selectedRow();
    if (row < 0) return;
    table_.remove(row);
    rebuildTable(std::min(row, table_.rowCount() - 1));
}

StagePhase ProtocolDialog::chosenPhase() const {
    switch (ui_->cmbPhase->currentIndex()) {
    case 1: return StagePhase::Exercise;
    case 2: return StagePhase::Recovery;
    default: return StagePhase::Rest;
    }
}

int ProtocolDialog::selectedRow() const {
    const QList<QTreeWidgetItem *> selected = ui_->treeStages->selectedItems();
    return selected.isEmpty() ? -1 : ui_->treeStages->indexOfTopLevelItem(selected.first());
}

void ProtocolDialog::rebuildTable(int selectRow) {
    rebuilding_ = true;
    QTreeWidget *tree = ui_->treeStages;
    tree->clear();
    const QStringList headings = table_.headings();
    tree->setColumnCount(headings.size());
    tree->setHeaderLabels(headings);
    for (int row = 0; row < table_.rowCount(); ++row) {
        auto *item = new QTreeWidgetItem(tree);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        for (int column = 0; column < headings.size(); ++column) item->setText(column, table_.cellText(row, column));
    }
    // Stage names ("Recovery 3") are longer in some languages than the
    // default column: every column takes the width of its widest text.
    for (int column = 0; column < headings.size(); ++column) tree->resizeColumnToContents(column);
    if (selectRow >= 0 && selectRow < table_.rowCount()) tree->setCurrentItem(tree->topLevelItem(selectRow));
    rebuilding_ = false;
}
