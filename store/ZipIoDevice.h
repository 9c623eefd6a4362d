#pragma once
// Minizip file functions over a Qt device, so archives are read and written
// through Qt's file objects (including atomic save files) instead of stdio.

#include <minizip/ioapi.h>

class QIODevice;

namespace ZipIoDevice {

// The function table for zipOpen2_64 / unzOpen2_64. The device is opened
// and closed by its owner and must stay open while the archive handle lives;
// the table's open function only checks that the device allows the mode.
zlib_filefunc64_def functions(QIODevice *device);

}  // namespace ZipIoDevice
