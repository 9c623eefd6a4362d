#include "store/StudyIndex.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QtGlobal>
#include <QAtomicInt>
#include <stdexcept>

namespace {

const char *const kCreateTable = "create table Study(id integer primary key, data text)";
const char *const kListAll = "select id, data from Study";
const char *const kFetchOne = "select data from Study where id = ?";
const char *const kInsert = "insert into Study(id, data) values (:id, :data)";
const char *const kUpdate = "update Study set data = :data where id = :id";
const char *const kDelete = "delete from Study where id = ?";

QString nextConnectionName() {
    // Each index has a connection of its own, so a test (or a restart inside
    // one process) can hold two stores without them sharing a handle.
    static QAtomicInt counter;
    return QStringLiteral("tarvelin-study-index-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString str(const QJsonObject &object, const char *key) { return object.value(QLatin1String(key)).toString(); }

}  // namespace

StudyIndex::StudyIndex(const QString &databasePath, const RowSource &rows)
    : path_(databasePath), connectionName_(nextConnectionName()) {
    if (!QSqlDatabase::drivers().contains(QStringLiteral("QSQLITE")))
        throw std::runtime_error("SQLite driver not available");

    const bool existed = QFileInfo::exists(path_);
    if (open(existed)) {
        if (!existed) createAndFill(rows);
        return;
    }

    // The index is derived data: keep the unusable file for inspection and
    // start a new one from the study files, rather than refusing to start.
    const QString aside =
        path_ + QStringLiteral(".bad-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    QFile::remove(aside);
    if (!QFile::rename(path_, aside))
        throw std::runtime_error(
            QStringLiteral("The study index %1 cannot be opened and cannot be moved aside").arg(path_).toStdString());
    if (!open(false)) fail(QStringLiteral("The new study index cannot be opened"));
    createAndFill(rows);
    recoveryNote_ = QStringLiteral("The study index could not be read and was rebuilt from the study files.\n"
                                   "The damaged file was kept as %1.")
                        .arg(aside);
}

StudyIndex::~StudyIndex() { closeConnection(); }

QString StudyIndex::databasePathUnder(const QString &root) {
    return QStringLiteral("%1/data/studies.sqlite").arg(root);
}

bool StudyIndex::open(bool existed) {
    bool usable = false;
    QString openError;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db.setDatabaseName(path_);
        if (!db.open()) {
            openError = db.lastError().text();
        } else if (!existed) {
            usable = true;
        } else {
            // SQLite opens any file lazily; the first statement tells whether
            // it is a database holding our table.
            QSqlQuery probe(db);
            usable = probe.exec(QStringLiteral("select count(*) from Study"));
        }
    }
    if (usable) return true;
    closeConnection();
    if (!existed) throw std::runtime_error(openError.toStdString());
    return false;
}

void StudyIndex::createAndFill(const RowSource &rows) {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    QSqlQuery create(db);
    if (!create.exec(QString::fromLatin1(kCreateTable))) fail(create.lastError().text());
    if (!rows) return;
    const QList<StudyInfo> found = rows();
    db.transaction();
    for (const StudyInfo &info : found) {
        // Two study files carrying one id (a copied file) would otherwise end
        // the rebuild and leave the program unable to start; the first wins.
        if (contains(info.id)) continue;
        try {
            write(info, true);
        } catch (...) {
            db.rollback();
            throw;
        }
    }
    if (!db.commit()) fail(db.lastError().text());
}

void StudyIndex::closeConnection() {
    if (!QSqlDatabase::contains(connectionName_)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

void StudyIndex::fail(const QString &text) const { throw std::runtime_error(text.toStdString()); }

QList<StudyInfo> StudyIndex::list() const {
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    if (!query.exec(QString::fromLatin1(kListAll))) fail(query.lastError().text());
    QList<StudyInfo> rows;
    while (query.next()) {
        StudyInfo info;
        info.id = query.value(0).toInt();
        fillFromRow(query.value(1).toString().toUtf8(), info);
        rows.append(info);
    }
    return rows;
}

bool StudyIndex::fetch(qint32 id, StudyInfo &info) const {
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    if (!query.prepare(QString::fromLatin1(kFetchOne))) fail(query.lastError().text());
    query.addBindValue(id);
    if (!query.exec()) fail(query.lastError().text());
    if (!query.next()) return false;
    info.id = id;
    fillFromRow(query.value(0).toString().toUtf8(), info);
    return true;
}

bool StudyIndex::contains(qint32 id) const {
    StudyInfo ignored;
    return fetch(id, ignored);
}

void StudyIndex::write(const StudyInfo &info, bool insert) {
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    if (!query.prepare(QString::fromLatin1(insert ? kInsert : kUpdate))) fail(query.lastError().text());
    query.bindValue(QStringLiteral(":id"), info.id);
    query.bindValue(QStringLiteral(":data"), QString::fromUtf8(rowData(info)));
    if (!query.exec()) fail(query.lastError().text());
}

void StudyIndex::remove(qint32 id) {
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    if (!query.prepare(QString::fromLatin1(kDelete))) fail(query.lastError().text());
    query.addBindValue(id);
    if (!query.exec()) fail(query.lastError().text());
}

QByteArray StudyIndex::rowData(const StudyInfo &info) {
    QJsonObject row;
    row.insert(QStringLiteral("baseFilename"), QString::fromUtf8(info.baseFilename));
    row.insert(QStringLiteral("status"), QString::fromUtf8(info.status));
    row.insert(QStringLiteral("studyType"), QString::fromUtf8(info.studyType));
    row.insert(QStringLiteral("studyDateTime"), QString::fromUtf8(info.studyDateTime));
    row.insert(QStringLiteral("patientFirstName"), QString::fromUtf8(info.patientFirstName));
    row.insert(QStringLiteral("patientLastName"), QString::fromUtf8(info.patientLastName));
    if (!info.patientAnimalSpecies.isEmpty() || !info.patientAnimalBreed.isEmpty()) {
        row.insert(QStringLiteral("patientAnimalSpecies"), QString::fromUtf8(info.patientAnimalSpecies));
        row.insert(QStringLiteral("patientAnimalBreed"), QString::fromUtf8(info.patientAnimalBreed));
    }
    return QJsonDocument(row).toJson(QJsonDocument::Compact);
}

void StudyIndex::fillFromRow(const QByteArray &data, StudyInfo &info) {
    const QJsonObject row = QJsonDocument::fromJson(data).object();
    info.baseFilename = str(row, "baseFilename").toUtf8();
    info.status = str(row, "status").toUtf8();
    info.studyType = str(row, "studyType").toUtf8();
    info.studyDateTime = str(row, "studyDateTime").toUtf8();
    info.patientFirstName = str(row, "patientFirstName").toUtf8();
    info.patientLastName = str(row, "patientLastName").toUtf8();
    info.patientAnimalSpecies = str(row, "patientAnimalSpecies").toUtf8();
    info.patientAnimalBreed = str(row, "patientAnimalBreed").toUtf8();
}
