#include "skin/Composition.h"

#include "skin/SkinImage.h"
#include "skin/SkinItem.h"
#include "skin/SkinItemList.h"
#include "skin/SkinText.h"

#include <QPainter>

namespace vocamo {

namespace {

// Text is placed by its box's top left; a single line is drawn at its
// baseline directly, which lays it out the same way at a fraction of the cost.
void DrawTextAt(QPainter &painter, int x, int y, const QString &text, bool bold, QRgb colour)
{
    painter.setFont(SkinFont(bold));
    painter.setPen(QColor::fromRgba(colour));
    if (text.contains(QLatin1Char('\n'))) {
        painter.drawText(QRectF(x, y, 1024, 768), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         text);
        return;
    }
    painter.drawText(QPointF(x, y + painter.fontMetrics().ascent()), text);
}

} // namespace

void DrawElement(QPainter &painter, const CSkinItem &item, bool dimmed, bool dark)
{
    const CSkinImage *image = item.GetImage();
    if (!image || item.IsHidden())
        return;
    const SkinRect &place = item.GetImageRect();
    // Rows scrolled far past the picture cost nothing. The text may reach
    // 10 pixels right of and 8 below the element's whole box.
    const SkinRect &whole = item.GetWholeRect();
    const QRect reach(whole.left, whole.top, whole.Width() + 10, whole.Height() + 8);
    const QPaintDevice *device = painter.device();
    if (device && !reach.intersects(QRect(0, 0, device->width(), device->height())))
        return;
    image->DrawAt(painter, place.left, place.top, static_cast<int>(image->GetWidth()),
                  static_cast<int>(image->GetHeight()), dimmed);
    if (item.GetText().empty())
        return;
    const std::string shown =
        item.GetKind() == kind::kNumberEntry ? item.GetText() : Ellipsize(item.GetText());
    const SkinRect &box = item.GetTextRect();
    DrawTextAt(painter, box.left, box.top, ToDrawText(shown), !dark,
               dark ? kDarkTextColour : kLightTextColour);
}

void DrawDisplayText(QPainter &painter, const CSkinItemList &items, const std::string &dialString)
{
    if (dialString.empty())
        return;
    const CSkinItem *display = items.FindByKind(kind::kDisplay);
    if (!display)
        return;
    const SkinRect &box = display->GetWholeRect();
    DrawTextAt(painter, box.left + 7, box.top + 5, ToDrawText(dialString), true, kDarkTextColour);
}

bool ComposeWindow(QImage &picture, const CSkinItemList &items, const std::string &dialString,
                   bool *paintingFlag)
{
    if (paintingFlag && *paintingFlag)
        return false;
    if (picture.size() != QSize(kWindowWidth, kWindowHeight) ||
        picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = NewSkinPicture(kWindowWidth, kWindowHeight);
    else
        picture.fill(Qt::transparent);
    // Text is laid out on the 96-dpi grid whatever picture was handed in.
    const QImage grid = NewSkinPicture(1, 1);
    picture.setDotsPerMeterX(grid.dotsPerMeterX());
    picture.setDotsPerMeterY(grid.dotsPerMeterY());

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (paintingFlag)
        *paintingFlag = true;
    items.Paint(painter);
    if (paintingFlag)
        *paintingFlag = false;
    DrawDisplayText(painter, items, dialString);
    return true;
}

QImage ComposeWindow(const CSkinItemList &items, const std::string &dialString)
{
    QImage picture;
    ComposeWindow(picture, items, dialString);
    return picture;
}

} // namespace vocamo
