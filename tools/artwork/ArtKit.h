#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <initializer_list>
#include <utility>

// Small drawing helpers shared by the artwork generator's painters.
namespace vocamo::art {

// The telephone's colours, in one place so the whole look can be retuned.
namespace ink {
inline const QColor shellTop{0x4a, 0x50, 0x59};
inline const QColor shellMid{0x2e, 0x33, 0x3a};
inline const QColor shellLow{0x1d, 0x20, 0x25};
inline const QColor rimLight{0x8a, 0x91, 0x9b};
inline const QColor screenTop{0xe7, 0xec, 0xdf};
inline const QColor screenLow{0xcf, 0xd9, 0xc6};
inline const QColor lcdTop{0xbf, 0xd9, 0x93};
inline const QColor lcdLow{0x9d, 0xc2, 0x6c};
inline const QColor lcdEdge{0x24, 0x33, 0x18};
inline const QColor keyTop{0xfb, 0xfb, 0xf8};
inline const QColor keyLow{0xd6, 0xda, 0xd3};
inline const QColor keyInk{0x22, 0x26, 0x2b};
inline const QColor keyLetters{0x6d, 0x74, 0x7c};
inline const QColor callGreen{0x2f, 0xb8, 0x57};
inline const QColor callRed{0xe0, 0x3e, 0x3a};
inline const QColor glyphLight{0xe8, 0xeb, 0xef};
} // namespace ink

// A transparent canvas ready for painting (premultiplied, as QPainter likes it).
QImage NewCanvas(int width, int height, QColor fill = Qt::transparent);

// Saves as 8-bit RGBA PNG (or RGB when opaque is set); aborts the run on a
// size mismatch so a wrong picture never lands in the resources.
void SavePng(const QImage &image, const QString &path, int width, int height, bool opaque = false);

QFont ArtFont(qreal pixelSize, bool bold = false, qreal letterSpacing = 0);

QLinearGradient Vertical(qreal y0, qreal y1, std::initializer_list<std::pair<qreal, QColor>> stops);
QLinearGradient Horizontal(qreal x0, qreal x1,
                           std::initializer_list<std::pair<qreal, QColor>> stops);

QPainterPath Rounded(const QRectF &rect, qreal radius);

QColor WithAlpha(QColor colour, int alpha);
QColor Mix(const QColor &a, const QColor &b, qreal t);

// A telephone handset lying flat, cups down, centred on the origin and about
// 24 units wide; rotate and scale it with the painter.
QPainterPath HandsetPath();

// A person's bust (head and shoulders) filling the given box.
QPainterPath PersonPath(const QRectF &box);

// The colour of the telephone's shell at height y of the body (0 top, 1 bottom).
QColor ShellAt(qreal t);

void DrawTextAt(QPainter &painter, const QRectF &box, int flags, const QString &text,
                const QFont &font, const QColor &colour);

} // namespace vocamo::art
