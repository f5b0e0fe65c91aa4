#pragma once

#include "skin/SkinImage.h"
#include "skin/SkinItemList.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vocamo {

class CBookmark;
class CContactItem;
class CSkinButton;
class CSkinItem;
class CSkypeFriend;

// The skin loader and what it made: every image, decoded once, and the
// element list with the elements of the window at start-up.
class CSkin {
public:
    // The elements made at start-up, for the window to reach without a search.
    struct Elements {
        CSkinItem *bodyBackground = nullptr; // 34
        CSkinItem *frame = nullptr;          // 52
        CSkinButton *skypeButton = nullptr;  // 55, partner: modem button
        CSkinButton *modemButton = nullptr;  // 56, link: Skype button
        CSkinButton *callStart = nullptr;    // 57
        CSkinButton *callEnd = nullptr;      // 58
        CSkinItem *close = nullptr;          // 53
        CSkinItem *bookmark = nullptr;       // 59
        CSkinItem *keypadToggle = nullptr;   // 60
        CSkinButton *display = nullptr;      // 38
        CSkinButton *keypadPlate = nullptr;  // 39
        // Keys by kind - 40: digits 1 to 9, then 0 (49), back (50), clear (51).
        std::array<CSkinButton *, 12> keys{};
        CSkinItem *panel = nullptr;             // 63
        CSkinItem *panelClose = nullptr;        // 65
        CSkinItem *upArrow = nullptr;           // 61
        CSkinItem *downArrow = nullptr;         // 62
        CContactItem *placeholderRow = nullptr; // 37, "Unknown"
        CSkinButton *recentButton = nullptr;    // 66, active while the Recent list shows
    };

    enum class Number { Home, Office, Mobile };

    // Where the first contact row and the first number entry go.
    static constexpr int kFirstRowX = 45;
    static constexpr int kFirstRowY = 90;
    static constexpr int kFirstEntryX = 134;
    static constexpr int kFirstEntryY = 124;

    // Loads every image and builds the start-up elements: keypad hidden,
    // line buttons hidden and active, placeholder row hidden.
    CSkin();
    virtual ~CSkin();
    CSkin(const CSkin &) = delete;
    CSkin &operator=(const CSkin &) = delete;

    CSkinItemList &Items() { return m_items; }
    const CSkinItemList &Items() const { return m_items; }
    const Elements &GetElements() const { return m_elements; }

    // Shows or hides the keypad plate and keys; the display sits on the plate
    // (24, 329) or at the bottom (24, 443), the down arrow on the display.
    void SetKeypadHidden(bool hidden);
    bool IsKeypadHidden() const { return m_keypadHidden; }

    // A hidden contact row of a phonebook entry (kind 36) or a Skype friend
    // (kind 35), added to the list. Without previous it is a list's first row
    // and goes to (45, 90); otherwise it follows previous, whose next it becomes.
    CContactItem *AddNameRow(const CBookmark &entry, CContactItem *previous);
    CContactItem *AddFriendRow(const CSkypeFriend &skypeFriend, CContactItem *previous);
    // A shown number entry of the panel (kind 64) with the number as its text.
    // Without previous it goes to (134, 124); otherwise it keeps below
    // previous, whose partner it becomes.
    CSkinButton *AddNumberEntry(Number which, const std::string &number, CSkinButton *previous);

    // An image by its resource name ("IDB_HOME"), or null for a name not in the skin.
    const CSkinImage *FindImage(std::string_view name) const;
    const CSkinImage &RowImage() const;
    const CSkinImage &NumberImage(Number which) const;
    // True when every image decoded; a false means a damaged build.
    bool AllImagesLoaded() const;
    std::size_t DecodedImageBytes() const;

private:
    static constexpr std::size_t kImageCount = 31;

    CSkinItem *Place(std::unique_ptr<CSkinItem> item, int kind, int x, int y, bool hidden);
    const CSkinImage &Image(std::string_view name) const;
    void BuildElements();

    std::array<CSkinImage, kImageCount> m_images;
    CSkinImage m_missing; // stands in for a name not in the skin: empty
    CSkinItemList m_items;
    Elements m_elements;
    std::unique_ptr<CSkypeFriend> m_placeholderFriend;
    bool m_keypadHidden = true;
};

} // namespace vocamo
