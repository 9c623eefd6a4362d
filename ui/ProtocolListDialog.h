#pragma once
// Lists the store's stress protocols and treadmill ramps and creates, edits
// and deletes them; every change is saved at once, protocols to the store's
// protocol table, ramps to the ramp table beside it.

#include <QDialog>
#include <functional>
#include <memory>

class QListWidgetItem;
class RampTable;
class StudyStore;

namespace Ui {
class ProtocolListDialog;
}

class ProtocolListDialog : public QDialog {
    Q_OBJECT
public:
    // `workloadUnit`: "watts" or "kgm/min", handed to the protocol editor.
    ProtocolListDialog(StudyStore &store, const QString &workloadUnit, QWidget *parent = nullptr);
    ~ProtocolListDialog() override;

    // Runs the editor on the stored protocol `name` and saves it when
    // accepted. Throws "Cannot load protocol" when the store has no such
    // protocol.
    void editProtocol(const QString &name);
    void newProtocol();
    // Asks first; a "No" leaves the table alone.
    void deleteProtocol(const QString &name);
    // The same for ramps; "Cannot load ramp" for a ramp the table lacks.
    void editRamp(const QString &name);
    void newRamp();
    void deleteRamp(const QString &name);

private Q_SLOTS:
    void on_btnNew_clicked();
    void on_btnEdit_clicked();
    void on_btnDelete_clicked();
    void on_lstProtocols_itemActivated(QListWidgetItem *item);
    void on_btnNewRamp_clicked();
    void on_btnEditRamp_clicked();
    void on_btnDeleteRamp_clicked();
    void on_lstRamps_itemActivated(QListWidgetItem *item);

private:
    void refresh(const QString &select);
    void refreshRamps(const QString &select);
    QString selectedName() const;
    QString selectedRamp() const;
    // Every protocol and ramp name but `name`: a protocol and a ramp are
    // chosen by name from one list, so no two may share one.
    QStringList namesOtherThan(const QString &name) const;
    bool confirmRemoval(const QString &question);
    // Runs `action`, showing its error as the window that started it.
    void guarded(const std::function<void()> &action);

    std::unique_ptr<Ui::ProtocolListDialog> ui_;
    StudyStore &store_;
    QString workloadUnit_;
    std::unique_ptr<RampTable> ramps_;  // none when its file could not be read
};
