#include "tools/artwork/ArtKit.h"
#include "tools/artwork/Pictures.h"

#include <QFontMetricsF>

namespace vocamo::art {

namespace {

const QColor kMagenta(255, 0, 255);
const QRectF kEditorBody(5.5, 3.5, 349, 193);
const QRectF kEditorPanel(27, 11, 316, 152);

// Where the shaped editor is cut, pixels must be exactly magenta; the edge is
// hard, so the antialiased body is flattened onto the shell colour.
QImage FlattenOnKey(const QImage &art)
{
    QImage out(art.size(), QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y) {
        const qreal t = (y - kEditorBody.top()) / kEditorBody.height();
        const QColor under = ShellAt(qBound(0.0, t, 1.0)).darker(140);
        for (int x = 0; x < art.width(); ++x) {
            const QColor c = QColor::fromRgba(art.pixel(x, y)); // straight alpha
            if (c.alpha() < 128) {
                out.setPixelColor(x, y, kMagenta);
                continue;
            }
            out.setPixelColor(x, y, Mix(under, QColor(c.red(), c.green(), c.blue()), c.alphaF()));
        }
    }
    return out;
}

QImage PaintEditorBackground()
{
    QImage art = NewCanvas(360, 200);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shell(0, kEditorBody.top(), 0, kEditorBody.bottom());
    for (int i = 0; i <= 10; ++i)
        shell.setColorAt(i / 10.0, ShellAt(i / 10.0));
    p.setPen(Qt::NoPen);
    p.setBrush(shell);
    p.drawPath(Rounded(kEditorBody, 20));
    p.setPen(QPen(WithAlpha(ink::rimLight, 150), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Rounded(kEditorBody.adjusted(0.8, 0.8, -0.8, -0.8), 19));

    // The light page the labels and the boxes sit on, recessed like the screen.
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(kEditorPanel.top() - 3, kEditorPanel.bottom() + 3,
                        {{0.0, QColor(0x08, 0x09, 0x0b)}, {1.0, QColor(0x4a, 0x50, 0x58)}}));
    p.drawPath(Rounded(kEditorPanel.adjusted(-3, -3, 3, 3), 12));
    p.setBrush(Vertical(kEditorPanel.top(), kEditorPanel.bottom(),
                        {{0.0, ink::screenTop}, {1.0, ink::screenLow}}));
    p.drawPath(Rounded(kEditorPanel, 9));
    p.setBrush(Vertical(kEditorPanel.top(), kEditorPanel.top() + 8,
                        {{0.0, QColor(0, 0, 0, 60)}, {1.0, QColor(0, 0, 0, 0)}}));
    p.drawPath(Rounded(kEditorPanel, 9));

    // The book's name runs up the left edge of the shell.
    p.save();
    p.translate(17, kEditorPanel.center().y());
    p.rotate(-90);
    DrawTextAt(p, QRectF(-60, -6, 120, 12), Qt::AlignCenter, QStringLiteral("PHONEBOOK"),
               ArtFont(8, true, 1.8), QColor(0xb8, 0xbe, 0xc6, 190));
    p.restore();
    // Guide lines under the four labels.
    p.setPen(QPen(QColor(0x7a, 0x86, 0x72, 90), 1));
    for (int y : {48, 78, 108, 138})
        p.drawLine(QPointF(160, y + 0.5), QPointF(330, y + 0.5));
    p.end();
    return FlattenOnKey(art.convertToFormat(QImage::Format_ARGB32));
}

// A picture button painted over its own patch of the editor's background.
QImage PaintEditorButton(const QImage &background, QPoint at, int width, const QString &label,
                         bool down, const QColor &labelColour)
{
    QImage image = background.copy(QRect(at, QSize(width, 21)))
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF pill(1.5, 1.5, width - 3, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawPath(Rounded(pill.translated(0, 1), 7));
    if (down)
        p.setBrush(Vertical(pill.top(), pill.bottom(),
                            {{0.0, QColor(0xb4, 0xb9, 0xb1)}, {1.0, QColor(0xd8, 0xdc, 0xd4)}}));
    else
        p.setBrush(Vertical(pill.top(), pill.bottom(), {{0.0, ink::keyTop}, {1.0, ink::keyLow}}));
    p.drawPath(Rounded(pill, 7));
    p.setPen(QPen(QColor(0, 0, 0, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Rounded(pill.adjusted(0.5, 0.5, -0.5, -0.5), 6.5));
    DrawTextAt(p, pill.translated(down ? 0.5 : 0, down ? 1 : 0), Qt::AlignCenter, label,
               ArtFont(11, true), labelColour);
    return image;
}

QImage PaintEditorClose(const QImage &background)
{
    QImage image = background.copy(QRect(317, 18, 11, 11))
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5d, 0x64, 0x6c));
    p.drawEllipse(QPointF(5.5, 5.5), 5.2, 5.2);
    p.setPen(QPen(Qt::white, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.6, 3.6), QPointF(7.4, 7.4));
    p.drawLine(QPointF(3.6, 7.4), QPointF(7.4, 3.6));
    return image;
}

// The popup's skin: a card with a coloured band; the text goes in (36, 36, 125, 71).
QImage PaintPopupSkin(bool ringing)
{
    QImage image = NewCanvas(147, 121, QColor(0xf4, 0xf6, 0xf1));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor accent = ringing ? QColor(0xea, 0x80, 0x1c) : ink::callGreen;
    p.fillRect(
        QRectF(0, 0, 147, 121),
        Vertical(0, 121, {{0.0, QColor(0xfb, 0xfc, 0xf9)}, {1.0, QColor(0xe6, 0xea, 0xe2)}}));
    p.fillRect(QRectF(0, 0, 147, 25),
               Vertical(0, 25, {{0.0, accent.lighter(118)}, {1.0, accent.darker(112)}}));
    p.fillRect(QRectF(0, 25, 147, 1), accent.darker(150));

    // Handset in the band, with ring waves when a call is coming in.
    p.save();
    p.translate(15, 13);
    p.rotate(-135);
    p.scale(0.62, 0.62);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(HandsetPath());
    p.restore();
    if (ringing) {
        p.setPen(QPen(QColor(255, 255, 255, 220), 1.3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 2; ++i) {
            const qreal r = 4 + i * 3.2;
            p.drawArc(QRectF(21 - r, 9 - r, 2 * r, 2 * r), 0 * 16, 90 * 16);
        }
    }
    DrawTextAt(p, QRectF(32, 0, 110, 25), Qt::AlignLeft | Qt::AlignVCenter,
               ringing ? QStringLiteral("Incoming call") : QStringLiteral("Vocamo call"),
               ArtFont(12, true), Qt::white);

    // A soft well behind the caller's text.
    p.setPen(QPen(QColor(0, 0, 0, 28), 1));
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawPath(Rounded(QRectF(31.5, 32.5, 99, 43), 6));
    // The person the call is with.
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(accent, 60));
    p.drawEllipse(QPointF(17, 54), 10.5, 10.5);
    p.setBrush(accent.darker(115));
    p.drawPath(PersonPath(QRectF(11, 45, 12, 15)));

    p.fillRect(QRectF(10, 84, 127, 1), QColor(0, 0, 0, 30));
    DrawTextAt(p, QRectF(0, 88, 147, 16), Qt::AlignHCenter | Qt::AlignTop,
               ringing ? QStringLiteral("Click to answer") : QStringLiteral("Click to hang up"),
               ArtFont(11), QColor(0x55, 0x5d, 0x66));
    DrawTextAt(p, QRectF(0, 105, 147, 12), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("VOCAMO"), ArtFont(8, true, 2), QColor(0x9a, 0xa2, 0x9a));
    p.setPen(QPen(QColor(0x8f, 0x98, 0x8d), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 146, 120));
    return image;
}

// The application's icon: the telephone reduced to its face.
QImage PaintAppIcon(int size)
{
    QImage image = NewCanvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    const QRectF body(18, 12, 220, 232);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(Rounded(body.translated(0, 6), 48));
    QLinearGradient shell(0, body.top(), 0, body.bottom());
    for (int i = 0; i <= 10; ++i)
        shell.setColorAt(i / 10.0, ShellAt(i / 10.0));
    p.setBrush(shell);
    p.drawPath(Rounded(body, 48));
    p.setPen(QPen(WithAlpha(ink::rimLight, 200), 5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Rounded(body.adjusted(2.5, 2.5, -2.5, -2.5), 45));

    const QRectF lcd(50, 44, 156, 52);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::lcdEdge);
    p.drawPath(Rounded(lcd, 12));
    p.setBrush(Vertical(lcd.top(), lcd.bottom(), {{0.0, ink::lcdTop}, {1.0, ink::lcdLow}}));
    p.drawPath(Rounded(lcd.adjusted(5, 5, -5, -5), 8));
    p.setBrush(WithAlpha(ink::lcdEdge, 200));
    for (int i = 0; i < 5; ++i)
        p.drawRect(QRectF(68 + i * 16, 60, 10, 20));

    const QPointF c(128, 170);
    p.setBrush(ink::callGreen.darker(180));
    p.drawEllipse(c, 52, 52);
    QRadialGradient ball(c + QPointF(-12, -18), 70);
    ball.setColorAt(0.0, ink::callGreen.lighter(135));
    ball.setColorAt(1.0, ink::callGreen.darker(125));
    p.setBrush(ball);
    p.drawEllipse(c, 48, 48);
    p.translate(c);
    p.rotate(-135);
    p.scale(3.0, 3.0);
    p.setBrush(Qt::white);
    p.drawPath(HandsetPath());
    return image;
}

} // namespace

std::vector<Picture> DialogPictures()
{
    auto bmp = [](int n) { return QStringLiteral("bmp/%1.png").arg(n); };
    const QImage background = PaintEditorBackground();
    struct Button {
        int up;
        int down;
        int x;
        int width;
        const char *label;
        QColor colour;
    };
    const Button buttons[] = {{170, 171, 34, 58, "New", ink::keyInk},
                              {168, 169, 92, 57, "Delete", QColor(0xb0, 0x33, 0x28)},
                              {163, 164, 149, 57, "Apply", ink::keyInk},
                              {172, 162, 206, 57, "OK", QColor(0x1f, 0x7a, 0x3a)},
                              {166, 167, 263, 59, "Cancel", ink::keyInk}};
    std::vector<Picture> list = {
        {bmp(129), 147, 121, true, [] { return PaintPopupSkin(false); }},
        {bmp(130), 147, 121, true, [] { return PaintPopupSkin(true); }},
        {bmp(165), 360, 200, true, [background] { return background; }},
        {bmp(173), 11, 11, true, [background] { return PaintEditorClose(background); }},
        {QStringLiteral("icon/174.png"), 48, 48, false, [] { return PaintAppIcon(48); }},
        {QStringLiteral("icon/vocamo-256.png"), 256, 256, false, [] { return PaintAppIcon(256); }},
    };
    for (const Button &b : buttons) {
        const QString label = QString::fromLatin1(b.label);
        const QPoint at(b.x, 169);
        const int width = b.width;
        const QColor colour = b.colour;
        list.push_back({bmp(b.up), width, 21, true, [=] {
                            return PaintEditorButton(background, at, width, label, false, colour);
                        }});
        list.push_back({bmp(b.down), width, 21, true, [=] {
                            return PaintEditorButton(background, at, width, label, true, colour);
                        }});
    }
    return list;
}

} // namespace vocamo::art
