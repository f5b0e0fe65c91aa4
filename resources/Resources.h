#pragma once

#include <QString>

namespace vocamo {

// The file name of the ring sound, kept beside the executable.
inline constexpr const char *kRingFileName = "RING.WAV";

// Resource path of a main-window image, e.g. "IDB_KEYPAD" -> ":/png/IDB_KEYPAD.png".
QString ImageResourcePath(const QString &name);
// Resource path of a numbered bitmap, e.g. 129 -> ":/bmp/129.png".
QString BitmapResourcePath(int number);
// Resource path of the application icon (174).
QString IconResourcePath();

} // namespace vocamo
