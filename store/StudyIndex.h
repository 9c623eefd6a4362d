#pragma once
// The SQLite index of stored studies: one row per study holding the few
// fields the study list shows, as a compact JSON object. Derived data: it can
// always be rebuilt from the study files.

#include "store/StudyInfo.h"

#include <QList>
#include <QString>
#include <functional>

class StudyIndex {
public:
    // What rebuilding needs of the study files: the row fields of each
    // indexable study in the root folder, in file-name order.
    using RowSource = std::function<QList<StudyInfo>()>;

    // Opens root/data/studies.sqlite. A new file gets its table and is filled
    // from `rows`. A file that exists but cannot be used (corrupt, not a
    // database, no study table) is moved aside and replaced by a rebuilt one;
    // recoveryNote() then says so. Throws "SQLite driver not available", or
    // the driver's error text.
    StudyIndex(const QString &databasePath, const RowSource &rows);
    ~StudyIndex();
    StudyIndex(const StudyIndex &) = delete;
    StudyIndex &operator=(const StudyIndex &) = delete;

    static QString databasePathUnder(const QString &root);

    // Empty unless the database had to be replaced on opening.
    QString recoveryNote() const { return recoveryNote_; }

    // Every row in ascending id order. Throws the driver's error text.
    QList<StudyInfo> list() const;
    // False when there is no row of that id.
    bool fetch(qint32 id, StudyInfo &info) const;
    bool contains(qint32 id) const;
    void write(const StudyInfo &info, bool insert);
    void remove(qint32 id);

    // The row's data column for `info`, and back.
    static QByteArray rowData(const StudyInfo &info);
    static void fillFromRow(const QByteArray &data, StudyInfo &info);

private:
    // False when an existing file turned out unusable (the connection is then
    // closed); throws on other failures.
    bool open(bool existed);
    void createAndFill(const RowSource &rows);
    void closeConnection();
    [[noreturn]] void fail(const QString &text) const;

    QString path_;
    QString connectionName_;
    QString recoveryNote_;
};
