#pragma once

#include "core/MessageTarget.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QEnterEvent;

namespace vocamo {

// A colour as the design gives it: 0x00BBGGRR.
using COLORREF = std::uint32_t;

// The popup that slides up from the bottom right of the work area to announce
// a modem call, stays a while and slides away again. A click on it is posted
// to the owner as WM_NOTIFIER_CLICKED; the popup itself carries on sliding.
//
// It is a top-level window of its own, with no Qt parent: the main window
// hides itself during a call, and the popup must stay up regardless.
class CTaskbarNotifier : public QWidget {
    Q_OBJECT

public:
    enum State { Hidden = 0, Appearing = 1, Shown = 2, Disappearing = 3 };
    enum TimerId : unsigned { AppearTimer = 1, StayTimer = 2, DisappearTimer = 3 };

    // periodDivisor divides every period handed to Popup, so that an owner's
    // tests can run the whole slide in a few milliseconds.
    explicit CTaskbarNotifier(unsigned periodDivisor = 1);
    ~CTaskbarNotifier() override;

    // Takes the window that receives the click; may be called again.
    bool Create(CMessageTarget *owner);

    // Skin :/bmp/<id>.png. With a key colour (no part -1), the popup's shape
    // leaves out the pixels of exactly that colour. False, and nothing
    // changed, when the image cannot be loaded.
    bool SetSkinBitmap(unsigned bitmapId, int red = -1, int green = -1, int blue = -1);
    bool SetSkinBitmap(const QImage &skin, int red = -1, int green = -1, int blue = -1);

    // size in tenths of a point; style bits: 1 bold, 2 italic, 4 underline.
    void SetTextFonts(const std::string &faceName, int tenthsOfPoint, unsigned normalStyle,
                      unsigned hoverStyle);
    void SetTextColors(COLORREF normal, COLORREF hover);
    void SetTextRect(int left, int top, int right, int bottom);

    // text is the program's 8-bit (UTF-8) text; "\n" starts a line. The
    // popup moves 2 pixels a step whatever increment is given.
    void Popup(const std::string &text, unsigned showTime, unsigned stayTime, unsigned hideTime,
               int increment = 1);
    void HidePopup();

    // One tick of timer 1, 2 or 3; the timers call this, tests may too.
    void OnTimer(unsigned timerId);

    // What the popup stands at now.
    State GetState() const { return m_state; }
    QPoint Position() const { return {m_x, m_y}; }
    QSize SkinSize() const { return {m_width, m_height}; }
    QRect TextRect() const { return m_textRect; }
    const std::string &Text() const { return m_text; }
    bool IsHovering() const { return m_hovering; }
    QFont CurrentFont() const;
    QColor CurrentColor() const;
    bool IsTimerActive(unsigned timerId) const;
    int TimerInterval(unsigned timerId) const; // ms, as started

    // The lines the text is drawn in, after word-wrapping and the ellipsis.
    std::vector<QString> TextLines() const;
    // A line's size against the text's own: 1, or smaller where that keeps it whole.
    static constexpr std::array<qreal, 3> kLineScales{1.0, 0.9, 0.8};

    // The top-left of the fully shown popup for the current work area.
    QPoint ShownPosition() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct Line {
        QString text;
        qreal scale = 1.0;
    };
    std::vector<Line> LaidOutLines() const;
    QFont LineFont(qreal scale) const;

    QTimer &Timer(unsigned timerId);
    void StartTimer(unsigned timerId, unsigned period);
    void KillTimer(unsigned timerId);
    void PlaceWindow();
    void SetHovering(bool hovering);
    QRect WorkArea() const;

    CMessageTarget *m_owner = nullptr;
    unsigned m_periodDivisor;

    QFont m_normalFont;
    QFont m_hoverFont;
    COLORREF m_normalColour = 0xB59285;
    COLORREF m_hoverColour = 0x6A240A;
    QImage m_skin; // as drawn: key-coloured pixels already transparent
    QRect m_textRect;
    int m_width = 0;
    int m_height = 0;
    std::string m_text;
    bool m_hovering = false;
    bool m_shown = false; // between Popup from hidden and HidePopup

    State m_state = Hidden;
    unsigned m_showTime = 0;
    unsigned m_stayTime = 0;
    unsigned m_hideTime = 0;
    unsigned m_showStep = 0;
    unsigned m_hideStep = 0;
    int m_startX = 0;
    int m_startY = 0;
    int m_x = 0;
    int m_y = 0;
    int m_increment = 2;

    QTimer m_timers[3];
};

} // namespace vocamo
