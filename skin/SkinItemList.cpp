#include "skin/SkinItemList.h"

#include "skin/Composition.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"
#include "skin/SkinItem.h"

#include <QPainter>
#include <algorithm>

namespace vocamo {

namespace {

// A contact row takes clicks across the list's width (the body behind the
// lists), not only on its icon and name.
bool HitsBox(const CSkinItem &item, int x, int y, const CSkinItem *body)
{
    const int itemKind = item.GetKind();
    if (body && (itemKind == kind::kFriendRow || itemKind == kind::kNameRow)) {
        const SkinRect &row = item.GetWholeRect();
        const SkinRect &list = body->GetImageRect();
        if (SkinRect{list.left, row.top, list.right, row.bottom}.Contains(x, y))
            return true;
    }
    return item.GetImageRect().Contains(x, y) || item.GetTextRect().Contains(x, y) ||
           item.GetWholeRect().Contains(x, y);
}

int ZOrderOf(int z)
{
    return z;
}

int ZOrderOf(const std::unique_ptr<CSkinItem> &item)
{
    return item->GetZOrder();
}

} // namespace

CSkinItemList::CSkinItemList()
{
    m_items.reserve(100);
}

CSkinItemList::~CSkinItemList() = default;

// The list is kept in z-order, so an element's place is found by halving,
// not by a walk past every row of a big phonebook.
void CSkinItemList::Insert(std::unique_ptr<CSkinItem> item)
{
    if (!item)
        return;
    const auto at = std::upper_bound(
        m_items.begin(), m_items.end(), item->GetZOrder(),
        [](int z, const std::unique_ptr<CSkinItem> &other) { return z < other->GetZOrder(); });
    m_items.insert(at, std::move(item));
}

void CSkinItemList::InsertAfter(const CSkinItem *after, std::unique_ptr<CSkinItem> item)
{
    if (!item)
        return;
    const auto owns = [after](const std::unique_ptr<CSkinItem> &own) { return own.get() == after; };
    const auto [first, last] =
        std::equal_range(m_items.begin(), m_items.end(), item->GetZOrder(),
                         [](const auto &a, const auto &b) { return ZOrderOf(a) < ZOrderOf(b); });
    // A list is built front to back, so `after` is mostly the last of its
    // z-order: look from there.
    auto at =
        std::find_if(std::make_reverse_iterator(last), std::make_reverse_iterator(first), owns)
            .base();
    if (at != first) {
        m_items.insert(at, std::move(item));
        return;
    }
    // Not of the same z-order: right after it all the same, as asked.
    if (const auto other =
            after ? std::find_if(m_items.begin(), m_items.end(), owns) : m_items.end();
        other != m_items.end()) {
        m_items.insert(other + 1, std::move(item));
        return;
    }
    m_items.insert(first, std::move(item));
}

bool CSkinItemList::Remove(const CSkinItem *item)
{
    return std::erase_if(m_items, [item](const std::unique_ptr<CSkinItem> &own) {
               return own.get() == item;
           }) > 0;
}

CSkinItem *CSkinItemList::HitTest(int x, int y) const
{
    const CSkinItem *body = FindByKind(kind::kBodyBackground);
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        const CSkinItem &item = **it;
        if (item.GetKind() == kind::kFrame || item.GetKind() == kind::kBodyBackground ||
            item.IsHidden())
            continue;
        if (HitsBox(item, x, y, body))
            return it->get();
    }
    return nullptr;
}

void CSkinItemList::SetHiddenByKind(int kind, bool hidden)
{
    for (const auto &item : m_items) {
        if (item->GetKind() == kind)
            item->SetHidden(hidden);
    }
}

std::size_t CSkinItemList::RemoveByKind(int kind)
{
    return std::erase_if(m_items, [kind](const std::unique_ptr<CSkinItem> &item) {
        return item->GetKind() == kind;
    });
}

CContactItem *CSkinItemList::ShowMatchingText(int kind, const std::string &text)
{
    CContactItem *match = nullptr;
    for (const auto &item : m_items) {
        if (item->GetKind() != kind)
            continue;
        auto *row = dynamic_cast<CContactItem *>(item.get());
        if (!row)
            continue;
        const bool equal = row->GetName() == text;
        row->SetHidden(!equal);
        if (equal && !match)
            match = row;
    }
    return match;
}

void CSkinItemList::LayoutAll()
{
    for (const auto &item : m_items)
        item->Layout();
}

void CSkinItemList::Paint(QPainter &painter) const
{
    // While the Recent list has the list area, neither line does. Its button
    // is painted last: looked for from the back, past no contact row.
    const auto last = std::find_if(m_items.rbegin(), m_items.rend(), [](const auto &item) {
        return item->GetKind() == kind::kRecentButton;
    });
    const auto *recent =
        last != m_items.rend() ? dynamic_cast<const CSkinButton *>(last->get()) : nullptr;
    const bool recentShown = recent && !recent->IsHidden() && recent->IsActive();
    for (const auto &item : m_items) {
        bool dimmed = false;
        bool dark = true;
        switch (item->GetKind()) {
        case kind::kFriendRow:
        case kind::kNameRow:
            if (const auto *row = dynamic_cast<const CContactItem *>(item.get()))
                dimmed = !row->IsSelected();
            break;
        case kind::kSkypeButton:
        case kind::kModemButton:
            if (const auto *button = dynamic_cast<const CSkinButton *>(item.get()))
                dimmed = !button->IsActive() || recentShown;
            break;
        case kind::kRecentButton:
            dimmed = !recentShown;
            break;
        case kind::kCallStart:
        case kind::kCallEnd:
        case kind::kNumberEntry:
            if (const auto *button = dynamic_cast<const CSkinButton *>(item.get()))
                dimmed = !button->IsActive();
            dark = false;
            break;
        default:
            break;
        }
        DrawElement(painter, *item, dimmed, dark);
    }
}

CSkinItem *CSkinItemList::FindByKind(int kind) const
{
    for (const auto &item : m_items) {
        if (item->GetKind() == kind)
            return item.get();
    }
    return nullptr;
}

bool CSkinItemList::Contains(const CSkinItem *item) const
{
    return std::any_of(m_items.begin(), m_items.end(),
                       [item](const std::unique_ptr<CSkinItem> &own) { return own.get() == item; });
}

} // namespace vocamo
