#include "ui/ProtocolListDialog.h"

#include "store/StudyStore.h"
#include "stress/RampTable.h"
#include "ui/ProtocolDialog.h"
#include "ui/RampDialog.h"
#include "ui_ProtocolListDialog.h"

#include <QMessageBox>
#include <stdexcept>

namespace {

QString selectedText(const QListWidget *list) {
    const QListWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void fill(QListWidget *list, const QStringList &names, const QString &select) {
    list->clear();
    list->addItems(names);
    const QList<QListWidgetItem *> found = list->findItems(select, Qt::MatchExactly);
    if (!found.isEmpty()) list->setCurrentItem(found.first());
}

}  // namespace

ProtocolListDialog::ProtocolListDialog(StudyStore &store, const QString &workloadUnit, QWidget *parent)
    : QDialog(parent), ui_(new Ui::ProtocolListDialog), store_(store), workloadUnit_(workloadUnit) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    try {
        ramps_ = std::make_unique<RampTable>(RampTable::filePathUnder(store_.rootFolder()));
    } catch (const std::exception &e) {
        // The protocols stay usable; the ramps are left alone until their
        // file is mended, so nothing is saved over it.
        ui_->lblRampError->setText(QString::fromLocal8Bit(e.what()));
        ui_->lblRampError->setVisible(true);
        for (QWidget *w : {static_cast<QWidget *>(ui_->lstRamps), static_cast<QWidget *>(ui_->btnNewRamp),
                           static_cast<QWidget *>(ui_->btnEditRamp), static_cast<QWidget *>(ui_->btnDeleteRamp)})
            w->setEnabled(false);
    }
    refresh(QString());
    refreshRamps(QString());
}

ProtocolListDialog::~ProtocolListDialog() = default;

void ProtocolListDialog::refresh(const QString &select) { fill(ui_->lstProtocols, store_.protocolNames(), select); }

void ProtocolListDialog::refreshRamps(const QString &select) {
    if (ramps_) fill(ui_->lstRamps, ramps_->names(), select);
}

QString ProtocolListDialog::selectedName() const { return selectedText(ui_->lstProtocols); }

QString ProtocolListDialog::selectedRamp() const { return selectedText(ui_->lstRamps); }

QStringList ProtocolListDialog::namesOtherThan(const QString &name) const {
    QStringList names = store_.protocolNames();
    if (ramps_) names += ramps_->names();
    names.removeAll(name);
    return names;
}

bool ProtocolListDialog::confirmRemoval(const QString &question) {
    return QMessageBox::question(this, tr("Confirm"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void ProtocolListDialog::guarded(const std::function<void()> &action) {
    try {
        action();
    } catch (const std::exception &e) {
        QMessageBox::critical(this, windowTitle(), QString::fromLocal8Bit(e.what()));
    }
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
    ProtocolDialog dialog(Protocol(), workloadUnit_, namesOtherThan(QString()), this);
    if (dialog.exec() != QDialog::Accepted) return;
    store_.setProtocol(dialog.protocol().name, dialog.protocol());
    refresh(dialog.protocol().name);
}

void ProtocolListDialog::deleteProtocol(const QString &name) {
    if (!confirmRemoval(tr("Remove protocol %1?").arg(name))) return;
    store_.removeProtocol(name);
    refresh(QString());
}

void ProtocolListDialog::editRamp(const QString &name) {
    RampProtocol stored;
    if (!ramps_ || !ramps_->ramp(name, stored)) throw std::runtime_error("Cannot load ramp");
    RampDialog dialog(stored, namesOtherThan(name), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const RampProtocol edited = dialog.ramp();
    ramps_->setRamp(edited.name, edited);
    if (edited.name != name) ramps_->removeRamp(name);
    refreshRamps(edited.name);
}

void ProtocolListDialog::newRamp() {
    if (!ramps_) return;
    RampDialog dialog(RampProtocol(), namesOtherThan(QString()), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const RampProtocol created = dialog.ramp();
    ramps_->setRamp(created.name, created);
    refreshRamps(created.name);
}

void ProtocolListDialog::deleteRamp(const QString &name) {
    if (!ramps_ || !confirmRemoval(tr("Remove ramp %1?").arg(name))) return;
    ramps_->removeRamp(name);
    refreshRamps(QString());
}

void ProtocolListDialog::on_btnNew_clicked() { newProtocol(); }

void ProtocolListDialog::on_btnEdit_clicked() {
    const QString name = selectedName();
    if (!name.isEmpty()) guarded([&] { editProtocol(name); });
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

void ProtocolListDialog::on_btnNewRamp_clicked() {
    guarded([&] { newRamp(); });
}

void ProtocolListDialog::on_btnEditRamp_clicked() {
    const QString name = selectedRamp();
    if (!name.isEmpty()) guarded([&] { editRamp(name); });
}

void ProtocolListDialog::on_btnDeleteRamp_clicked() {
    const QString name = selectedRamp();
    if (!name.isEmpty()) guarded([&] { deleteRamp(name); });
}

void ProtocolListDialog::on_lstRamps_itemActivated(QListWidgetItem *item) {
    if (!item) return;
    ui_->lstRamps->setCurrentItem(item);
    on_btnEditRamp_clicked();
}
