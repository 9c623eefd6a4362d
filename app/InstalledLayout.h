#pragma once
// Where an installed program finds what it ships beside itself: programs in
// PREFIX/bin, the demonstration recording and the catalogues in
// PREFIX/share/tarvelin-ecg. Found from the program's own folder, so any
// installation prefix works and a build tree simply has no such folder.

#include <QString>

namespace InstalledLayout {

// PREFIX/share/tarvelin-ecg for a program in PREFIX/bin.
QString dataFolder(const QString &programFolder);

// PREFIX/share/tarvelin-ecg/translations.
QString translationsFolder(const QString &programFolder);

}  // namespace InstalledLayout
