#pragma once

#include <QImage>
#include <QString>

// The painters of the main window's pictures, one function per picture.
namespace vocamo::art {

// FrameArt.cpp: the big surfaces.
QImage PaintFrame();
QImage PaintScreen();
QImage PaintKeypadPlate();
QImage PaintLcd();
QImage PaintPanel();

// ControlArt.cpp: what the user presses.
QImage PaintKey(const QString &digit, const QString &letters, int width);
QImage PaintClearKey();
QImage PaintBackKey();
QImage PaintLineButton(const QString &label, bool leftEnd, int width);
QImage PaintCallButton(bool start);
QImage PaintArrow(bool up, int height);
QImage PaintClose();
QImage PaintRecentButton();

// IconArt.cpp: small pictures.
QImage PaintKeypadIcon();
QImage PaintBookIcon();
QImage PaintPerson();
enum class NumberKind { Home, Office, Mobile };
QImage PaintNumberBadge(NumberKind kind);

} // namespace vocamo::art
