#pragma once

#include <QString>

namespace vocamo::art {

// Writes the ring: two trilled bursts of about 0.8 s, 2 s in all,
// 16-bit mono PCM at 22050 Hz. False when the file cannot be written.
bool WriteRingTone(const QString &path);

} // namespace vocamo::art
