#include "acquisition/BeatFile.h"

#include <QtEndian>
#include <stdexcept>

namespace {

// Checked before the file is touched, so a refused geometry never truncates
// an existing beat file.
int checkedChannelCount(int channelCount) {
    if (channelCount < 0 || channelCount > 4096) throw std::invalid_argument("Invalid beat file geometry");
    return channelCount;
}

}  // namespace

BeatFile::BeatFile(const QString &path, int channelCount, std::int64_t headerSize, bool create,
                   HeaderedFile::Access access)
    : channelCount_(checkedChannelCount(channelCount)), recordLength_(recordLengthFor(channelCount)),
      file_(path, headerSize, create, access), count_(file_.dataSize() / recordLength_) {}

bool BeatFile::writeHeader(const char *data, std::int64_t size) { return file_.writeHeader(data, size); }

void BeatFile::checkLength(const QByteArray &record) const {
    if (record.size() != recordLength_) throw std::invalid_argument("Beat record of the wrong length");
}

std::int64_t BeatFile::append(const QByteArray &record) {
    checkLength(record);
    // After the last whole record rather than at the end of the file: a
    // partial record left by a crash or a failed write is overwritten instead
    // of shifting this and every later record off its index.
    const std::int64_t index = count_;
    const bool written = file_.writeAt(offsetOf(index), record.constData(), recordLength_);
    // The count is what is on disk, whatever the write reported.
    const std::int64_t onDisk = file_.dataSize();
    count_ = onDisk / recordLength_;
    if (onDisk % recordLength_ != 0) file_.truncate(offsetOf(count_));
    return written && count_ > index ? index : -1;
}

bool BeatFile::discardRecords() {
    if (!file_.created() || !file_.discardData()) return false;
    count_ = 0;
    return true;
}

bool BeatFile::update(std::int64_t index, const QByteArray &record) {
    checkLength(record);
    if (index < 0 || index >= count_) return false;
    return file_.writeAt(offsetOf(index), record.constData(), recordLength_);
}

bool BeatFile::read(std::int64_t index, QByteArray &record, bool *included) const {
    if (index < 0 || index >= count_) return false;
    QByteArray bytes(recordLength_, Qt::Uninitialized);
    if (file_.readAt(offsetOf(index), bytes.data(), recordLength_) != recordLength_) return false;
    record = bytes;
    if (included) *included = qFromLittleEndian<qint32>(bytes.constData() + ClassWordOffset) >= 0;
    return true;
}

bool BeatFile::readClassWord(std::int64_t index, std::int32_t &word) const {
    if (index < 0 || index >= count_) return false;
    char bytes[4];
    if (file_.readAt(offsetOf(index) + ClassWordOffset, bytes, 4) != 4) return false;
    word = qFromLittleEndian<qint32>(bytes);
    return true;
}

bool BeatFile::writeClassWord(std::int64_t index, std::int32_t word) {
    // Only the class word is rewritten: a failed write can then damage
    // nothing of the beat but the mark being changed.
    char bytes[4];
    qToLittleEndian<qint32>(word, bytes);
    return file_.writeAt(offsetOf(index) + ClassWordOffset, bytes, 4);
}

bool BeatFile::exclude(std::int64_t index) {
    std::int32_t word = 0;
    if (!readClassWord(index, word)) return false;
    return word == ExcludedClass || writeClassWord(index, ExcludedClass);
}

bool BeatFile::include(std::int64_t index) {
    std::int32_t word = 0;
    if (!readClassWord(index, word)) return false;
    // A non-negative class is already included and may carry the beat's
    // classification; resetting it to 0 would lose that.
    return word >= 0 || writeClassWord(index, IncludedClass);
}
