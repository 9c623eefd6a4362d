#pragma once
// The small dialog in which the operator types one systolic/diastolic reading
// at the end of a stage and chooses whether that stage is printed. The
// results change only when the dialog is accepted.

#include <QDialog>
#include <memory>

namespace Ui {
class BPDialog;
}

class BPDialog : public QDialog {
    Q_OBJECT
public:
    // Holds the last state of "Print this stage", written on every acceptance.
    static const QString kPrintKey;

    // `stageText`: the stage being closed, on one or two lines.
    BPDialog(const QString &stageText, QWidget *parent = nullptr);
    ~BPDialog() override;

    int sbp() const { return sbp_; }
    int dbp() const { return dbp_; }
    bool print() const { return print_; }

    // Refuses a reading the checks reject, whichever way acceptance was
    // asked for (OK, Enter, a caller).
    void accept() override;

private Q_SLOTS:
    void on_txtSBP_returnPressed();
    void on_txtSBP_textChanged(const QString &text);
    void on_txtDBP_textChanged(const QString &text);
    void on_BPDialog_accepted();

private:
    void validate();

    std::unique_ptr<Ui::BPDialog> ui_;
    int sbp_ = 0;
    int dbp_ = 0;
    bool print_ = false;
};
