#pragma once

#include <QImage>
#include <QString>

class QPainter;

namespace vocamo {

// One picture of the skin, decoded once from the program's resources and
// kept decoded. An image whose load failed is empty: size 0, draws nothing.
class CSkinImage {
public:
    // How much of its own opacity a dimmed image keeps.
    static constexpr double kDimmedOpacity = 100.0 / 255.0;

    CSkinImage() = default;
    virtual ~CSkinImage() = default;

    // Loads ":/png/<name>.png", replacing what was held. False, and empty,
    // when there is no such image or it cannot be decoded.
    bool LoadFromResource(const QString &name);
    // The same from any path (a resource path or a file).
    bool LoadFromPath(const QString &path);

    unsigned GetWidth() const;
    unsigned GetHeight() const;
    bool IsEmpty() const { return m_image.isNull(); }
    // Bytes the decoded picture takes in memory.
    qsizetype DecodedBytes() const { return m_image.sizeInBytes(); }
    const QImage &GetImage() const { return m_image; }

    // Draws the image with its top left at (x, y), at most width x height of
    // it; dimmed draws it at 100/255 of its own opacity.
    void DrawAt(QPainter &painter, int x, int y, int width, int height, bool dimmed) const;

private:
    QImage m_image; // premultiplied ARGB, the format compositions draw fastest
};

} // namespace vocamo
