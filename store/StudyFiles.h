#pragma once
// The three files of a stored study: the study file (the study document,
// compressed), the ECG recording file and the beat record file: their paths,
// headers, reading and writing.

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/Study.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace StudyFiles {

// More channels than any front end delivers; a header claiming more is
// damaged, and honouring it would size read buffers after the claim.
constexpr int kMaxRecordingChannels = 256;
// The ECG header document ends at least one zero byte before the samples,
// so a reader that cuts the header region at its first zero finds it whole.
constexpr int kMaxRecordingHeaderDocument = int(FileSignal::StudyHeaderSize) - 6 - 1;

// Thrown when a stored base name could place a file outside its folder.
extern const char *const kInvalidBaseName;  // "Invalid study file name"

// "root/base.extension". Every path built from a stored base name (a study
// document's, an index row's, an archive's) comes from here or from
// archivePathOf, so a name that is not a plain file name (empty, ".", "..",
// a separator or NUL in it) is refused in one place: throws kInvalidBaseName.
QString pathOf(const QString &root, const QString &base, const char *extension);
// "folder/base.hxz", with the same check.
QString archivePathOf(const QString &folder, const QString &base);

// The document of a study file ("HXSTUDY1" plain or "HXSTUDY2" compressed);
// nothing when the file cannot be read, is not a regular file, is larger
// than StudyContentCheck::kMaxStudyFileBytes, has another magic, or does not
// hold a JSON object; `problem` then receives the reason. Never throws.
std::optional<QJsonObject> readStudyDocument(const QString &path, QString *problem = nullptr);
// The same from the bytes of a study file.
std::optional<QJsonObject> parseStudyDocument(const QByteArray &bytes, QString *problem = nullptr);

// The study of a study file, with base.hxecg and base.hxbeats from the same
// folder attached when they open (with `access`); null when the file or its
// document is not usable. Throws only "Cannot open file", for a signal file
// with a good header that cannot be opened.
std::unique_ptr<Study> readStudyFile(const QString &path,
                                     HeaderedFile::Access access = HeaderedFile::Access::ReadWrite);

// Replaces the file atomically with "HXSTUDY2" and the compressed document;
// on failure the previous file stays as it was. Throws "Cannot create study
// file" or "Write error".
void writeStudyFile(const Study &study, const QString &path);

// What an ECG file's header region describes.
struct RecordingHeader {
    int resolution = 0;
    double gainMin = 0.0;
    double gainMax = 0.0;
    int samplingRate = 0;
    QStringList channelNames;
    // The study object the header was written with; empty when it was left out.
    QJsonObject study;
};

// The header of an ECG file from its first bytes (magic and header region, or
// fewer); nothing when the magic differs or the header does not describe a
// usable recording (resolution, rate, format and 1 .. kMaxRecordingChannels
// channels).
std::optional<RecordingHeader> parseRecordingHeader(const QByteArray &prefix);

// The recording of an ECG file; null when the file is missing, has another
// magic or its header does not describe a usable recording. Throws only
// "Cannot open file" (see readStudyFile).
std::unique_ptr<FileSignal> openRecordingFile(const QString &path,
                                              HeaderedFile::Access access = HeaderedFile::Access::ReadWrite);

// The beat file for a recording of `channels` channels; null when the file is
// missing, has another magic, or the channel count is not a recording's.
// Throws only "Cannot open file".
std::unique_ptr<BeatFile> openBeatFile(const QString &path, int channels,
                                       HeaderedFile::Access access = HeaderedFile::Access::ReadWrite);

// "HXECG1" and the compact header document of a recording. When the study's
// text would push the document past the header region, the longer texts are
// left out, then the study and patient altogether: the recording's own
// description must always survive whole.
QByteArray recordingHeader(const Study &study, const FileSignal &recording);

// "HXBEATS1".
QByteArray beatFileHeader();

}  // namespace StudyFiles
