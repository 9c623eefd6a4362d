#pragma once
// Opens an input for reading only when it is a regular file: a named pipe
// would block the tool until some writer came along, and a device such as
// /dev/zero never ends.

#include <QFile>
#include <QString>

namespace RegularFile {
// Opens `file` (its fileName()) read-only; false with a message naming the
// file when it is missing, unreadable or not a regular file. Never blocks.
bool open(QFile &file, QString *error);
}  // namespace RegularFile
