#include "skin/SkinImage.h"

#include <QPainter>
#include <algorithm>

namespace vocamo {

bool CSkinImage::LoadFromResource(const QString &name)
{
    return LoadFromPath(QStringLiteral(":/png/%1.png").arg(name));
}

bool CSkinImage::LoadFromPath(const QString &path)
{
    m_image = QImage();
    QImage decoded(path);
    if (decoded.isNull())
        return false;
    m_image = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return !m_image.isNull();
}

unsigned CSkinImage::GetWidth() const
{
    return static_cast<unsigned>(std::max(0, m_image.width()));
}

unsigned CSkinImage::GetHeight() const
{
    return static_cast<unsigned>(std::max(0, m_image.height()));
}

void CSkinImage::DrawAt(QPainter &painter, int x, int y, int width, int height, bool dimmed) const
{
    if (m_image.isNull() || width <= 0 || height <= 0)
        return;
    const QRect source(0, 0, std::min(width, m_image.width()), std::min(height, m_image.height()));
    if (!dimmed) {
        painter.drawImage(QPoint(x, y), m_image, source);
        return;
    }
    const qreal opacity = painter.opacity();
    painter.setOpacity(opacity * kDimmedOpacity);
    painter.drawImage(QPoint(x, y), m_image, source);
    painter.setOpacity(opacity);
}

} // namespace vocamo
