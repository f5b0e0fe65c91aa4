#pragma once

#include <QString>

namespace vocamo {

// A file the program ships (RING.WAV): beside the program in a build or a
// portable copy, else in the installed layout, where the program is
// <prefix>/lib/vocamo/vocamo and its files are in <prefix>/share/vocamo/.
// The path beside the program when the file is in neither place.
QString DataFilePath(const QString &exeDir, const QString &name);

} // namespace vocamo
