#pragma once
// The one way into stored studies: creates, finds, opens, saves, closes,
// deletes, exports and imports them, and keeps the protocol table. Owns the
// store folder, its SQLite index and the studies open in memory. Used from
// the user-interface thread only.

#include "acquisition/HeaderedFile.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "store/StudyFolderScan.h"
#include "store/StudyInfo.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class ProtocolTable;
class StudyIndex;

class StudyStore {
public:
    // What the store asks of the platform, replaceable so tests can fake a
    // nearly full disk or a fixed sequence of ids.
    struct Services {
        // Bytes available to this user on the volume holding `root`; none
        // when the question cannot be answered.
        std::function<std::optional<qint64>(const QString &root)> freeBytes;
        // A candidate id in 1 .. 999 999 999.
        std::function<qint32()> drawId;
    };

    static constexpr qint64 kMinimumFreeBytes = 52428800;  // 50 MiB
    static constexpr qint32 kMaximumId = 999999999;

    // Creates root and root/data when missing, opens (or rebuilds) the index
    // and loads the protocol table, writing the standard protocols when there
    // is none. Throws "Undefined database path" for an empty root, and the
    // database texts.
    explicit StudyStore(const QString &root, Services services = Services());
    ~StudyStore();
    StudyStore(const StudyStore &) = delete;
    StudyStore &operator=(const StudyStore &) = delete;

    // Non-empty when the index had to be rebuilt on opening; the caller tells
    // the user.
    QString recoveryNote() const;
    // The study files the index was not built from, each with the reason,
    // when it was rebuilt on opening; empty otherwise.
    QList<StudyFolderScan::LeftOut> indexLeftOut() const { return indexLeftOut_; }

    std::unique_ptr<Study> loadStudyFile(const QString &path) const;
    void saveStudyFile(const Study &study, const QString &path) const;

    QList<StudyInfo> listStudies() const;

    // Creates the files, the index row and the open study; `info` receives
    // the new id and base name. The study stays owned by the store.
    Study *createStudy(StudyInfo &info);
    // Null when the id has no row or its study file cannot be read. The signal
    // files are opened with `access`: read-only for a study that is only
    // viewed, so a read-only store can be shown.
    Study *openStudy(qint32 id, HeaderedFile::Access access = HeaderedFile::Access::ReadWrite);
    // A copy of study `id` read from its study file with read-only signal
    // files, apart from the open studies, so a study someone holds open is
    // never replaced under them; null when the id has no row or the file
    // does not read. Throws only "Cannot open file" (see readStudyFile).
    std::unique_ptr<Study> readStudy(qint32 id) const;
    void saveStudy(const Study &study);
    void closeStudy(const Study *study);
    // Leaves an open study, and an unknown id, alone.
    void deleteStudy(qint32 id);
    bool isStudyOpen(qint32 id) const;

    StudyInfo studyInfo(const Study &study) const;
    void applyInfo(Study &study, const StudyInfo &info) const;

    QStringList protocolNames() const;
    bool protocol(const QString &name, Protocol &out) const;
    void setProtocol(const QString &name, const Protocol &protocol);
    void removeProtocol(const QString &name);

    // Writes folder/base.hxz; an unknown id does nothing.
    void exportStudy(qint32 id, const QString &folder);
    // The imported study's id. Throws "File is not a valid Tarvelin study Zip
    // archive" (StudyArchives::NotValid, with the reason) for anything else,
    // and refuses to replace a study that is open. A study whose base name
    // belongs to another study is stored under a free name; one whose id is
    // stored under another name replaces it, old files included. A refused
    // or failed import leaves every stored file as it was.
    qint32 importStudy(const QString &archivePath);
    bool readArchiveInfo(const QString &archivePath, StudyInfo &info) const;
    QList<QPair<StudyInfo, QString>> listArchives(const QString &folder) const;

    QString rootFolder() const { return root_; }
    // False only when the volume is known to hold less than 50 MiB free.
    bool hasFreeSpace() const;

    QList<QByteArray> defaultRiskFactors() const { return defaultRiskFactors_; }

    // The index row of `id`; false when there is none.
    bool fetchRow(qint32 id, StudyInfo &info) const;

private:
    QString studyPath(const QByteArray &base, const char *extension) const;
    qint32 nextId() const;
    // `wanted`, or wanted_2, wanted_3, ... : the first name no file and no
    // index row uses.
    QByteArray unusedBaseName(const QByteArray &wanted) const;
    // Whether files or an index row under `base` belong to a study other than `id`.
    bool baseNameHeldByOther(const QByteArray &base, qint32 id) const;
    // Removes the files under `base` when nothing but study `id` claims them.
    void removeFilesLeftBy(const QByteArray &base, qint32 id);
    QList<StudyInfo> indexableStudies();

    QString root_;
    Services services_;
    std::unique_ptr<StudyIndex> index_;
    std::unique_ptr<ProtocolTable> protocols_;
    std::map<qint32, std::unique_ptr<Study>> open_;
    QList<QByteArray> defaultRiskFactors_;
    QList<StudyFolderScan::LeftOut> indexLeftOut_;
};
