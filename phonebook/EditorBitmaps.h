#pragma once

#include "resources/KeyColour.h"

#include <QImage>

namespace vocamo {

// The editor's bitmaps, by number: 165 background (magenta where the dialog
// is cut away), 170/171 New, 168/169 Delete, 163/164 Apply, 172/162 OK,
// 166/167 Cancel, 173 Close; and icon 174.
QImage LoadEditorBitmap(int id);
QImage LoadEditorIcon();

} // namespace vocamo
