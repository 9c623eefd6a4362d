#pragma once
// Every value a report shows, as text ready to print: named fields
// ("patientName", "maxHR") and named row sets ("stage", "event") whose rows
// carry their own fields ("stage/HR"). Graphics read the study itself.

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Study;
struct EventCapture;

class ReportData {
public:
    using Row = QHash<QString, QString>;

    explicit ReportData(const Study *study = nullptr) : study_(study) {}

    // Null when the report is not made from a study (a template preview),
    // and in an event report, whose graphics come from its capture.
    const Study *study() const { return study_; }

    // The signal an event report copied from its study; ECG and average-beat
    // blocks then draw it instead of reading a study.
    void setCapture(std::shared_ptr<const EventCapture> capture) { capture_ = std::move(capture); }
    const EventCapture *capture() const { return capture_.get(); }

    void setField(const QString &name, const QString &value) { fields_.insert(name, value); }
    // False when the data has no such field (a template's misspelling), as
    // opposed to a field that is known but empty.
    bool field(const QString &name, QString *value) const;
    QString field(const QString &name) const { return fields_.value(name); }

    // Rows of `set` (for example "stage") whose fields are named without the
    // set's prefix ("HR" for "[stage/HR]").
    void addRow(const QString &set, const Row &row) { rows_[set].push_back(row); }
    // Declares a set with no rows yet, so a table over it is known but empty.
    void declareRowSet(const QString &set) { rows_[set]; }
    bool hasRowSet(const QString &set) const { return rows_.contains(set); }
    int rowCount(const QString &set) const;
    const Row &row(const QString &set, int index) const;

private:
    const Study *study_;
    std::shared_ptr<const EventCapture> capture_;
    QHash<QString, QString> fields_;
    QHash<QString, std::vector<Row>> rows_;
};
