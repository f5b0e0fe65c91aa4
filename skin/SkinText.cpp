#include "skin/SkinText.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>

namespace vocamo {

namespace {

constexpr int kDotsPerMeter = 3780; // 96 dots per inch, the skin's pixel grid
constexpr qsizetype kMeasuredTexts = 8192;

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Bytes of the UTF-8 sequence a lead byte starts; 1 for anything else.
std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

std::string EllipsizeLine(std::string_view text)
{
    // A character is a lead byte and the continuation bytes its sequence
    // calls for; a stray or missing byte ends it early, so bad input is still
    // cut at a defined place and good input never inside a character.
    std::size_t characters = 0;
    std::size_t cut = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (characters == kEllipsisAfter)
            cut = i;
        const std::size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
        std::size_t taken = 1;
        while (taken < length && i + taken < text.size() &&
               IsContinuation(static_cast<unsigned char>(text[i + taken])))
            ++taken;
        i += taken;
    }
    if (characters <= kEllipsisAfter)
        return std::string(text);
    return std::string(text.substr(0, cut)) + "...";
}

} // namespace

QFont SkinFont(bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(10.0);
    font.setBold(bold);
    return font;
}

std::string Ellipsize(std::string_view text)
{
    // Line by line: the call screen shows the number above the name, and a
    // name must not be cut for the number's length.
    std::string shown;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        shown += EllipsizeLine(text.substr(start, end == text.npos ? end : end - start));
        if (end == text.npos)
            return shown;
        shown += '\n';
        start = end + 1;
    }
}

QString ToDrawText(std::string_view text)
{
    QString wide = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (wide.size() > kDrawTextUnits) {
        qsizetype keep = kDrawTextUnits;
        if (wide.at(keep - 1).isHighSurrogate())
            --keep;
        wide.truncate(keep);
    }
    return wide;
}

QSize MeasureText(const QString &text)
{
    // A list of thousands of names is built and rebuilt on the window
    // thread: each text is measured once.
    thread_local QHash<QString, QSize> measured;
    if (const auto known = measured.constFind(text); known != measured.cend())
        return *known;
    const QImage device = NewSkinPicture(1, 1);
    const QFontMetricsF metrics(SkinFont(false), &device);
    const QRectF box =
        metrics.boundingRect(QRectF(0, 0, 1024, 768), Qt::AlignLeft | Qt::AlignTop, text);
    const QSize size(static_cast<int>(box.width()), static_cast<int>(box.height()));
    if (measured.size() >= kMeasuredTexts)
        measured.clear();
    measured.insert(text, size);
    return size;
}

QImage NewSkinPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.setDotsPerMeterX(kDotsPerMeter);
    picture.setDotsPerMeterY(kDotsPerMeter);
    picture.fill(Qt::transparent);
    return picture;
}

} // namespace vocamo
