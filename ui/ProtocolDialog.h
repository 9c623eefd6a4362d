#pragma once
// Edits one stress protocol: its name, type and stage table, on a working
// copy that the caller saves when the dialog is accepted.

#include "store/Protocol.h"
#include "ui/ProtocolStageTable.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class QTreeWidgetItem;

namespace Ui {
class ProtocolDialog;
}

class ProtocolDialog : public QDialog {
    Q_OBJECT
public:
    // `workloadUnit`: "watts" or "kgm/min", as configured. `takenNames`: the
    // names of the other stored protocols, which this one may not take.
    ProtocolDialog(const Protocol &protocol, const QString &workloadUnit, const QStringList &takenNames,
                   QWidget *parent = nullptr);
    ~ProtocolDialog() override;

    // The edited protocol; its name and type are those of the form once the
    // dialog has been accepted.
    const Protocol &protocol() const { return working_; }

    // Refuses an empty name, or one another protocol has, by marking the field.
    void accept() override;

private Q_SLOTS:
    void on_cmbType_currentIndexChanged(int index);
    void on_treeStages_itemChanged(QTreeWidgetItem *item, int column);
    void on_btnAppend_clicked();
    void on_btnInsert_clicked();
    void on_btnDelete_clicked();

private:
    void rebuildTable(int selectRow);
    int selectedRow() const;
    StagePhase chosenPhase() const;

    std::unique_ptr<Ui::ProtocolDialog> ui_;
    Protocol working_;
    ProtocolStageTable table_;
    QStringList takenNames_;
    bool rebuilding_ = false;
};
