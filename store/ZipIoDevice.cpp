#include "store/ZipIoDevice.h"

#include <QFileDevice>
#include <QIODevice>

#include <algorithm>
#include <limits>

namespace {

QIODevice *deviceOf(voidpf stream) { return static_cast<QIODevice *>(stream); }

voidpf ZCALLBACK openDevice(voidpf opaque, const void *, int mode) {
    auto *device = static_cast<QIODevice *>(opaque);
    if (!device || !device->isOpen()) return nullptr;
    // The same reading of the mode as minizip's own stdio functions: reading
    // alone, updating an existing file, or creating one (written only).
    const bool readOnly = (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ;
    const bool updating = !readOnly && (mode & ZLIB_FILEFUNC_MODE_EXISTING);
    if ((readOnly || updating) && !device->isReadable()) return nullptr;
    if (!readOnly && !device->isWritable()) return nullptr;
    return device;
}

uLong ZCALLBACK readDevice(voidpf, voidpf stream, void *buffer, uLong size) {
    const qint64 wanted = static_cast<qint64>(std::min<uLong>(size, std::numeric_limits<qint64>::max()));
    const qint64 got = deviceOf(stream)->read(static_cast<char *>(buffer), wanted);
    return got < 0 ? 0 : static_cast<uLong>(got);
}

uLong ZCALLBACK writeDevice(voidpf, voidpf stream, const void *buffer, uLong size) {
    const qint64 wanted = static_cast<qint64>(std::min<uLong>(size, std::numeric_limits<qint64>::max()));
    const qint64 written = deviceOf(stream)->write(static_cast<const char *>(buffer), wanted);
    return written < 0 ? 0 : static_cast<uLong>(written);
}

ZPOS64_T ZCALLBACK tellDevice(voidpf, voidpf stream) { return static_cast<ZPOS64_T>(deviceOf(stream)->pos()); }

long ZCALLBACK seekDevice(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    QIODevice *device = deviceOf(stream);
    qint64 base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = device->pos(); break;
    case ZLIB_FILEFUNC_SEEK_END: base = device->size(); break;
    default: return -1;
    }
    // Offsets come straight from the archive's bytes; a corrupted one must
    // fail the seek rather than wrap around to some valid position.
    if (base < 0 || offset > static_cast<ZPOS64_T>(std::numeric_limits<qint64>::max() - base)) return -1;
    return device->seek(base + static_cast<qint64>(offset)) ? 0 : -1;
}

int ZCALLBACK closeDevice(voidpf, voidpf) {
    // The owner closes (or commits) the device after the archive is done.
    return 0;
}

int ZCALLBACK testDeviceError(voidpf, voidpf stream) {
    if (const auto *file = qobject_cast<const QFileDevice *>(deviceOf(stream)))
        return file->error() == QFileDevice::NoError ? 0 : 1;
    return 0;
}

}  // namespace

namespace ZipIoDevice {

zlib_filefunc64_def functions(QIODevice *device) {
    zlib_filefunc64_def table{};
    table.zopen64_file = openDevice;
    table.zread_file = readDevice;
    table.zwrite_file = writeDevice;
    table.ztell64_file = tellDevice;
    table.zseek64_file = seekDevice;
    table.zclose_file = closeDevice;
    table.zerror_file = testDeviceError;
    table.opaque = device;
    return table;
}

}  // namespace ZipIoDevice
