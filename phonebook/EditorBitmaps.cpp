#include "phonebook/EditorBitmaps.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QString>

#include <vector>

namespace vocamo {

namespace {

#ifdef VOCAMO_EDITOR_PLACEHOLDER_BITMAPS
// Stand-ins of the right sizes while the resources are not built in.

const QColor kMagenta(255, 0, 255);
const QColor kInk(0x2B, 0x3A, 0x55);

QImage PlaceholderBackground()
{
    QImage shape(360, 200, QImage::Format_ARGB32);
    shape.fill(Qt::transparent);
    {
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, 0, 0, 200);
        fill.setColorAt(0, QColor(0xEE, 0xF2, 0xF8));
        fill.setColorAt(1, QColor(0xC8, 0xD4, 0xE6));
        p.setPen(QPen(QColor(0x6A, 0x7E, 0x9C), 2));
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(1, 1, 358, 198), 22, 22);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 110));
        p.drawRoundedRect(QRectF(150, 20, 180, 140), 8, 8);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(10);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRect(40, 4, 200, 14), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Phonebook"));
    }
    // Hard edges: whatever is not clearly inside is key colour.
    QImage bitmap(shape.size(), QImage::Format_RGB32);
    for (int y = 0; y < shape.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(shape.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(bitmap.scanLine(y));
        for (int x = 0; x < shape.width(); ++x)
            out[x] = qAlpha(in[x]) < 128 ? kMagenta.rgb() : (in[x] | 0xFF000000u);
    }
    return bitmap;
}

QImage PlaceholderButton(const QSize &size, const QString &caption, bool down)
{
    QImage bitmap(size, QImage::Format_RGB32);
    bitmap.fill(QColor(0xC8, 0xD4, 0xE6));
    QPainter p(&bitmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, down ? QColor(0x8E, 0xA6, 0xC8) : QColor(0xFB, 0xFC, 0xFE));
    fill.setColorAt(1, down ? QColor(0xB4, 0xC6, 0xDE) : QColor(0xD6, 0xE0, 0xEE));
    p.setPen(QColor(0x6A, 0x7E, 0x9C));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 5, 5);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRect(QPoint(down ? 1 : 0, down ? 1 : 0), size), Qt::AlignCenter, caption);
    return bitmap;
}

QImage PlaceholderClose()
{
    QImage bitmap(11, 11, QImage::Format_RGB32);
    bitmap.fill(QColor(0xEE, 0xF2, 0xF8));
    QPainter p(&bitmap);
    p.setPen(QColor(0x6A, 0x7E, 0x9C));
    p.drawRect(0, 0, 10, 10);
    p.setPen(QPen(kInk, 1.5));
    p.setRenderHint(QPainter::Antialiasing);
    p.drawLine(QPointF(3, 3), QPointF(8, 8));
    p.drawLine(QPointF(8, 3), QPointF(3, 8));
    return bitmap;
}

QImage PlaceholderBitmap(int id)
{
    switch (id) {
    case 165: return PlaceholderBackground();
    case 170: return PlaceholderButton({58, 21}, QStringLiteral("New"), false);
    case 171: return PlaceholderButton({58, 21}, QStringLiteral("New"), true);
    case 168: return PlaceholderButton({57, 21}, QStringLiteral("Delete"), false);
    case 169: return PlaceholderButton({57, 21}, QStringLiteral("Delete"), true);
    case 163: return PlaceholderButton({57, 21}, QStringLiteral("Apply"), false);
    case 164: return PlaceholderButton({57, 21}, QStringLiteral("Apply"), true);
    case 172: return PlaceholderButton({57, 21}, QStringLiteral("OK"), false);
    case 162: return PlaceholderButton({57, 21}, QStringLiteral("OK"), true);
    case 166: return PlaceholderButton({59, 21}, QStringLiteral("Cancel"), false);
    case 167: return PlaceholderButton({59, 21}, QStringLiteral("Cancel"), true);
    case 173: return PlaceholderClose();
    default: return {};
    }
}

QImage PlaceholderIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 190));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8, 6, 16, 20), 3, 3);
    return image;
}
#endif

} // namespace

QImage LoadEditorBitmap(int id)
{
    QImage bitmap(QStringLiteral(":/bmp/%1.png").arg(id));
#ifdef VOCAMO_EDITOR_PLACEHOLDER_BITMAPS
    if (bitmap.isNull())
        bitmap = PlaceholderBitmap(id);
#endif
    return bitmap;
}

QImage LoadEditorIcon()
{
    QImage icon(QStringLiteral(":/icon/174.png"));
#ifdef VOCAMO_EDITOR_PLACEHOLDER_BITMAPS
    if (icon.isNull())
        icon = PlaceholderIcon();
#endif
    return icon;
}

QRegion RegionWithoutKeyColour(const QImage &bitmap, QRgb key)
{
    // Colours are compared without alpha, as the 24-bit bitmap has none.
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = key & 0xFFFFFF;
    // Runs left to right, rows top to bottom, never touching: the order
    // QRegion::setRects asks for.
    std::vector<QRect> runs;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        int x = 0;
        while (x < rgb.width()) {
            while (x < rgb.width() && (line[x] & 0xFFFFFF) == wanted)
                ++x;
            const int start = x;
            while (x < rgb.width() && (line[x] & 0xFFFFFF) != wanted)
                ++x;
            if (x > start)
                runs.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    if (!runs.empty())
        region.setRects(runs.data(), static_cast<int>(runs.size()));
    return region;
}

} // namespace vocamo
