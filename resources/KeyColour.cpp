#include "resources/KeyColour.h"

#include <QRect>
#include <vector>

namespace vocamo {

QRegion RegionWithoutKeyColour(const QImage &bitmap, QRgb key)
{
    // Colours are compared without alpha, as the 24-bit bitmaps have none.
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = key & 0xFFFFFF;
    // Runs left to right, rows top to bottom, never touching: the order
    // QRegion::setRects asks for. The whole width counts: leaving out the
    // columns beyond a multiple of four would cut the right edge off.
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
