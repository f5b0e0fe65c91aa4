#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace vocamo::art {

// One picture of the program: where it goes under resources/, its exact size,
// and how it is painted.
struct Picture {
    QString file; // path below resources/, e.g. "png/IDB_KEYPAD.png"
    int width = 0;
    int height = 0;
    bool opaque = false; // the popup skins and editor bitmaps have no alpha
    std::function<QImage()> paint;
};

// The main window's images: the thirty of the phone and the Recent button.
std::vector<Picture> PhonePictures();
// Popup skins 129/130, the editor's bitmaps 162 to 173, icon 174 and its 256 px copy.
std::vector<Picture> DialogPictures();

// Geometry of the telephone shared by the painters (window pixels).
namespace layout {
inline constexpr int frameWidth = 239;
inline constexpr int frameHeight = 550;
inline constexpr int screenLeft = 23; // the body background's place
inline constexpr int screenTop = 71;
inline constexpr int screenWidth = 190;
inline constexpr int screenHeight = 397;
} // namespace layout

} // namespace vocamo::art
