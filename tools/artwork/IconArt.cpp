#include "tools/artwork/ArtKit.h"
#include "tools/artwork/PhoneParts.h"
#include "tools/artwork/Pictures.h"

namespace vocamo::art {

QImage PaintKeypadIcon()
{
    QImage image = NewCanvas(29, 30);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRectF key(5.5 + col * 6.5, 4 + row * 6, 5, 4.4);
            p.setBrush(QColor(0, 0, 0, 110));
            p.drawPath(Rounded(key.translated(0, 0.8), 1.4));
            p.setBrush(ink::glyphLight);
            p.drawPath(Rounded(key, 1.4));
        }
    }
    return image;
}

QImage PaintBookIcon()
{
    QImage image = NewCanvas(29, 30);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Index tabs in the colours of the home, office and mobile badges.
    const QColor tabs[] = {QColor(0xe6, 0x7e, 0x22), QColor(0x3f, 0x7f, 0xbf),
                           QColor(0x27, 0xae, 0x60)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(tabs[i]);
        p.drawPath(Rounded(QRectF(20, 6 + i * 6.5, 5, 5), 1.5));
    }
    const QRectF book(5, 3.5, 17.5, 23);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawPath(Rounded(book.translated(0, 1), 2.5));
    p.setBrush(ink::glyphLight);
    p.drawPath(Rounded(book, 2.5));
    p.setBrush(QColor(0x8d, 0x95, 0x9f));
    p.drawRect(QRectF(book.left() + 2.5, book.top(), 1.3, book.height()));
    p.setBrush(QColor(0x3b, 0x44, 0x4f));
    p.drawPath(PersonPath(QRectF(book.left() + 6.5, book.top() + 5, 9, 12)));
    return image;
}

QImage PaintPerson()
{
    QImage image = NewCanvas(16, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF box(0.5, 1.5, 12, 16); // the name starts right after: leave a gap
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawPath(PersonPath(box).translated(0, 0.8));
    p.setBrush(Vertical(box.top(), box.bottom(),
                        {{0.0, QColor(0x4f, 0x74, 0x97)}, {1.0, QColor(0x2a, 0x46, 0x62)}}));
    p.drawPath(PersonPath(box));
    return image;
}

QImage PaintNumberBadge(NumberKind kind)
{
    QImage image = NewCanvas(34, 35);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = kind == NumberKind::Home     ? QColor(0xe6, 0x7e, 0x22)
                          : kind == NumberKind::Office ? QColor(0x3f, 0x7f, 0xbf)
                                                       : QColor(0x27, 0xae, 0x60);
    const QPointF c(17, 17.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(c + QPointF(0, 1), 15.5, 15.5);
    QRadialGradient body(c + QPointF(-4, -5), 20);
    body.setColorAt(0.0, colour.lighter(130));
    body.setColorAt(1.0, colour.darker(120));
    p.setBrush(body);
    p.drawEllipse(c, 15, 15);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 14.5, 14.5);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPainterPath glyph;
    switch (kind) {
    case NumberKind::Home: {
        QPainterPath roof;
        roof.moveTo(8.5, 17.5);
        roof.lineTo(17, 9.5);
        roof.lineTo(25.5, 17.5);
        roof.lineTo(23.5, 17.5);
        roof.lineTo(17, 11.8);
        roof.lineTo(10.5, 17.5);
        roof.closeSubpath();
        QPainterPath walls;
        walls.addRect(QRectF(11.5, 16.3, 11, 9.2));
        QPainterPath door;
        door.addRect(QRectF(15.3, 19.5, 3.4, 6));
        glyph = roof.united(walls).subtracted(door);
        break;
    }
    case NumberKind::Office: {
        QPainterPath bag = Rounded(QRectF(9, 13.5, 16, 11), 2);
        QPainterPath handle = Rounded(QRectF(13.5, 10, 7, 5), 1.5);
        QPainterPath handleHole;
        handleHole.addRect(QRectF(15, 11.5, 4, 2.2));
        QPainterPath seam;
        seam.addRect(QRectF(9, 17.6, 16, 1.1));
        glyph = bag.united(handle.subtracted(handleHole)).subtracted(seam);
        break;
    }
    case NumberKind::Mobile: {
        QPainterPath phone = Rounded(QRectF(12.5, 8.5, 9, 18), 2);
        QPainterPath screen;
        screen.addRect(QRectF(14, 11, 6, 11));
        QPainterPath button;
        button.addEllipse(QPointF(17, 24), 0.9, 0.9);
        glyph = phone.subtracted(screen).subtracted(button);
        break;
    }
    }
    p.drawPath(glyph);
    return image;
}

std::vector<Picture> PhonePictures()
{
    auto png = [](const char *name) {
        return QStringLiteral("png/%1.png").arg(QLatin1String(name));
    };
    std::vector<Picture> list = {
        {png("IDB_BACKGROUND_TOP"), 239, 550, false, PaintFrame},
        {png("IDB_BACKGROUND_BASE"), 190, 397, false, PaintScreen},
        {png("IDB_POPUP"), 235, 156, false, PaintPanel},
        {png("IDB_SKYPE"), 107, 23, false,
         [] { return PaintLineButton(QStringLiteral("Skype"), true, 107); }},
        {png("IDB_MODEM"), 106, 23, false,
         [] { return PaintLineButton(QStringLiteral("Modem"), false, 106); }},
        {png("IDB_CALLSTART"), 41, 41, false, [] { return PaintCallButton(true); }},
        {png("IDB_CALLEND"), 41, 41, false, [] { return PaintCallButton(false); }},
        {png("IDB_UP"), 12, 26, false, [] { return PaintArrow(true, 26); }},
        {png("IDB_DOWN"), 12, 25, false, [] { return PaintArrow(false, 25); }},
        {png("IDB_CLOSE"), 12, 12, false, PaintClose},
        {png("IDB_RECENT"), 18, 18, false, PaintRecentButton},
        {png("IDB_KEYPAD_BACKGROUND"), 189, 114, false, PaintKeypadPlate},
        {png("IDB_KEYPAD_LCD"), 189, 25, false, PaintLcd},
        {png("IDB_CLR"), 54, 25, false, PaintClearKey},
        {png("IDB_BACK"), 55, 25, false, PaintBackKey},
        {png("IDB_HOME"), 34, 35, false, [] { return PaintNumberBadge(NumberKind::Home); }},
        {png("IDB_OFFICE"), 34, 35, false, [] { return PaintNumberBadge(NumberKind::Office); }},
        {png("IDB_MOBILE"), 34, 35, false, [] { return PaintNumberBadge(NumberKind::Mobile); }},
        {png("IDB_BOOKMARK"), 29, 30, false, PaintBookIcon},
        {png("IDB_KEYPAD"), 29, 30, false, PaintKeypadIcon},
        {png("IDB_BOY1"), 16, 25, false, PaintPerson},
    };
    struct Key {
        const char *name;
        const char *digit;
        const char *letters;
        int width;
    };
    const Key keys[] = {{"IDB_1", "1", "", 54},     {"IDB_2", "2", "ABC", 54},
                        {"IDB_3", "3", "DEF", 55},  {"IDB_4", "4", "GHI", 54},
                        {"IDB_5", "5", "JKL", 54},  {"IDB_6", "6", "MNO", 55},
                        {"IDB_7", "7", "PQRS", 54}, {"IDB_8", "8", "TUV", 54},
                        {"IDB_9", "9", "WXYZ", 55}, {"IDB_0", "0", "+", 54}};
    for (const Key &k : keys) {
        const QString digit = QString::fromLatin1(k.digit);
        const QString letters = QString::fromLatin1(k.letters);
        const int width = k.width;
        list.push_back(
            {png(k.name), width, 25, false, [=] { return PaintKey(digit, letters, width); }});
    }
    return list;
}

} // namespace vocamo::art
