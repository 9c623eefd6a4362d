#include "store/StudyStore.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecord.h"
#include "store/ProtocolTable.h"
#include "store/StudyArchives.h"
#include "store/StudyContentCheck.h"
#include "store/StudyBaseName.h"
#include "store/StudyFiles.h"
#include "store/StudyFolderScan.h"
#include "store/StudyIndex.h"
#include "store/StudyInfoConversion.h"
#include "store/UnpackedArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <random>
#include <stdexcept>

namespace {

const char *const kStudyExtension = "hxstudy";
const char *const kRecordingExtension = "hxecg";
const char *const kBeatsExtension = "hxbeats";

const char *const kDefaultRiskFactors[] = {
    "Hipertensión", "Tabaquismo actual", "Ex-tabaquismo", "Sedentarismo", "Obesidad",
    "Diabetes",     "Dislipemia",        "Stress",        "Angor",        "Infarto agudo de miocardio",
    "Gota",
};

std::optional<qint64> volumeFreeBytes(const QString &root) {
    const QStorageInfo storage(root);
    if (!storage.isValid() || !storage.isReady()) return std::nullopt;
    const qint64 available = storage.bytesAvailable();
    if (available < 0) return std::nullopt;
    return available;
}

qint32 randomId() {
    static std::random_device source;
    std::uniform_int_distribution<qint32> draw(1, StudyStore::kMaximumId);
    return draw(source);
}

}  // namespace

StudyStore::StudyStore(const QString &root, Services services) : root_(root), services_(std::move(services)) {
    if (!services_.freeBytes) services_.freeBytes = volumeFreeBytes;
    if (!services_.drawId) services_.drawId = randomId;

    // An empty root would put the index at "/data" of the file system.
    if (root_.isEmpty()) throw std::runtime_error("Undefined database path");
    QDir().mkpath(root_);
    QDir(root_).mkpath(QStringLiteral("data"));
    index_ = std::make_unique<StudyIndex>(StudyIndex::databasePathUnder(root_), [this] { return indexableStudies(); });
    protocols_ = std::make_unique<ProtocolTable>(ProtocolTable::filePathUnder(root_));
    for (const char *name : kDefaultRiskFactors) defaultRiskFactors_.append(QByteArray(name));
}

StudyStore::~StudyStore() = default;

QString StudyStore::recoveryNote() const { return index_->recoveryNote(); }

std::unique_ptr<Study> StudyStore::loadStudyFile(const QString &path) const { return StudyFiles::readStudyFile(path); }

void StudyStore::saveStudyFile(const Study &study, const QString &path) const {
    StudyFiles::writeStudyFile(study, path);
}

QList<StudyInfo> StudyStore::listStudies() const { return index_->list(); }

bool StudyStore::fetchRow(qint32 id, StudyInfo &info) const { return index_->fetch(id, info); }

QString StudyStore::studyPath(const QByteArray &base, const char *extension) const {
    return StudyFiles::pathOf(root_, QString::fromUtf8(base), extension);
}

qint32 StudyStore::nextId() const {
    for (;;) {
        const qint32 id = services_.drawId();
        if (id >= 1 && id <= kMaximumId && !index_->contains(id) && !open_.count(id)) return id;
    }
}

QByteArray StudyStore::unusedBaseName(const QByteArray &wanted) const {
    // Two studies of one patient started within the same second (or names
    // that only differ in replaced characters) must not share files, and a
    // name an index row still points at is not free either, or that row
    // would show this study.
    QSet<QByteArray> indexed;
    for (const StudyInfo &row : index_->list()) indexed.insert(row.baseFilename);
    QByteArray base = wanted;
    for (int n = 2;; ++n) {
        const bool taken = indexed.contains(base) || QFileInfo::exists(studyPath(base, kStudyExtension)) ||
                           QFileInfo::exists(studyPath(base, kRecordingExtension)) ||
                           QFileInfo::exists(studyPath(base, kBeatsExtension));
        if (!taken) return base;
        base = wanted + '_' + QByteArray::number(n);
    }
}

bool StudyStore::baseNameHeldByOther(const QByteArray &base, qint32 id) const {
    for (const StudyInfo &row : index_->list()) {
        if (row.baseFilename == base && row.id != id) return true;
    }
    const QString studyFile = studyPath(base, kStudyExtension);
    if (!QFileInfo::exists(studyFile))
        return QFileInfo::exists(studyPath(base, kRecordingExtension)) ||
               QFileInfo::exists(studyPath(base, kBeatsExtension));
    // Files whose study cannot be read are someone's too: only a document
    // that says it is this study gives them up.
    const std::optional<QJsonObject> document = StudyFiles::readStudyDocument(studyFile);
    qint32 holder = 0;
    return !document || !StudyContentCheck::documentId(*document, holder) || holder != id;
}

void StudyStore::removeFilesLeftBy(const QByteArray &base, qint32 id) {
    for (const StudyInfo &row : index_->list()) {
        if (row.baseFilename == base && row.id != id) return;
    }
    const QString studyFile = studyPath(base, kStudyExtension);
    if (QFileInfo::exists(studyFile)) {
        const std::optional<QJsonObject> document = StudyFiles::readStudyDocument(studyFile);
        qint32 holder = 0;
        if (!document || !StudyContentCheck::documentId(*document, holder) || holder != id) return;
    }
    QFile::remove(studyFile);
    QFile::remove(studyPath(base, kRecordingExtension));
    QFile::remove(studyPath(base, kBeatsExtension));
}

Study *StudyStore::createStudy(StudyInfo &info) {
    if (root_.isEmpty()) throw std::runtime_error("Undefined database path");
    // A recording without channels, rate or resolution could be written but
    // never opened again: refuse it before anything reaches the disk.
    if (info.channelCount < 1 || info.channelCount > BeatRecord::kMaxLeads || info.samplingRate < 1 ||
        info.resolution == 0)
        throw std::runtime_error("Cannot create file");

    info.baseFilename = unusedBaseName(StudyBaseName::forNewStudy(info));
    info.id = nextId();
    const QString studyFile = studyPath(info.baseFilename, kStudyExtension);
    const QString recordingFile = studyPath(info.baseFilename, kRecordingExtension);
    const QString beatsFile = studyPath(info.baseFilename, kBeatsExtension);

    auto study = std::make_unique<Study>(info.id);
    try {
        auto recording = std::make_unique<FileSignal>(recordingFile, info.channelCount, info.samplingRate,
                                                      FileSignal::StudyHeaderSize, true);
        recording->setAmplitudeRange(-info.gainMax, info.gainMax);
        recording->setResolutionBits(info.resolution);
        const QStringList names = QString::fromUtf8(info.channelNames).split(QLatin1Char(','));
        for (int i = 0; i < info.channelCount && i < names.size(); ++i) recording->setChannelName(i, names[i]);
        auto beats = std::make_unique<BeatFile>(beatsFile, info.channelCount, BeatFile::StudyHeaderSize, true);
        study->setRecording(std::move(recording));
        study->setBeats(std::move(beats));

        ::applyInfo(*study, info);
        for (const RiskFactor &factor : info.riskFactors)
            study->setRiskFactor(factor.name, factor.checked, factor.comment);

        if (!study->recording()->writeHeader(StudyFiles::recordingHeader(*study, *study->recording())) ||
            !study->beats()->writeHeader(StudyFiles::beatFileHeader()))
            throw std::runtime_error("Write error");
        saveStudyFile(*study, studyFile);
        index_->write(info, true);
    } catch (...) {
        // Nothing of a study that could not be created is left behind.
        study.reset();
        QFile::remove(studyFile);
        QFile::remove(recordingFile);
        QFile::remove(beatsFile);
        throw;
    }
    Study *created = study.get();
    open_[info.id] = std::move(study);
    return created;
}

Study *StudyStore::openStudy(qint32 id, HeaderedFile::Access access) {
    StudyInfo row;
    if (!index_->fetch(id, row)) return nullptr;
    std::unique_ptr<Study> study = StudyFiles::readStudyFile(studyPath(row.baseFilename, kStudyExtension), access);
    if (!study) return nullptr;
    Study *opened = study.get();
    open_[id] = std::move(study);
    return opened;
}

std::unique_ptr<Study> StudyStore::readStudy(qint32 id) const {
    StudyInfo row;
    if (!index_->fetch(id, row)) return nullptr;
    return StudyFiles::readStudyFile(studyPath(row.baseFilename, kStudyExtension), HeaderedFile::Access::ReadOnly);
}

void StudyStore::saveStudy(const Study &study) {
    saveStudyFile(study, studyPath(study.property("baseFilename"), kStudyExtension));
    index_->write(studyInfo(study), false);
}

void StudyStore::closeStudy(const Study *study) {
    if (!study) return;
    const auto entry = open_.find(study->id());
    if (entry != open_.end() && entry->second.get() == study) open_.erase(entry);
}

void StudyStore::deleteStudy(qint32 id) {
    if (isStudyOpen(id)) return;
    StudyInfo row;
    if (!index_->fetch(id, row)) return;
    QFile::remove(studyPath(row.baseFilename, kStudyExtension));
    QFile::remove(studyPath(row.baseFilename, kRecordingExtension));
    QFile::remove(studyPath(row.baseFilename, kBeatsExtension));
    index_->remove(id);
}

bool StudyStore::isStudyOpen(qint32 id) const { return open_.count(id) != 0; }

StudyInfo StudyStore::studyInfo(const Study &study) const { return infoFromStudy(study); }

void StudyStore::applyInfo(Study &study, const StudyInfo &info) const { ::applyInfo(study, info); }

QStringList StudyStore::protocolNames() const { return protocols_->protocolNames(); }

bool StudyStore::protocol(const QString &name, Protocol &out) const { return protocols_->protocol(name, out); }

void StudyStore::setProtocol(const QString &name, const Protocol &protocol) { protocols_->setProtocol(name, protocol); }

void StudyStore::removeProtocol(const QString &name) { protocols_->removeProtocol(name); }

void StudyStore::exportStudy(qint32 id, const QString &folder) {
    StudyInfo row;
    if (!index_->fetch(id, row)) return;
    StudyArchives::writeArchive(row, root_, folder);
}

qint32 StudyStore::importStudy(const QString &archivePath) {
    UnpackedArchive unpacked(archivePath, root_);
    const qint32 id = unpacked.info().id;
    // Replacing the files of a study someone is reviewing would pull them
    // from under the open recording.
    if (isStudyOpen(id)) throw std::runtime_error("Study is already open for review");
    StudyInfo previous;
    const bool known = index_->fetch(id, previous);
    // Another study's files are never replaced: a clash of names moves the
    // arriving study to the name it already has here, or else to a free
    // name, as for a new study.
    const QByteArray wanted = unpacked.info().baseFilename;
    if (baseNameHeldByOther(wanted, id)) {
        const bool keepName = known && StudyBaseName::isPlainFileName(previous.baseFilename) &&
                              !baseNameHeldByOther(previous.baseFilename, id);
        unpacked.rename(keepName ? previous.baseFilename : unusedBaseName(wanted));
    }
    unpacked.putInPlace();
    try {
        index_->write(unpacked.info(), !known);
    } catch (...) {
        unpacked.rollBack();
        throw;
    }
    unpacked.finish();
    // The same study stored under its former name leaves nothing behind.
    if (known && previous.baseFilename != unpacked.info().baseFilename &&
        StudyBaseName::isPlainFileName(previous.baseFilename))
        removeFilesLeftBy(previous.baseFilename, id);
    return id;
}

bool StudyStore::readArchiveInfo(const QString &archivePath, StudyInfo &info) const {
    return StudyArchives::readArchiveInfo(archivePath, info);
}

QList<QPair<StudyInfo, QString>> StudyStore::listArchives(const QString &folder) const {
    return StudyArchives::listArchives(folder);
}

bool StudyStore::hasFreeSpace() const {
    const std::optional<qint64> available = services_.freeBytes(root_);
    return !available || *available >= kMinimumFreeBytes;
}

QList<StudyInfo> StudyStore::indexableStudies() {
    StudyFolderScan::Result scan = StudyFolderScan::scan(root_);
    indexLeftOut_ = scan.leftOut;
    return scan.rows;
}
