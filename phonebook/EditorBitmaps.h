#pragma once

#include <QImage>
#include <QRegion>

namespace vocamo {

// The editor's bitmaps, by number: 165 background (magenta where the dialog
// is cut away), 170/171 New, 168/169 Delete, 163/164 Apply, 172/162 OK,
// 166/167 Cancel, 173 Close; and icon 174.
QImage LoadEditorBitmap(int id);
QImage LoadEditorIcon();

// The part of a bitmap that is not the key colour, one rectangle for every
// run of such pixels in a row.
QRegion RegionWithoutKeyColour(const QImage &bitmap, QRgb key);

} // namespace vocamo
