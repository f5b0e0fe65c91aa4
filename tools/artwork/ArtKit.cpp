#include "tools/artwork/ArtKit.h"

#include <QTransform>
#include <cstdio>
#include <cstdlib>

namespace vocamo::art {

QImage NewCanvas(int width, int height, QColor fill)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void SavePng(const QImage &image, const QString &path, int width, int height, bool opaque)
{
    if (image.width() != width || image.height() != height) {
        std::fprintf(stderr, "artwork: %s is %dx%d, wanted %dx%d\n", qPrintable(path),
                     image.width(), image.height(), width, height);
        std::exit(1);
    }
    const QImage out =
        image.convertToFormat(opaque ? QImage::Format_RGB888 : QImage::Format_ARGB32);
    if (!out.save(path, "PNG", 9)) {
        std::fprintf(stderr, "artwork: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QFont ArtFont(qreal pixelSize, bool bold, qreal letterSpacing)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return font;
}

QLinearGradient Vertical(qreal y0, qreal y1, std::initializer_list<std::pair<qreal, QColor>> stops)
{
    QLinearGradient g(0, y0, 0, y1);
    for (const auto &[at, colour] : stops)
        g.setColorAt(at, colour);
    return g;
}

QLinearGradient Horizontal(qreal x0, qreal x1,
                           std::initializer_list<std::pair<qreal, QColor>> stops)
{
    QLinearGradient g(x0, 0, x1, 0);
    for (const auto &[at, colour] : stops)
        g.setColorAt(at, colour);
    return g;
}

QPainterPath Rounded(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QColor WithAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

QColor Mix(const QColor &a, const QColor &b, qreal t)
{
    auto lerp = [t](int x, int y) { return qRound(x + (y - x) * t); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QPainterPath HandsetPath()
{
    // The handle: a shallow arch stroked thick, flat at its ends where the cups sit.
    QPainterPath arch;
    arch.moveTo(-8.4, 0.2);
    arch.cubicTo(-5.2, -6.2, 5.2, -6.2, 8.4, 0.2);
    QPainterPathStroker stroker;
    stroker.setWidth(5.2);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath handset = stroker.createStroke(arch);

    for (int side : {-1, 1}) {
        QPainterPath cup;
        cup.addRoundedRect(QRectF(-4.6, -2.7, 9.2, 5.8), 2.6, 2.6);
        QTransform placed;
        placed.translate(side * 9.0, 2.2);
        placed.rotate(side * 24.0);
        handset = handset.united(placed.map(cup));
    }
    return handset.simplified();
}

QPainterPath PersonPath(const QRectF &box)
{
    const qreal w = box.width();
    const qreal h = box.height();
    QPainterPath head;
    const qreal r = w * 0.25;
    head.addEllipse(QPointF(box.center().x(), box.top() + r + 0.5), r, r);

    QPainterPath shoulders;
    shoulders.addEllipse(QRectF(box.left(), box.top() + h * 0.56, w, h * 0.9));
    QPainterPath clip;
    clip.addRect(box);
    return head.united(shoulders.intersected(clip)).simplified();
}

QColor ShellAt(qreal t)
{
    if (t < 0.45)
        return Mix(ink::shellTop, ink::shellMid, t / 0.45);
    return Mix(ink::shellMid, ink::shellLow, (t - 0.45) / 0.55);
}

void DrawTextAt(QPainter &painter, const QRectF &box, int flags, const QString &text,
                const QFont &font, const QColor &colour)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(box, flags, text);
    painter.restore();
}

} // namespace vocamo::art
