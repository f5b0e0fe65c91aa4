#include "skin/SkinButton.h"

namespace vocamo {

CSkinButton::CSkinButton(const CSkinImage *image, CSkinItem *link) : CSkinItem(image), m_link(link)
{
}

void CSkinButton::Layout()
{
    if (!m_link) {
        CSkinItem::Layout();
        return;
    }
    // Only number entries follow their link; the modem button's link (the
    // Skype button) just pairs the two.
    if (GetKind() == kind::kNumberEntry)
        MoveTo(m_link->GetWholeRect().left, m_link->GetWholeRect().bottom + 15);
}

} // namespace vocamo
