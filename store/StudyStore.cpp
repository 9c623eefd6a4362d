#include "store/StudyStore.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecord.h"
#include "store/ProtocolTable.h"
#include "store/StudyArchives.h"
#include "store/StudyBaseName.h"
#include "store/StudyFiles.h"
#include "store/StudyIndex.h"
#include "store/StudyInfoConversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QByteArray StudyStore::unusedBaseName(const StudyInfo &info) const {
    // Two studies of one patient started within the same second (or names
    // that only differ in replaced characters) must not share files.
    const QByteArray wanted = StudyBaseName::forNewStudy(info);
    QByteArray base = wanted;
    for (int n = 2;; ++n) {
        const bool taken = QFileInfo::exists(studyPath(base, kStudyExtension)) ||
                           QFileInfo::exists(studyPath(base, kRecordingExtension)) ||
                           QFileInfo::exists(studyPath(base, kBeatsExtension));
        if (!taken) return base;
        base = wanted + '_' + QByteArray::number(n);
    }
}

Study *StudyStore::createStudy(StudyInfo &info) {
    if (root_.isEmpty()) throw std::runtime_error("Undefined database path");
    // A recording without channels, rate or resolution could be written but
    // never opened again: refuse it before anything reaches the disk.
    if (info.channelCount < 1 || info.channelCount > BeatRecord::kMaxLeads || info.samplingRate < 1 ||
        info.resolution == 0)
        throw std::runtime_error("Cannot create file");

    info.baseFilename = unusedBaseName(info);
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

Study *StudyStore::openStudy(qint32 id) {
    StudyInfo row;
    if (!index_->fetch(id, row)) return nullptr;
    std::unique_ptr<Study> study = loadStudyFile(studyPath(row.baseFilename, kStudyExtension));
    if (!study) return nullptr;
    Study *opened = study.get();
    open_[id] = std::move(study);
    return opened;
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
    StudyArchives::Unpacked unpacked(archivePath, root_);
    StudyInfo info = unpacked.info();
    // Replacing the files of a study someone is reviewing would pull them
    // from under the open recording.
    if (isStudyOpen(info.id)) throw std::runtime_error("Study is already open for review");
    unpacked.commit();
    index_->write(info, !index_->contains(info.id));
    return info.id;
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

QList<StudyInfo> StudyStore::indexableStudies() const {
    QList<StudyInfo> rows;
    const QStringList names = QDir(root_).entryList({QStringLiteral("*.") + QLatin1String(kStudyExtension)},
                                                    QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        const auto document = StudyFiles::readStudyDocument(QStringLiteral("%1/%2").arg(root_, name));
        if (!document || document->isEmpty()) continue;
        const QJsonObject study = document->value(QLatin1String("study")).toObject();
        const QJsonObject patient = document->value(QLatin1String("patient")).toObject();
        if (study.isEmpty() || patient.isEmpty()) continue;
        StudyInfo row;
        row.id = study.value(QLatin1String("id")).toInt();
        row.baseFilename = study.value(QLatin1String("baseFilename")).toString().toUtf8();
        row.status = study.value(QLatin1String("status")).toString().toUtf8();
        row.studyType = study.value(QLatin1String("studyType")).toString().toUtf8();
        row.studyDateTime = study.value(QLatin1String("studyDateTime")).toString().toUtf8();
        row.patientFirstName = patient.value(QLatin1String("firstName")).toString().toUtf8();
        row.patientLastName = patient.value(QLatin1String("lastName")).toString().toUtf8();
        row.patientAnimalSpecies = patient.value(QLatin1String("animalSpecies")).toString().toUtf8();
        row.patientAnimalBreed = patient.value(QLatin1String("animalBreed")).toString().toUtf8();
        rows.append(row);
    }
    return rows;
}
