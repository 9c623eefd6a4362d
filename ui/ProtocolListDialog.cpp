#include "ui/ProtocolListDialog.h"

#include "store/StudyStore.h"
#include "ui/ProtocolDialog.h"
#include "ui_ProtocolListDialog.h"

#include <QMessageBox>
#include <stdexcept>

ProtocolListDialog::ProtocolListDialog(StudyStore &store, const QString &workloadUnit, QWidget *parent)
    : QDialog(parent), ui_(new Ui::ProtocolListDialog), store_(store), workloadUnit_(workloadUnit) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    refresh(QString());
}

ProtocolListDialog::~ProtocolListDialog() = default;

void ProtocolListDialog::refresh(const QString &select) {
    ui_->lstProtocols->clear();
    ui_->lstProtocols->addItems(store_.protocolNames());
    const QList<QListWidgetItem *> found = ui_->lstProtocols->findItems(select, Qt::MatchExactly);
    if (!found.isEmpty()) ui_->lstProtocols->setCurrentItem(found.first());
}

QString ProtocolListDialog::selectedName() const {
    const QListWidgetItem *item = ui_->lstProtocols->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

QStringList ProtocolListDialog::namesOtherThan(const QString &name) const {
    QStringList names = store_.protocolNames();
    names.removeAll(name);
    return names;
}

void ProtocolListDialog::editProtocol(const QString &name) {
    Protocol stored;
    if (!store_.protocol(name, stored)) throw std::runtime_error("Cannot load protocol");
    ProtocolDialog dialog(stored, workloadUnit_, namesOtherThan(name), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const Protocol &edited = dialog.protocol();
    store_.setProtocol(edited.name, edited);
    // A renamed protocol moves to its new name rather than leaving a copy
    // under the old one.
    if (edited.name != name) store_.removeProtocol(name);
    refresh(edited.name);
}

void ProtocolListDialog::newProtocol() {
    ProtocolDialog dialog(Protocol(), workloadUnit_, store_.protocolNames(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    store_.setProtocol(dialog.protocol().name, dialog.protocol());
    refresh(dialog.protocol().name);
}

void ProtocolListDialog::deleteProtocol(const QString &name) {
    const auto answer = QMessageBox::question(this, tr("Confirm"), tr("Remove protocol %1?").arg(name),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    store_.removeProtocol(name);
    refresh(QString());
}

void ProtocolListDialog::on_btnNew_clicked() { newProtocol(); }

void ProtocolListDialog::on_btnEdit_clicked() {
    const QString name = selectedName();
    if (name.isEmpty()) return;
    try {
        editProtocol(name);
    } catch (const std::exception &e) {
        QMessageBox::critical(this, windowTitle(), QString::fromLocal8Bit(e.what()));
    }
}

void ProtocolListDialog::on_btnDelete_clicked() {
    const QString name = selectedName();
    if (!name.isEmpty()) deleteProtocol(name);
}

void ProtocolListDialog::on_lstProtocols_itemActivated(QListWidgetItem *item) {
    if (!item) return;
    ui_->lstProtocols->setCurrentItem(item);
    on_btnEdit_clicked();
}
