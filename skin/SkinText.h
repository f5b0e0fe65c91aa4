#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>
#include <string>
#include <string_view>

class QImage;

// Text on the main window: one font in three variants, the ellipsis rule for
// names and the 49-unit limit of what is measured and drawn.
namespace vocamo {

// Names longer than this many characters are drawn shortened.
inline constexpr std::size_t kEllipsisAfter = 16;
// Measured and drawn text is at most this many UTF-16 units.
inline constexpr qsizetype kDrawTextUnits = 49;

inline constexpr QRgb kDarkTextColour = 0xFE000000;  // black, alpha 254
inline constexpr QRgb kLightTextColour = 0xFEFFFFFF; // white, alpha 254

// "Arial" 10 point, regular or bold.
QFont SkinFont(bool bold);

// Each line of 17 or more characters becomes its first 16 and "..."; shorter
// lines are kept. Characters are whole UTF-8 sequences, never cut apart.
std::string Ellipsize(std::string_view text);

// The text as drawn: UTF-8 to UTF-16, cut to 49 units without splitting a
// surrogate pair.
QString ToDrawText(std::string_view text);

// Width and height in whole pixels of the text in the regular font, laid out
// in a 1024 x 768 box from its top left.
QSize MeasureText(const QString &text);

// A transparent picture at the resolution the skin's text is laid out for
// (96 dots per inch).
QImage NewSkinPicture(int width, int height);

} // namespace vocamo
