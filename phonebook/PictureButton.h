#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>

namespace vocamo {

// A button that is only its pictures: the up picture, and the down picture
// while pressed (the up one again when it has none). Sized to the up picture.
class CPictureButton : public QAbstractButton {
    Q_OBJECT
public:
    CPictureButton(const QString &text, const QImage &up, const QImage &down, QWidget *parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_up;
    QPixmap m_down;
};

} // namespace vocamo
