#pragma once
// The study browser: finds a stored study by patient name and opens it,
// shows which studies have a report and opens it, deletes studies, and works
// with a shared folder of study archives (listing, opening by importing,
// deleting), plus import and export of single archives. Opening a study for
// review is the launcher's; the dialog hands it the id.

#include <QDialog>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QTreeWidgetItem;
class StudyStore;
struct StudyInfo;

namespace Ui {
class OpenStudyDialog;
}

class OpenStudyDialog : public QDialog {
    Q_OBJECT
public:
    struct Services {
        // Opens stored study `id` for review (the launcher's windows).
        std::function<void(qint32 id)> openStudy;
        // Whether a review window holds study `id`: such a study is not deleted.
        std::function<bool(qint32 id)> isOpenForReview;
        // Shows a file in the desktop's viewer (QDesktopServices when unset).
        std::function<bool(const QUrl &url)> openUrl;
    };

    OpenStudyDialog(StudyStore &store, Services services, QWidget *parent = nullptr);
    ~OpenStudyDialog() override;

    // The id handed to the launcher when a study was opened; 0 before.
    qint32 chosenStudyId() const { return chosenId_; }
    bool showingShared() const { return showingShared_; }
    QString sharedFolder() const;
    void setSharedFolder(const QString &folder);
    void showShared(bool shown);

    // Opens the current row: a local study by its id, a shared archive by
    // importing it first. False when nothing was opened.
    bool openCurrent();
    // Stores the archive at `path` and selects its row; 0 (after the error
    // box) when the store refuses it.
    qint32 importArchive(const QString &path);
    // Writes an archive of every selected local study into `folder`.
    bool exportSelected(const QString &folder);
    // Asks first; studies open for review stay.
    void deleteSelected();
    void showReport();

    // The rows shown now (not hidden by the name filter).
    int visibleRowCount() const;

private Q_SLOTS:
    void on_txtFindByName_textChanged(const QString &text);
    void on_btnSelectSharedFolder_clicked();
    void on_btnShowShared_toggled(bool checked);
    void on_cboSharedFolder_activated(int index);
    void on_btnShowReport_clicked();
    void on_btnDelete_clicked();
    void on_btnImport_clicked();
    void on_btnExport_clicked();
    void on_btnOpen_clicked();
    void on_treeStudies_itemDoubleClicked(QTreeWidgetItem *item, int column);

private:
    void rebuild();
    void listLocal();
    void listShared();
    QTreeWidgetItem *addRow(const StudyInfo &info, bool reported);
    void applyFilter();
    void rememberFolder(const QString &folder);
    void loadFolders();
    QString archivePath(const QTreeWidgetItem *item) const;
    void showStoreError(const std::exception &error);
    void opened(qint32 id);

    std::unique_ptr<Ui::OpenStudyDialog> ui_;
    StudyStore &store_;
    Services services_;
    bool showingShared_ = false;
    qint32 chosenId_ = 0;
};
