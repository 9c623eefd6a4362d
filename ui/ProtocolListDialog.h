#pragma once
// Lists the store's stress protocols and creates, edits and deletes them;
// every change is saved to the protocol table by the store at once.

#include <QDialog>
#include <memory>

class QListWidgetItem;
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

private Q_SLOTS:
    void on_btnNew_clicked();
    void on_btnEdit_clicked();
    void on_btnDelete_clicked();
    void on_lstProtocols_itemActivated(QListWidgetItem *item);

private:
    void refresh(const QString &select);
    QString selectedName() const;
    QStringList namesOtherThan(const QString &name) const;

    std::unique_ptr<Ui::ProtocolListDialog> ui_;
    StudyStore &store_;
    QString workloadUnit_;
};
