#include "skin/Skin.h"

#include "phonebook/Bookmark.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"
#include "skin/SkinItem.h"
#include "skype/SkypeFriend.h"

#include <QString>
#include <algorithm>

namespace vocamo {

namespace {

constexpr const char *kImageNames[] = {
    "IDB_BACKGROUND_TOP",
    "IDB_BACKGROUND_BASE",
    "IDB_POPUP",
    "IDB_SKYPE",
    "IDB_MODEM",
    "IDB_CALLSTART",
    "IDB_CALLEND",
    "IDB_UP",
    "IDB_DOWN",
    "IDB_CLOSE",
    "IDB_KEYPAD_BACKGROUND",
    "IDB_KEYPAD_LCD",
    "IDB_1",
    "IDB_2",
    "IDB_3",
    "IDB_4",
    "IDB_5",
    "IDB_6",
    "IDB_7",
    "IDB_8",
    "IDB_9",
    "IDB_0",
    "IDB_CLR",
    "IDB_BACK",
    "IDB_HOME",
    "IDB_OFFICE",
    "IDB_MOBILE",
    "IDB_BOOKMARK",
    "IDB_KEYPAD",
    "IDB_BOY1",
    "IDB_RECENT",
};

// Display and down arrow with the keypad hidden and shown.
constexpr int kDisplayX = 24;
constexpr int kDisplayYKeypadHidden = 443;
constexpr int kDisplayYKeypadShown = 329;
constexpr int kArrowX = 201;

} // namespace

CSkin::CSkin()
{
    static_assert(std::size(kImageNames) == kImageCount);
    for (std::size_t i = 0; i < kImageCount; ++i)
        m_images[i].LoadFromResource(QString::fromLatin1(kImageNames[i]));
    BuildElements();
}

CSkin::~CSkin() = default;

const CSkinImage *CSkin::FindImage(std::string_view name) const
{
    for (std::size_t i = 0; i < kImageCount; ++i) {
        if (name == kImageNames[i])
            return &m_images[i];
    }
    return nullptr;
}

const CSkinImage &CSkin::Image(std::string_view name) const
{
    const CSkinImage *image = FindImage(name);
    return image ? *image : m_missing;
}

const CSkinImage &CSkin::RowImage() const
{
    return Image("IDB_BOY1");
}

const CSkinImage &CSkin::NumberImage(Number which) const
{
    switch (which) {
    case Number::Home:
        return Image("IDB_HOME");
    case Number::Office:
        return Image("IDB_OFFICE");
    case Number::Mobile:
        return Image("IDB_MOBILE");
    }
    return m_missing;
}

bool CSkin::AllImagesLoaded() const
{
    return std::none_of(m_images.begin(), m_images.end(),
                        [](const CSkinImage &i) { return i.IsEmpty(); });
}

std::size_t CSkin::DecodedImageBytes() const
{
    std::size_t total = 0;
    for (const CSkinImage &image : m_images)
        total += static_cast<std::size_t>(image.DecodedBytes());
    return total;
}

CSkinItem *CSkin::Place(std::unique_ptr<CSkinItem> item, int kind, int x, int y, bool hidden)
{
    item->MoveTo(x, y);
    item->SetZOrder(kind);
    item->SetKind(kind);
    item->SetHidden(hidden);
    return m_items.Add(std::move(item));
}

void CSkin::BuildElements()
{
    Elements &e = m_elements;
    auto plain = [this](const char *name) { return std::make_unique<CSkinItem>(&Image(name)); };
    auto button = [this](const char *name, CSkinItem *link = nullptr) {
        return std::make_unique<CSkinButton>(&Image(name), link);
    };
    auto placeButton = [this](std::unique_ptr<CSkinButton> b, int kind, int x, int y, bool hidden) {
        return static_cast<CSkinButton *>(Place(std::move(b), kind, x, y, hidden));
    };

    e.bodyBackground = Place(plain("IDB_BACKGROUND_BASE"), kind::kBodyBackground, 23, 71, false);
    e.frame = Place(plain("IDB_BACKGROUND_TOP"), kind::kFrame, 0, 0, false);
    e.skypeButton = placeButton(button("IDB_SKYPE"), kind::kSkypeButton, 12, 44, true);
    e.modemButton =
        placeButton(button("IDB_MODEM", e.skypeButton), kind::kModemButton, 119, 44, true);
    e.skypeButton->SetPartner(e.modemButton);
    e.skypeButton->SetActive(true);
    e.modemButton->SetActive(true);
    e.callStart = placeButton(button("IDB_CALLSTART"), kind::kCallStart, 71, 484, false);
    e.callEnd = placeButton(button("IDB_CALLEND"), kind::kCallEnd, 128, 484, false);
    e.close = Place(plain("IDB_CLOSE"), kind::kClose, 211, 19, false);
    e.bookmark = Place(plain("IDB_BOOKMARK"), kind::kBookmark, 196, 488, true);
    e.keypadToggle = Place(plain("IDB_KEYPAD"), kind::kKeypadToggle, 13, 489, false);
    e.display = placeButton(button("IDB_KEYPAD_LCD"), kind::kDisplay, kDisplayX,
                            kDisplayYKeypadHidden, false);
    e.keypadPlate = placeButton(button("IDB_KEYPAD_BACKGROUND"), kind::kKeypadPlate, 24, 354, true);

    // The keys sit on the plate in three columns and four rows.
    const int kl = e.keypadPlate->GetWholeRect().left;
    const int kt = e.keypadPlate->GetWholeRect().top;
    const int columns[] = {kl + 14, kl + 68, kl + 122};
    const int rows[] = {kt + 4, kt + 31, kt + 58, kt + 85};
    struct Key {
        const char *image;
        int kind;
        int column;
        int row;
    };
    const Key keys[] = {
        {"IDB_1", 40, 0, 0},
        {"IDB_2", 41, 1, 0},
        {"IDB_3", 42, 2, 0},
        {"IDB_4", 43, 0, 1},
        {"IDB_5", 44, 1, 1},
        {"IDB_6", 45, 2, 1},
        {"IDB_7", 46, 0, 2},
        {"IDB_8", 47, 1, 2},
        {"IDB_9", 48, 2, 2},
        {"IDB_BACK", kind::kBack, 2, 3},
        {"IDB_0", kind::kDigit0, 1, 3},
        {"IDB_CLR", kind::kClear, 0, 3},
    };
    for (const Key &k : keys) {
        e.keys[static_cast<std::size_t>(k.kind - kind::kDigit1)] =
            placeButton(button(k.image), k.kind, columns[k.column], rows[k.row], true);
    }

    e.panel = Place(plain("IDB_POPUP"), kind::kPanel, 120, 110, true);
    e.panelClose = Place(plain("IDB_CLOSE"), kind::kPanelClose, 325, 118, true);
    e.upArrow = Place(plain("IDB_UP"), kind::kUpArrow, kArrowX, 71, false);
    e.downArrow = Place(
        plain("IDB_DOWN"), kind::kDownArrow, kArrowX,
        e.display->GetImageRect().top - static_cast<int>(Image("IDB_DOWN").GetHeight()), false);

    m_placeholderFriend = std::make_unique<CSkypeFriend>();
    m_placeholderFriend->displayName = "Unknown";
    m_placeholderFriend->fullName = "Unknown";
    e.placeholderRow = static_cast<CContactItem *>(
        Place(std::make_unique<CContactItem>(&RowImage(), m_placeholderFriend.get(), nullptr),
              kind::kPlaceholderRow, kFirstRowX, kFirstRowY, true));

    // Across the top from the close button: the history is there whatever
    // the lines are doing.
    e.recentButton = placeButton(button("IDB_RECENT"), kind::kRecentButton, 13, 16, false);
}

void CSkin::SetKeypadHidden(bool hidden)
{
    m_keypadHidden = hidden;
    Elements &e = m_elements;
    e.display->MoveTo(kDisplayX, hidden ? kDisplayYKeypadHidden : kDisplayYKeypadShown);
    e.downArrow->MoveTo(kArrowX,
                        e.display->GetImageRect().top - e.downArrow->GetImageRect().Height());
    e.keypadPlate->SetHidden(hidden);
    for (CSkinButton *key : e.keys)
        key->SetHidden(hidden);
}

CContactItem *CSkin::AddNameRow(const CBookmark &entry, CContactItem *previous)
{
    auto row = std::make_unique<CContactItem>(&RowImage(), &entry, previous);
    if (previous)
        previous->SetNext(row.get());
    else
        row->MoveTo(kFirstRowX, kFirstRowY);
    row->SetZOrder(kind::kNameRow);
    row->SetKind(kind::kNameRow);
    row->SetHidden(true);
    return m_items.Add(std::move(row));
}

CContactItem *CSkin::AddFriendRow(const CSkypeFriend &skypeFriend, CContactItem *previous)
{
    auto row = std::make_unique<CContactItem>(&RowImage(), &skypeFriend, previous);
    if (previous)
        previous->SetNext(row.get());
    else
        row->MoveTo(kFirstRowX, kFirstRowY);
    row->SetZOrder(kind::kFriendRow);
    row->SetKind(kind::kFriendRow);
    row->SetHidden(true);
    return m_items.AddAfter(previous, std::move(row));
}

CSkinButton *CSkin::AddNumberEntry(Number which, const std::string &number, CSkinButton *previous)
{
    auto entry = std::make_unique<CSkinButton>(&NumberImage(which), previous);
    if (previous)
        previous->SetPartner(entry.get());
    else
        entry->MoveTo(kFirstEntryX, kFirstEntryY);
    entry->SetHidden(false);
    entry->SetZOrder(kind::kNumberEntry);
    entry->SetKind(kind::kNumberEntry);
    entry->SetText(number);
    return m_items.Add(std::move(entry));
}

} // namespace vocamo
