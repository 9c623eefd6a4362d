#pragma once
// What makes the three files of a study what they claim to be, checked from
// their first bytes and their sizes, before a file of an archive is written
// into the store and before a stored study is exported. Also the size caps
// that keep a hostile or damaged file from claiming unbounded memory or disk.
//
// Caps (far above any real study):
//   archive "info" entry          64 KiB (a few hundred bytes in practice)
//   study document                64 MiB of JSON, as study file or entry
//                                 (a 10-minute 14-lead run writes 1.0 MB, so
//                                 this is some ten hours of per-beat trends)
//   recording                     4096 + 2 x channels x rate x 48 hours
//                                 (a 24-hour 14-channel 500/s recording is
//                                 about 1.2 GB; 48 hours of it 2.4 GB)
//   beat records                  256 + record length x 5 beats/s x 48 hours
//   channels                      1 .. 256; sampling rate 1 .. 32000 /s

#include "store/StudyCompression.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QtGlobal>

namespace StudyContentCheck {

constexpr qint64 kMaxInfoBytes = qint64(64) << 10;
constexpr qint64 kMaxDocumentBytes = StudyCompression::kMaxTextBytes;
constexpr qint64 kMaxRecordingSeconds = qint64(48) * 3600;
constexpr qint64 kMaxBeatsPerSecond = 5;
constexpr int kMaxSamplingRate = 32000;
// A study file holds its magic and at most a document's worth of body.
constexpr qint64 kMaxStudyFileBytes = 8 + kMaxDocumentBytes;
// What is read of a recording or beat file to check it.
constexpr qint64 kRecordingPrefixBytes = 4096;
constexpr qint64 kBeatsPrefixBytes = 8;

// What a recording header says about the samples that follow it.
struct RecordingGeometry {
    int channels = 0;
    int samplingRate = 0;
};

// Empty when `document` is a study document that can be stored under
// `baseName`: non-empty "study" and "patient" objects, an id that is a whole
// number from 1 to 999 999 999 (written to `id`), and a "baseFilename" equal
// to `baseName`. Otherwise the reason, in words.
QString documentProblem(const QJsonObject &document, const QByteArray &baseName, qint32 *id = nullptr);

// The id of a document's "study" object when it is a whole number in range.
bool documentId(const QJsonObject &document, qint32 &id);

// Largest recording and beat files a recording of this geometry may have.
qint64 maxRecordingBytes(const RecordingGeometry &geometry);
qint64 maxBeatsBytes(const RecordingGeometry &geometry);

// Empty when `prefix` (the first kRecordingPrefixBytes bytes) starts a
// recording file of `size` bytes that holds whole sample frames within the
// cap and, when its header names the study, names study `id`. `geometry`
// receives the header's channel count and rate.
QString recordingProblem(const QByteArray &prefix, qint64 size, qint32 id, RecordingGeometry &geometry);

// Empty when `prefix` (the first kBeatsPrefixBytes bytes) starts a beat file
// of `size` bytes holding whole records for `geometry`, within the cap.
QString beatsProblem(const QByteArray &prefix, qint64 size, const RecordingGeometry &geometry);

}  // namespace StudyContentCheck
