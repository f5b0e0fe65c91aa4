#include "tools/artwork/ArtKit.h"
#include "tools/artwork/PhoneParts.h"

#include <QFontMetricsF>

namespace vocamo::art {

namespace {

// A key cap inside a 25-pixel-high cell; the cells touch, so the cap leaves
// its own margin.
void PaintCap(QPainter &p, int width, const QColor &top, const QColor &low)
{
    const QRectF cap(2.5, 1.5, width - 5, 21.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawPath(Rounded(cap.translated(0, 1.2), 6));
    p.setBrush(Vertical(cap.top(), cap.bottom(), {{0.0, top}, {1.0, low}}));
    p.drawPath(Rounded(cap, 6));
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(cap.left() + 5, cap.top() + 0.8), QPointF(cap.right() - 5, cap.top() + 0.8));
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.drawPath(Rounded(cap.adjusted(0.5, 0.5, -0.5, -0.5), 5.5));
}

} // namespace

QImage PaintKey(const QString &digit, const QString &letters, int width)
{
    QImage image = NewCanvas(width, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintCap(p, width, ink::keyTop, ink::keyLow);

    const QFont digitFont = ArtFont(15, true);
    // The 0 key's "+" is a sign, not letters: it gets a readable size.
    const bool sign = letters == QLatin1String("+");
    const QFont letterFont = sign ? ArtFont(11, true) : ArtFont(7, true, 0.6);
    const qreal dw = QFontMetricsF(digitFont).horizontalAdvance(digit);
    const qreal lw =
        letters.isEmpty() ? 0 : QFontMetricsF(letterFont).horizontalAdvance(letters) + 4;
    const qreal x = (width - dw - lw) / 2.0;
    DrawTextAt(p, QRectF(x, 1, dw + 2, 22), Qt::AlignLeft | Qt::AlignVCenter, digit, digitFont,
               ink::keyInk);
    if (!letters.isEmpty())
        DrawTextAt(p, QRectF(x + dw + 4, sign ? 1.5 : 2.5, lw, 22),
                   Qt::AlignLeft | Qt::AlignVCenter, letters, letterFont, ink::keyLetters);
    return image;
}

QImage PaintClearKey()
{
    QImage image = NewCanvas(54, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintCap(p, 54, QColor(0xfb, 0xf4, 0xee), QColor(0xe0, 0xcf, 0xc4));
    DrawTextAt(p, QRectF(0, 1.5, 54, 21), Qt::AlignCenter, QStringLiteral("CLR"),
               ArtFont(11, true, 0.8), QColor(0xb0, 0x33, 0x28));
    return image;
}

QImage PaintBackKey()
{
    QImage image = NewCanvas(55, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintCap(p, 55, ink::keyTop, ink::keyLow);
    // A tag pointing left with a cross in it: rub out one digit.
    const qreal cx = 27.5;
    const qreal cy = 12.2;
    QPainterPath tag;
    tag.moveTo(cx - 10, cy);
    tag.lineTo(cx - 4.5, cy - 5.5);
    tag.lineTo(cx + 9, cy - 5.5);
    tag.lineTo(cx + 9, cy + 5.5);
    tag.lineTo(cx - 4.5, cy + 5.5);
    tag.closeSubpath();
    p.setPen(QPen(ink::keyInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tag);
    p.setPen(QPen(ink::keyInk, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx - 1, cy - 2.6), QPointF(cx + 4.2, cy + 2.6));
    p.drawLine(QPointF(cx - 1, cy + 2.6), QPointF(cx + 4.2, cy - 2.6));
    return image;
}

QImage PaintLineButton(const QString &label, bool leftEnd, int width)
{
    QImage image = NewCanvas(width, 23);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Round at the outer end, nearly square where the two buttons meet.
    const QRectF r(leftEnd ? 1.0 : 0.5, 1.0, width - 1.5, 21.0);
    const qreal big = 10.5;
    const qreal small = 2.0;
    QPainterPath shape;
    const qreal rl = leftEnd ? big : small;
    const qreal rr = leftEnd ? small : big;
    shape.moveTo(r.left() + rl, r.top());
    shape.lineTo(r.right() - rr, r.top());
    shape.arcTo(QRectF(r.right() - 2 * rr, r.top(), 2 * rr, 2 * rr), 90, -90);
    shape.lineTo(r.right(), r.bottom() - rr);
    shape.arcTo(QRectF(r.right() - 2 * rr, r.bottom() - 2 * rr, 2 * rr, 2 * rr), 0, -90);
    shape.lineTo(r.left() + rl, r.bottom());
    shape.arcTo(QRectF(r.left(), r.bottom() - 2 * rl, 2 * rl, 2 * rl), 270, -90);
    shape.lineTo(r.left(), r.top() + rl);
    shape.arcTo(QRectF(r.left(), r.top(), 2 * rl, 2 * rl), 180, -90);
    shape.closeSubpath();

    p.setPen(QPen(QColor(0x0d, 0x3b, 0x63), 1.0));
    p.setBrush(Vertical(r.top(), r.bottom(),
                        {{0.0, QColor(0x6c, 0xc4, 0xf4)},
                         {0.5, QColor(0x2f, 0x96, 0xdc)},
                         {1.0, QColor(0x1a, 0x6e, 0xb4)}}));
    p.drawPath(shape);
    // Gloss on the upper half.
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(r.top(), r.center().y(),
                        {{0.0, QColor(255, 255, 255, 110)}, {1.0, QColor(255, 255, 255, 18)}}));
    p.setClipPath(shape);
    p.drawRect(QRectF(r.left(), r.top() + 1, r.width(), r.height() / 2 - 1));
    p.setClipping(false);

    // A small mark before the name: a speech bubble for Skype, a wall jack for the modem.
    const QFont font = ArtFont(12, true, 0.3);
    const qreal tw = QFontMetricsF(font).horizontalAdvance(label);
    const qreal markW = 12;
    const qreal x0 = (width - tw - markW - 5) / 2.0 + (leftEnd ? 2 : -2);
    const QPointF m(x0 + markW / 2, 11.5);
    p.setBrush(QColor(255, 255, 255, 235));
    if (leftEnd) {
        QPainterPath bubble = Rounded(QRectF(m.x() - 6, m.y() - 5, 12, 8.5), 3.5);
        QPainterPath tail;
        tail.moveTo(m.x() - 3, m.y() + 2.5);
        tail.lineTo(m.x() - 4.5, m.y() + 6);
        tail.lineTo(m.x() + 0.5, m.y() + 2.5);
        tail.closeSubpath();
        p.drawPath(bubble.united(tail));
    } else {
        QPainterPath jack = Rounded(QRectF(m.x() - 5.5, m.y() - 5.5, 11, 11), 2.5);
        QPainterPath slot;
        slot.addRect(QRectF(m.x() - 3, m.y() - 2, 6, 4.5));
        slot.addRect(QRectF(m.x() - 1, m.y() + 2.5, 2, 1.5));
        p.drawPath(jack.subtracted(slot));
    }
    const QRectF textBox(x0 + markW + 5, 0, tw + 4, 23);
    DrawTextAt(p, textBox.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, label, font,
               QColor(0, 0, 0, 90));
    DrawTextAt(p, textBox, Qt::AlignLeft | Qt::AlignVCenter, label, font, Qt::white);
    return image;
}

QImage PaintCallButton(bool start)
{
    QImage image = NewCanvas(41, 41);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(20.5, 20.5);
    const QColor base = start ? ink::callGreen : ink::callRed;
    p.setPen(Qt::NoPen);
    p.setBrush(base.darker(190));
    p.drawEllipse(c, 19.8, 19.8);
    QRadialGradient body(c + QPointF(-4, -6), 24);
    body.setColorAt(0.0, base.lighter(135));
    body.setColorAt(0.6, base);
    body.setColorAt(1.0, base.darker(135));
    p.setBrush(body);
    p.drawEllipse(c, 18.6, 18.6);
    // Gloss cap.
    p.setBrush(
        Vertical(2, 20, {{0.0, QColor(255, 255, 255, 120)}, {1.0, QColor(255, 255, 255, 0)}}));
    p.drawEllipse(QRectF(7, 3.2, 27, 16));

    p.save();
    p.translate(c + QPointF(0, start ? 0.5 : 2.0));
    p.rotate(start ? -135 : 0);
    p.scale(1.05, 1.05);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(HandsetPath().translated(0, 1.0));
    p.setBrush(Qt::white);
    p.drawPath(HandsetPath());
    p.restore();
    return image;
}

QImage PaintArrow(bool up, int height)
{
    QImage image = NewCanvas(12, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF pill(1, 1, 10, height - 2);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.setBrush(
        Vertical(pill.top(), pill.bottom(),
                 {{0.0, QColor(0x5a, 0x61, 0x6a, 235)}, {1.0, QColor(0x33, 0x38, 0x3e, 235)}}));
    p.drawPath(Rounded(pill, 5));
    const qreal cx = 6;
    const qreal cy = height / 2.0;
    QPainterPath tri;
    if (up) {
        tri.moveTo(cx, cy - 3.5);
        tri.lineTo(cx + 3.6, cy + 2.8);
        tri.lineTo(cx - 3.6, cy + 2.8);
    } else {
        tri.moveTo(cx, cy + 3.5);
        tri.lineTo(cx + 3.6, cy - 2.8);
        tri.lineTo(cx - 3.6, cy - 2.8);
    }
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink::glyphLight);
    p.drawPath(tri);
    return image;
}

QImage PaintClose()
{
    QImage image = NewCanvas(12, 12);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(6, 6);
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.setBrush(Vertical(0, 12, {{0.0, QColor(0x7a, 0x81, 0x8a)}, {1.0, QColor(0x4b, 0x51, 0x58)}}));
    p.drawEllipse(c, 5.4, 5.4);
    p.setPen(QPen(QColor(0xf2, 0xf4, 0xf6), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.9, 3.9), QPointF(8.1, 8.1));
    p.drawLine(QPointF(3.9, 8.1), QPointF(8.1, 3.9));
    return image;
}

QImage PaintRecentButton()
{
    // A round cousin of the line buttons: drawn dimmed like them while the
    // lines have the list area, lit while the Recent list has it.
    QImage image = NewCanvas(18, 18);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(9, 9);
    p.setPen(QPen(QColor(0x0d, 0x3b, 0x63), 1.0));
    p.setBrush(Vertical(1, 17,
                        {{0.0, QColor(0x6c, 0xc4, 0xf4)},
                         {0.5, QColor(0x2f, 0x96, 0xdc)},
                         {1.0, QColor(0x1a, 0x6e, 0xb4)}}));
    p.drawEllipse(c, 8.2, 8.2);
    p.setPen(Qt::NoPen);
    p.setBrush(
        Vertical(1, 9, {{0.0, QColor(255, 255, 255, 110)}, {1.0, QColor(255, 255, 255, 18)}}));
    p.drawEllipse(QRectF(3, 1.6, 12, 7.4));

    // The clock: a white ring with its hands at ten past ten.
    p.setPen(QPen(QColor(255, 255, 255, 235), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 5.2, 5.2);
    p.setPen(QPen(QColor(255, 255, 255, 235), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -3.6));
    p.drawLine(c, c + QPointF(2.6, 1.2));
    return image;
}

} // namespace vocamo::art
