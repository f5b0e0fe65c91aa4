#include "skin/SkinItem.h"

#include "skin/SkinImage.h"
#include "skin/SkinText.h"

#include <algorithm>

namespace vocamo {

CSkinItem::CSkinItem(const CSkinImage *image) : m_image(image)
{
    const int width = image ? static_cast<int>(image->GetWidth()) : 0;
    const int height = image ? static_cast<int>(image->GetHeight()) : 0;
    m_imageRect = {0, 0, width, height};
    m_wholeRect = m_imageRect;
}

void CSkinItem::Layout()
{
    MoveTo(m_imageRect.left + m_dx, m_imageRect.top + m_dy);
}

void CSkinItem::MoveTo(int x, int y)
{
    m_imageRect.MoveTo(x, y);
    const int imageWidth = m_imageRect.Width();
    if (m_kind == kind::kNumberEntry)
        m_textRect.MoveTo(x + imageWidth + 10, y + 8);
    else
        m_textRect.MoveTo(x + imageWidth, y);
    m_wholeRect.MoveTo(x, y);
}

void CSkinItem::SetText(const std::string &text)
{
    m_text = text;
    const QSize size = MeasureText(ToDrawText(text));
    m_textRect = {m_imageRect.right + 10, m_imageRect.top + 8, m_imageRect.right + size.width(),
                  m_imageRect.top + size.height()};
    m_wholeRect = {m_imageRect.left, m_imageRect.top, m_textRect.right,
                   std::max(m_imageRect.bottom, m_textRect.bottom)};
}

} // namespace vocamo
