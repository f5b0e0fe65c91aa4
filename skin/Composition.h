#pragma once

#include <QImage>
#include <string>

class QPainter;

// The main window's whole picture: every shown element in z-order, dimmed
// where unlit, with its text, and the dial string on the display above all.
namespace vocamo {

class CSkinItem;
class CSkinItemList;

inline constexpr int kWindowWidth = 360;
inline constexpr int kWindowHeight = 550;

// Composes into picture (made 360 x 550 premultiplied ARGB if it is not) from
// a fully transparent start. The window lays its elements out first. When
// paintingFlag is given and set, a contact list is being rebuilt: nothing is
// composed, picture is left as it was, and the result is false.
bool ComposeWindow(QImage &picture, const CSkinItemList &items, const std::string &dialString,
                   bool *paintingFlag = nullptr);
QImage ComposeWindow(const CSkinItemList &items, const std::string &dialString);

// Draws one element unless it is hidden or has no picture: the picture at
// its place (dimmed at 100/255), then its text, black (dark) or white bold.
void DrawElement(QPainter &painter, const CSkinItem &item, bool dimmed, bool dark);
// Draws the dial string in bold on the display, 7 right and 5 down from its
// top left; nothing when the string is empty or there is no display.
void DrawDisplayText(QPainter &painter, const CSkinItemList &items, const std::string &dialString);

} // namespace vocamo
