#pragma once

#include "skin/SkinItem.h"

namespace vocamo {

// An element that can be lit (active) and may follow another element: a
// number entry in the panel keeps 15 pixels below the entry it is linked to.
class CSkinButton : public CSkinItem {
public:
    explicit CSkinButton(const CSkinImage *image, CSkinItem *link = nullptr);

    void Layout() override;

    CSkinItem *GetLink() const { return m_link; }
    CSkinItem *GetPartner() const { return m_partner; }
    void SetPartner(CSkinItem *partner) { m_partner = partner; }
    bool IsActive() const { return m_active; }
    void SetActive(bool active) { m_active = active; }

private:
    CSkinItem *m_link; // the element above (number entries), the Skype button (modem button)
    CSkinItem *m_partner = nullptr; // the element below, or the other line button
    bool m_active = false;
};

} // namespace vocamo
