#pragma once

#include <QImage>
#include <QRegion>

namespace vocamo {

// The part of a bitmap that is not the key colour, one rectangle for every
// run of such pixels in a row: the shape of a window cut out of its skin.
QRegion RegionWithoutKeyColour(const QImage &bitmap, QRgb key);

} // namespace vocamo
