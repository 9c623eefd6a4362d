#include "acquisition/ByteFifo.h"

#include <QMutexLocker>
#include <algorithm>

void ByteFifo::append(const char *data, int length) {
    if (length <= 0) return;
    QMutexLocker lock(&mutex_);
    bytes_.insert(bytes_.end(), data, data + length);
}

int ByteFifo::size() const {
    QMutexLocker lock(&mutex_);
    return static_cast<int>(bytes_.size());
}

int ByteFifo::read(char *destination, int length) {
    if (length <= 0) return 0;
    QMutexLocker lock(&mutex_);
    const int n = std::min<int>(length, static_cast<int>(bytes_.size()));
    std::copy_n(bytes_.begin(), n, destination);
    bytes_.erase(bytes_.begin(), bytes_.begin() + n);
    return n;
}

void ByteFifo::clear() {
    QMutexLocker lock(&mutex_);
    bytes_.clear();
}
