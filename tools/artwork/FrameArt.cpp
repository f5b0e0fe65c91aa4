#include "tools/artwork/ArtKit.h"
#include "tools/artwork/PhoneParts.h"
#include "tools/artwork/Pictures.h"

#include <cmath>

namespace vocamo::art {

namespace {

const QRectF kBody(3.5, 2.5, 232, 542);
constexpr qreal kBodyRadius = 30;
// The window in the frame through which lists, display and keypad are seen;
// a pixel inside the body background all round so no seam shows.
const QRectF kHole(24, 72, 188, 395);
constexpr qreal kHoleRadius = 7;

void PaintShadow(QPainter &p)
{
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 22));
        p.drawPath(Rounded(kBody.adjusted(-i, -i + 2, i, i + 1), kBodyRadius + i));
    }
}

void PaintShell(QPainter &p)
{
    const QPainterPath body = Rounded(kBody, kBodyRadius);
    QLinearGradient shell(0, kBody.top(), 0, kBody.bottom());
    for (int i = 0; i <= 10; ++i)
        shell.setColorAt(i / 10.0, ShellAt(i / 10.0));
    p.setPen(Qt::NoPen);
    p.setBrush(shell);
    p.drawPath(body);

    // Satin sheen: light from the upper left, the right flank falling away.
    p.setBrush(Horizontal(kBody.left(), kBody.right(),
                          {{0.0, QColor(255, 255, 255, 34)},
                           {0.10, QColor(255, 255, 255, 10)},
                           {0.5, QColor(255, 255, 255, 0)},
                           {0.92, QColor(0, 0, 0, 18)},
                           {1.0, QColor(0, 0, 0, 46)}}));
    p.drawPath(body);

    // Polished rim, bright where the light falls.
    QPen rim(QBrush(Vertical(kBody.top(), kBody.bottom(),
                             {{0.0, WithAlpha(ink::rimLight, 235)},
                              {0.35, WithAlpha(ink::rimLight, 120)},
                              {1.0, WithAlpha(ink::rimLight, 55)}})),
             1.4);
    p.setPen(rim);
    p.setBrush(Qt::NoBrush);
    p.drawPath(Rounded(kBody.adjusted(0.7, 0.7, -0.7, -0.7), kBodyRadius - 0.7));
    p.setPen(QPen(QColor(0, 0, 0, 90), 1.0));
    p.drawPath(Rounded(kBody.adjusted(2.4, 2.4, -2.4, -2.4), kBodyRadius - 2.4));
}

void PaintSpeaker(QPainter &p)
{
    // Three rows of drilled holes for the earpiece.
    p.setPen(Qt::NoPen);
    const qreal cx = 119.5;
    for (int row = 0; row < 3; ++row) {
        const int count = row == 1 ? 13 : 12;
        const qreal y = 20.5 + row * 4.6;
        for (int i = 0; i < count; ++i) {
            const qreal x = cx + (i - (count - 1) / 2.0) * 5.0;
            p.setBrush(QColor(255, 255, 255, 28));
            p.drawEllipse(QPointF(x, y + 0.7), 1.45, 1.45);
            p.setBrush(QColor(0x0b, 0x0c, 0x0e));
            p.drawEllipse(QPointF(x, y), 1.35, 1.35);
        }
    }
}

void PaintLineTrack(QPainter &p)
{
    // The slot the two line buttons sit in; shows when a line is missing.
    const QRectF track(11, 43, 215, 25);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 26));
    p.drawPath(Rounded(track.translated(0, 0.8), 12.5));
    p.setBrush(Vertical(track.top(), track.bottom(),
                        {{0.0, QColor(0x0c, 0x0e, 0x10)}, {1.0, QColor(0x25, 0x29, 0x2e)}}));
    p.drawPath(Rounded(track, 12.5));
}

void PaintBezel(QPainter &p)
{
    const QRectF outer(18.5, 68.5, 199, 404);
    QPainterPath ring = Rounded(outer, 11);
    p.setPen(Qt::NoPen);
    // A recess: dark where the shell overhangs it, catching light below.
    p.setBrush(Vertical(outer.top(), outer.bottom(),
                        {{0.0, QColor(0x08, 0x09, 0x0b)},
                         {0.5, QColor(0x16, 0x19, 0x1c)},
                         {1.0, QColor(0x4a, 0x50, 0x58)}}));
    p.drawPath(ring);
    p.setPen(QPen(QColor(255, 255, 255, 38), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Rounded(outer.adjusted(-0.8, -0.8, 0.8, 0.8), 11.8));
}

void PaintCallWells(QPainter &p)
{
    for (const qreal cx : {91.5, 148.5}) {
        const QPointF c(cx, 504.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 30));
        p.drawEllipse(c + QPointF(0, 0.9), 24.2, 24.2);
        p.setBrush(Vertical(c.y() - 24, c.y() + 24,
                            {{0.0, QColor(0x0a, 0x0b, 0x0d)}, {1.0, QColor(0x2c, 0x31, 0x37)}}));
        p.drawEllipse(c, 24, 24);
    }
}

void PaintBrand(QPainter &p)
{
    const QRectF box(0, 529, layout::frameWidth, 14);
    DrawTextAt(p, box.translated(0, 1), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("VOCAMO"),
               ArtFont(9, true, 2.4), QColor(0, 0, 0, 120));
    DrawTextAt(p, box, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("VOCAMO"),
               ArtFont(9, true, 2.4), QColor(0xb8, 0xbe, 0xc6, 200));
}

} // namespace

QImage PaintFrame()
{
    QImage image = NewCanvas(layout::frameWidth, layout::frameHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintShadow(p);
    PaintShell(p);
    PaintSpeaker(p);
    PaintLineTrack(p);
    PaintBezel(p);
    PaintCallWells(p);
    PaintBrand(p);

    // Cut the window for the screen.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(Rounded(kHole, kHoleRadius));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The bezel's own inner lip.
    p.setPen(QPen(QColor(0, 0, 0, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Rounded(kHole.adjusted(-0.5, -0.5, 0.5, 0.5), kHoleRadius + 0.5));
    return image;
}

QImage PaintScreen()
{
    const int w = layout::screenWidth;
    const int h = layout::screenHeight;
    QImage image = NewCanvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), Vertical(0, h, {{0.0, ink::screenTop}, {1.0, ink::screenLow}}));
    // A soft glow in the middle, as from a backlight.
    QRadialGradient glow(QPointF(w * 0.45, h * 0.3), h * 0.6);
    glow.setColorAt(0.0, QColor(255, 255, 255, 60));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);
    // The frame's overhang casts a shadow along the top and the sides.
    p.fillRect(QRectF(0, 0, w, 12),
               Vertical(0, 12, {{0.0, QColor(0, 0, 0, 70)}, {1.0, QColor(0, 0, 0, 0)}}));
    p.fillRect(QRectF(0, 0, 6, h),
               Horizontal(0, 6, {{0.0, QColor(0, 0, 0, 40)}, {1.0, QColor(0, 0, 0, 0)}}));
    p.fillRect(QRectF(w - 6, 0, 6, h),
               Horizontal(w - 6, w, {{0.0, QColor(0, 0, 0, 0)}, {1.0, QColor(0, 0, 0, 40)}}));
    return image;
}

QImage PaintKeypadPlate()
{
    QImage image = NewCanvas(189, 114);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plate(0, 0, 189, 114);
    p.fillRect(plate, Vertical(0, 114,
                               {{0.0, QColor(0x3d, 0x43, 0x4a)}, {1.0, QColor(0x23, 0x27, 0x2c)}}));
    // Brushed finish: faint horizontal hairlines.
    for (int y = 2; y < 114; y += 2) {
        p.setPen(QPen(QColor(255, 255, 255, (y * 7) % 9 + 3), 1));
        p.drawLine(QPointF(0, y + 0.5), QPointF(189, y + 0.5));
    }
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawLine(QPointF(0, 0.5), QPointF(189, 0.5));
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.drawLine(QPointF(0, 1.5), QPointF(189, 1.5));
    return image;
}

QImage PaintLcd()
{
    QImage image = NewCanvas(189, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF lcd(0.5, 0.5, 188, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x16, 0x1a, 0x12));
    p.drawPath(Rounded(lcd, 4));
    const QRectF glass = lcd.adjusted(1.5, 1.5, -1.5, -1.5);
    p.setBrush(Vertical(glass.top(), glass.bottom(), {{0.0, ink::lcdTop}, {1.0, ink::lcdLow}}));
    p.drawPath(Rounded(glass, 3));
    // Inner shadow at the top edge of the glass and a faint gloss line.
    p.setBrush(
        Vertical(glass.top(), glass.top() + 5,
                 {{0.0, QColor(0x24, 0x33, 0x18, 110)}, {1.0, QColor(0x24, 0x33, 0x18, 0)}}));
    p.drawPath(Rounded(glass, 3));
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawLine(QPointF(glass.left() + 4, glass.bottom() - 0.5),
               QPointF(glass.right() - 4, glass.bottom() - 0.5));
    // Ghost segments, as on a real liquid-crystal line.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x24, 0x33, 0x18, 14));
    for (int i = 0; i < 21; ++i)
        p.drawRect(QRectF(7 + i * 8.4, 6, 6.4, 13));
    return image;
}

QImage PaintPanel()
{
    QImage image = NewCanvas(235, 156);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(3.5, 2.5, 228, 149);
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 30));
        p.drawPath(Rounded(card.adjusted(-i, -i + 2, i, i + 1), 14 + i));
    }
    p.setBrush(Vertical(card.top(), card.bottom(),
                        {{0.0, QColor(0x3a, 0x40, 0x48)}, {1.0, QColor(0x1f, 0x23, 0x28)}}));
    p.drawPath(Rounded(card, 14));
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Rounded(card.adjusted(0.5, 0.5, -0.5, -0.5), 13.5));
    // A green edge ties the panel to the display and the call key.
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(ink::lcdLow, 220));
    p.drawPath(Rounded(QRectF(card.left() + 1, card.top() + 14, 3, card.height() - 28), 1.5));
    return image;
}

} // namespace vocamo::art
