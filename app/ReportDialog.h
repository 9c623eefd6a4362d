#pragma once
// The report dialog: header, signature, trace layout, rhythm lead and
// destination, remembered under "ReportDialog/..."; on OK it produces the
// study's report (a PDF in the store's report folder, copied to the
// practice's export folder when automatic export is on, or a printer),
// with a wait cursor and progress while it is drawn.

#include "reports/ReportData.h"
#include "reports/ReportKind.h"
#include "reports/ReportSettings.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class ReportDialog;
}
class Study;

class ReportDialog : public QDialog {
    Q_OBJECT
public:
    static const char *const kStressTemplate;
    // Fills the report's data from the study; by default the report of the
    // study's kind (stress, tilt test, resting ECG in the chosen layout).
    using DataFill = std::function<ReportData(const Study &, const ReportSettings &)>;

    // `study` must outlive the dialog and stay unchanged while it is open;
    // `storeRoot` is the study store's folder.
    ReportDialog(const Study &study, const QString &storeRoot, QWidget *parent = nullptr);
    ~ReportDialog() override;

    // Another report than the study's own: its template and its data.
    void setReport(const QString &templateName, DataFill fill);

    // Where the PDF goes: "<root>/reports/<study base name>.pdf", where the
    // study browser's "Show report" opens it.
    QString pdfPath() const;
    // The same for any study, with `suffix` added to the name (an event's).
    static QString pdfPathFor(const Study &study, const QString &storeRoot, const QString &suffix = QString());
    // The copy the last automatic export left, if any.
    QString exportedCopy() const { return exported_; }

public Q_SLOTS:
    // Produces the report; the dialog closes only when it was produced, and
    // otherwise shows why ("Report file could not be generated at: ...").
    void accept() override;

private Q_SLOTS:
    void on_btnSelectSignature_clicked();
    void on_btnRemoveSignature_clicked();

private:
    void loadState();
    void saveState() const;
    // Throws std::runtime_error with the text to show.
    void produce();
    bool isEcgReport() const;

    std::unique_ptr<Ui::ReportDialog> ui_;
    const Study &study_;
    QString storeRoot_;
    ReportKind::Kind kind_;
    QString templateName_;  // empty: the kind's own
    DataFill fill_;         // unset: the kind's own
    QString exported_;
};
