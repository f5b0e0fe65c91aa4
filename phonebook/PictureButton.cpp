#include "phonebook/PictureButton.h"

#include <QPainter>

namespace vocamo {

CPictureButton::CPictureButton(const QString &text, const QImage &up, const QImage &down,
                               QWidget *parent)
    : QAbstractButton(parent), m_up(QPixmap::fromImage(up)), m_down(QPixmap::fromImage(down))
{
    // The caption is in the pictures; the text names the button for screen
    // readers.
    setText(text);
    setAccessibleName(text);
    setFixedSize(sizeHint());
}

QSize CPictureButton::sizeHint() const
{
    return m_up.size();
}

void CPictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPixmap &picture = isDown() && !m_down.isNull() ? m_down : m_up;
    painter.drawPixmap(0, 0, picture);
}

} // namespace vocamo
