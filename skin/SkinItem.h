#pragma once

#include "skin/SkinRect.h"

#include <string>

namespace vocamo {

class CSkinImage;

// Kinds of the skin's elements; an element's z-order is always its kind.
namespace kind {
inline constexpr int kBodyBackground = 34;
inline constexpr int kFriendRow = 35;
inline constexpr int kNameRow = 36;
inline constexpr int kPlaceholderRow = 37;
inline constexpr int kDisplay = 38;
inline constexpr int kKeypadPlate = 39;
inline constexpr int kDigit1 = 40; // 40 to 48 are the digits 1 to 9
inline constexpr int kDigit9 = 48;
inline constexpr int kDigit0 = 49;
inline constexpr int kBack = 50;
inline constexpr int kClear = 51;
inline constexpr int kFrame = 52;
inline constexpr int kClose = 53;
inline constexpr int kSkypeButton = 55;
inline constexpr int kModemButton = 56;
inline constexpr int kCallStart = 57;
inline constexpr int kCallEnd = 58;
inline constexpr int kBookmark = 59;
inline constexpr int kKeypadToggle = 60;
inline constexpr int kUpArrow = 61;
inline constexpr int kDownArrow = 62;
inline constexpr int kPanel = 63;
inline constexpr int kNumberEntry = 64;
inline constexpr int kPanelClose = 65;
inline constexpr int kRecentButton = 66;
} // namespace kind

// One element of the skin: a picture at a place, optionally with a line of
// text beside it. The picture belongs to the skin, not to the element.
class CSkinItem {
public:
    explicit CSkinItem(const CSkinImage *image);
    virtual ~CSkinItem() = default;
    CSkinItem(const CSkinItem &) = delete;
    CSkinItem &operator=(const CSkinItem &) = delete;

    // Applies the offset (again at every pass); subclasses follow their link.
    virtual void Layout();

    // Moves the element so its picture's top left is (x, y). The text goes
    // beside the picture: 10 right and 8 down for a number entry, flush for
    // every other kind.
    void MoveTo(int x, int y);
    // Stores the text and measures it; the text box starts 10 right of the
    // picture and 8 down, and the whole box grows to hold it.
    void SetText(const std::string &text);

    void SetOffset(int dx, int dy)
    {
        m_dx = dx;
        m_dy = dy;
    }
    int GetOffsetX() const { return m_dx; }
    int GetOffsetY() const { return m_dy; }
    void SetZOrder(int zOrder) { m_zOrder = zOrder; }
    int GetZOrder() const { return m_zOrder; }
    void SetHidden(bool hidden) { m_hidden = hidden; }
    bool IsHidden() const { return m_hidden; }
    void SetKind(int kind) { m_kind = kind; }
    int GetKind() const { return m_kind; }

    const CSkinImage *GetImage() const { return m_image; }
    const SkinRect &GetImageRect() const { return m_imageRect; }
    const SkinRect &GetTextRect() const { return m_textRect; }
    const SkinRect &GetWholeRect() const { return m_wholeRect; }
    const std::string &GetText() const { return m_text; }

private:
    const CSkinImage *m_image;
    SkinRect m_imageRect;
    int m_dx = 0;
    int m_dy = 0;
    int m_zOrder = 0;
    bool m_hidden = false;
    int m_kind = 0;
    std::string m_text;
    SkinRect m_textRect;
    SkinRect m_wholeRect;
};

} // namespace vocamo
