#pragma once
// The beat file of a study: a header, then one fixed-size record per detected
// beat (a beat part, then one part per channel), addressed by index and
// rewritten in place when the user excludes or includes a beat.

#include "acquisition/HeaderedFile.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class BeatFile {
public:
    static constexpr std::int64_t StudyHeaderSize = 256;
    static constexpr int BeatPartLength = 56;
    static constexpr int ChannelPartLength = 80;
    // The beat's class: negative for a beat the user excluded.
    static constexpr int ClassWordOffset = 48;
    static constexpr std::int32_t ExcludedClass = -1;
    static constexpr std::int32_t IncludedClass = 0;

    static int recordLengthFor(int channelCount) { return channelCount * ChannelPartLength + BeatPartLength; }

    // With `create`, creates or truncates the file and writes a zero header;
    // otherwise opens an existing file with `access`, whose record count comes
    // from its size (a trailing partial record is not a record). Throws
    // std::runtime_error "Cannot create file" / "Cannot open file".
    BeatFile(const QString &path, int channelCount, std::int64_t headerSize, bool create,
             HeaderedFile::Access access = HeaderedFile::Access::ReadWrite);

    QString path() const { return file_.path(); }
    int channelCount() const { return channelCount_; }
    int recordLength() const { return recordLength_; }
    std::int64_t count() const { return count_; }

    // As for the signal file: min(size, headerSize) bytes, zero-padded.
    bool writeHeader(const char *data, std::int64_t size);
    bool writeHeader(const QByteArray &data) { return writeHeader(data.constData(), data.size()); }

    // Writes the record after the last whole record; its index, or -1 when it
    // did not reach the disk. Throws std::invalid_argument for a record whose
    // length is not recordLength().
    std::int64_t append(const QByteArray &record);
    // Rewrites record `index`; an index outside [0, count) is ignored (false).
    // Throws std::invalid_argument for a record of the wrong length.
    bool update(std::int64_t index, const QByteArray &record);
    // False for an index outside [0, count) or a record that cannot be read.
    bool read(std::int64_t index, QByteArray &record, bool *included = nullptr) const;
    // Marks a beat excluded / included again; indexes outside [0, count) are
    // ignored (false). Including keeps the class of a beat that is already
    // included, so only an exclusion is ever undone.
    bool exclude(std::int64_t index);
    bool include(std::int64_t index);

    // Drops every record, as FileSignal::discardSamples does the samples.
    bool discardRecords();

    bool hasWriteError() const { return file_.hasWriteError(); }
    QString writeErrorString() const { return file_.writeErrorString(); }

private:
    std::int64_t offsetOf(std::int64_t index) const { return file_.headerSize() + index * recordLength_; }
    bool readClassWord(std::int64_t index, std::int32_t &word) const;
    bool writeClassWord(std::int64_t index, std::int32_t word);
    void checkLength(const QByteArray &record) const;

    int channelCount_;
    int recordLength_;
    HeaderedFile file_;
    std::int64_t count_ = 0;
};
