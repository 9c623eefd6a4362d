#include "app/OpenStudyDialog.h"

#include "app/PatientNameFilter.h"
#include "app/StressTestStart.h"
#include "reports/ReportPdf.h"
#include "store/StudyArchives.h"
#include "store/StudyStore.h"
#include "ui_OpenStudyDialog.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <algorithm>
#include <exception>

namespace {

const char *const kSharedFolderListKey = "OpenStudyDialog/SharedFolderList";
const char *const kDefaultSharedFolderKey = "OpenStudyDialog/DefaultSharedFolder";
const char *const kReportStatus = "report";
const char *const kArchivePattern = "*.hxz";

enum Role {
    IdRole = Qt::UserRole,
    ArchiveRole,
    LastNameRole,
    FirstNameRole,
    BaseNameRole,
    ReportedRole,
};

enum Column { DateColumn, PatientColumn, TypeColumn, ReportColumn };

// Holds the wait cursor for as long as it lives, whatever is thrown.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

QString dateText(const QByteArray &stamp) {
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(stamp), QStringLiteral("yyyyMMddHHmmss"));
    return when.isValid() ? when.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : QString::fromLatin1(stamp);
}

// Studies store their type as a code ("stress", "ECG"); the list names it in
// the technician's language. A type stored in words ("Stress test") is named
// the same way, and one this program does not know is shown as stored.
QString studyTypeText(const QByteArray &type) {
    if (type == StressTestStart::kStressType || type == "Stress test")
        return QCoreApplication::translate("OpenStudyDialog", "Stress test");
    if (type == StressTestStart::kRestingEcgType) return QCoreApplication::translate("OpenStudyDialog", "ECG");
    return QString::fromUtf8(type);
}

}  // namespace

OpenStudyDialog::OpenStudyDialog(StudyStore &store, Services services, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::OpenStudyDialog>()), store_(store), services_(std::move(services)) {
    ui_->setupUi(this);
    ui_->treeStudies->header()->setStretchLastSection(false);
    ui_->treeStudies->header()->setSectionResizeMode(PatientColumn, QHeaderView::Stretch);
    const QFontMetrics metrics(ui_->treeStudies->font());
    ui_->treeStudies->setColumnWidth(DateColumn, metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00")) + 24);
    ui_->treeStudies->setColumnWidth(TypeColumn, 140);
    ui_->treeStudies->setColumnWidth(ReportColumn, 70);
    loadFolders();
    listLocal();
}

OpenStudyDialog::~OpenStudyDialog() = default;

QString OpenStudyDialog::sharedFolder() const { return ui_->cboSharedFolder->currentText().trimmed(); }

void OpenStudyDialog::setSharedFolder(const QString &folder) {
    rememberFolder(folder);
    if (showingShared_) rebuild();
}

void OpenStudyDialog::showShared(bool shown) { ui_->btnShowShared->setChecked(shown); }

void OpenStudyDialog::loadFolders() {
    QSettings settings;
    const QStringList folders = settings.value(QLatin1String(kSharedFolderListKey)).toStringList();
    ui_->cboSharedFolder->addItems(folders);
    ui_->cboSharedFolder->setCurrentText(settings.value(QLatin1String(kDefaultSharedFolderKey)).toString());
}

// The folder chosen last comes first in the list and is the one selected
// next time.
void OpenStudyDialog::rememberFolder(const QString &folder) {
    const QString chosen = folder.trimmed();
    if (chosen.isEmpty()) return;
    QStringList folders;
    for (int i = 0; i < ui_->cboSharedFolder->count(); ++i) folders << ui_->cboSharedFolder->itemText(i);
    folders.removeAll(chosen);
    folders.prepend(chosen);
    ui_->cboSharedFolder->clear();
    ui_->cboSharedFolder->addItems(folders);
    ui_->cboSharedFolder->setCurrentIndex(0);
    QSettings settings;
    settings.setValue(QLatin1String(kSharedFolderListKey), folders);
    settings.setValue(QLatin1String(kDefaultSharedFolderKey), chosen);
}

void OpenStudyDialog::rebuild() {
    if (showingShared_)
        listShared();
    else
        listLocal();
}

QTreeWidgetItem *OpenStudyDialog::addRow(const StudyInfo &info, bool reported) {
    auto *item = new QTreeWidgetItem(ui_->treeStudies);
    const QString last = QString::fromUtf8(info.patientLastName);
    const QString first = QString::fromUtf8(info.patientFirstName);
    item->setText(DateColumn, dateText(info.studyDateTime));
    item->setText(PatientColumn, QStringLiteral("%1, %2").arg(last, first));
    item->setText(TypeColumn, studyTypeText(info.studyType));
    item->setText(ReportColumn, reported ? tr("Yes") : QString());
    item->setData(DateColumn, LastNameRole, last);
    item->setData(DateColumn, FirstNameRole, first);
    item->setData(DateColumn, BaseNameRole, QString::fromUtf8(info.baseFilename));
    item->setData(DateColumn, ReportedRole, reported);
    return item;
}

void OpenStudyDialog::listLocal() {
    ui_->treeStudies->clear();
    QList<StudyInfo> studies;
    try {
        studies = store_.listStudies();
    } catch (const std::exception &e) {
        showStoreError(e);
        return;
    }
    // Newest first: the study just recorded is the one most often wanted.
    std::stable_sort(studies.begin(), studies.end(),
                     [](const StudyInfo &a, const StudyInfo &b) { return a.studyDateTime > b.studyDateTime; });
    for (const StudyInfo &info : studies) {
        QTreeWidgetItem *item = addRow(info, info.status == kReportStatus);
        item->setData(DateColumn, IdRole, info.id);
    }
    applyFilter();
}

void OpenStudyDialog::listShared() {
    ui_->treeStudies->clear();
    const QString folder = sharedFolder();
    if (folder.isEmpty()) return;
    const QStringList names =
        QDir(folder).entryList({QString::fromLatin1(kArchivePattern)}, QDir::Files | QDir::Readable, QDir::Name);
    WaitCursor wait;
    QProgressDialog progress(tr("Please wait..."), QString(), 0, names.size(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    for (int i = 0; i < names.size(); ++i) {
        progress.setValue(i);
        QCoreApplication::processEvents();
        StudyInfo info;
        bool described = false;
        // An archive that cannot even be opened is left out like one that
        // is not a study; the rest of the folder is still listed.
        try {
            described = store_.readArchiveInfo(QStringLiteral("%1/%2").arg(folder, names[i]), info);
        } catch (const std::exception &) {
            described = false;
        }
        if (!described) continue;
        QTreeWidgetItem *item = addRow(info, false);
        item->setData(DateColumn, ArchiveRole, names[i]);
    }
    progress.setValue(names.size());
    applyFilter();
}

void OpenStudyDialog::applyFilter() {
    const QString filter = ui_->txtFindByName->text();
    for (int i = 0; i < ui_->treeStudies->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = ui_->treeStudies->topLevelItem(i);
        item->setHidden(!PatientNameFilter::matches(filter, item->data(DateColumn, LastNameRole).toString(),
                                                    item->data(DateColumn, FirstNameRole).toString()));
    }
}

int OpenStudyDialog::visibleRowCount() const {
    int visible = 0;
    for (int i = 0; i < ui_->treeStudies->topLevelItemCount(); ++i)
        if (!ui_->treeStudies->topLevelItem(i)->isHidden()) ++visible;
    return visible;
}

QString OpenStudyDialog::archivePath(const QTreeWidgetItem *item) const {
    return QStringLiteral("%1/%2").arg(sharedFolder(), item->data(DateColumn, ArchiveRole).toString());
}

void OpenStudyDialog::showStoreError(const std::exception &error) {
    QMessageBox box(QMessageBox::Critical, tr("Error"), QString::fromUtf8(error.what()), QMessageBox::Ok, this);
    if (const auto *refused = dynamic_cast<const StudyArchives::NotValid *>(&error))
        box.setInformativeText(refused->reason());
    box.exec();
}

void OpenStudyDialog::opened(qint32 id) {
    chosenId_ = id;
    if (services_.openStudy) services_.openStudy(id);
    accept();
}

bool OpenStudyDialog::openCurrent() {
    QTreeWidgetItem *item = ui_->treeStudies->currentItem();
    if (!item || item->isHidden()) return false;
    if (!showingShared_) {
        opened(item->data(DateColumn, IdRole).toInt());
        return true;
    }
    const qint32 id = importArchive(archivePath(item));
    if (id == 0) return false;
    opened(id);
    return true;
}

qint32 OpenStudyDialog::importArchive(const QString &path) {
    qint32 id = 0;
    try {
        WaitCursor wait;
        id = store_.importStudy(path);
    } catch (const std::exception &e) {
        showStoreError(e);
        return 0;
    }
    if (!showingShared_) {
        listLocal();
        for (int i = 0; i < ui_->treeStudies->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = ui_->treeStudies->topLevelItem(i);
            if (item->data(DateColumn, IdRole).toInt() == id) ui_->treeStudies->setCurrentItem(item);
        }
    }
    return id;
}

bool OpenStudyDialog::exportSelected(const QString &folder) {
    if (showingShared_ || folder.isEmpty()) return false;
    const QList<QTreeWidgetItem *> selected = ui_->treeStudies->selectedItems();
    if (selected.isEmpty()) return false;
    try {
        WaitCursor wait;
        QProgressDialog progress(tr("Please wait..."), QString(), 0, selected.size(), this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        for (int i = 0; i < selected.size(); ++i) {
            progress.setValue(i);
            QCoreApplication::processEvents();
            store_.exportStudy(selected[i]->data(DateColumn, IdRole).toInt(), folder);
        }
    } catch (const std::exception &e) {
        showStoreError(e);
        return false;
    }
    QMessageBox::information(this, tr("Information"),
                             tr("Study file was succesfully exported to folder: %1").arg(folder));
    return true;
}

void OpenStudyDialog::deleteSelected() {
    const QList<QTreeWidgetItem *> selected = ui_->treeStudies->selectedItems();
    if (selected.isEmpty()) return;
    const QString question = showingShared_ ? tr("Delete selected studies from shared folder?")
                                            : tr("Delete selected studies from local folder?");
    if (QMessageBox::question(this, tr("Confirm"), question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QStringList notRemoved;
    bool keptOpen = false;
    {
        WaitCursor wait;
        try {
            for (QTreeWidgetItem *item : selected) {
                if (showingShared_) {
                    const QString path = archivePath(item);
                    if (!QFile::remove(path)) notRemoved << path;
                    continue;
                }
                const qint32 id = item->data(DateColumn, IdRole).toInt();
                // A review window may hold a copy the store does not know of;
                // its study stays until the window is closed.
                if ((services_.isOpenForReview && services_.isOpenForReview(id)) || store_.isStudyOpen(id)) {
                    keptOpen = true;
                    continue;
                }
                store_.deleteStudy(id);
            }
        } catch (const std::exception &e) {
            rebuild();
            showStoreError(e);
            return;
        }
        rebuild();
    }
    if (keptOpen) QMessageBox::information(this, tr("Information"), tr("Study is already open for review"));
    if (!notRemoved.isEmpty())
        QMessageBox::critical(this, tr("Error"), tr("Cannot delete file: %1").arg(notRemoved.join(QLatin1Char('\n'))));
}

void OpenStudyDialog::showReport() {
    QTreeWidgetItem *item = ui_->treeStudies->currentItem();
    if (!item || showingShared_ || !item->data(DateColumn, ReportedRole).toBool()) return;
    const QString path = ReportPdf::defaultPath(store_.rootFolder(), item->data(DateColumn, BaseNameRole).toString());
    if (!QFileInfo::exists(path)) {
        QMessageBox::warning(this, tr("Error"), tr("Report file not found"));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (services_.openUrl)
        services_.openUrl(url);
    else
        QDesktopServices::openUrl(url);
}

void OpenStudyDialog::on_txtFindByName_textChanged(const QString &) { applyFilter(); }

void OpenStudyDialog::on_btnSelectSharedFolder_clicked() {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Select shared folder"), sharedFolder());
    if (!folder.isEmpty()) setSharedFolder(folder);
}

void OpenStudyDialog::on_btnShowShared_toggled(bool checked) {
    showingShared_ = checked;
    ui_->btnShowShared->setText(checked ? tr("Hide shared studies") : tr("Show shared studies"));
    // Archives are opened by importing them; reports and exports are of
    // local studies only.
    ui_->btnShowReport->setEnabled(!checked);
    ui_->btnExport->setEnabled(!checked);
    if (checked) rememberFolder(sharedFolder());
    rebuild();
}

void OpenStudyDialog::on_cboSharedFolder_activated(int) { setSharedFolder(sharedFolder()); }

void OpenStudyDialog::on_btnShowReport_clicked() { showReport(); }
void OpenStudyDialog::on_btnDelete_clicked() { deleteSelected(); }

void OpenStudyDialog::on_btnImport_clicked() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Import study"), sharedFolder(), tr("Study archives (*.hxz)"));
    if (!path.isEmpty()) importArchive(path);
}

void OpenStudyDialog::on_btnExport_clicked() {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Select shared folder"), sharedFolder());
    if (!folder.isEmpty()) exportSelected(folder);
}

void OpenStudyDialog::on_btnOpen_clicked() { openCurrent(); }

void OpenStudyDialog::on_treeStudies_itemDoubleClicked(QTreeWidgetItem *item, int) {
    ui_->treeStudies->setCurrentItem(item);
    openCurrent();
}
