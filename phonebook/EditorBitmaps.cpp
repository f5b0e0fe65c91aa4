#include "phonebook/EditorBitmaps.h"

#include <QRect>
#include <QString>

#include <vector>

namespace vocamo {

QImage LoadEditorBitmap(int id)
{
    return QImage(QStringLiteral(":/bmp/%1.png").arg(id));
}

QImage LoadEditorIcon()
{
    return QImage(QStringLiteral(":/icon/174.png"));
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
