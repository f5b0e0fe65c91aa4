#include "skin/TaskbarNotifier.h"

#include "resources/KeyColour.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTextLayout>
#include <algorithm>
#include <climits>

namespace vocamo {

namespace {

constexpr QChar kEllipsis(0x2026);

QColor ToQColor(COLORREF c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// -1 in any part means "no key colour"; the parts are compared as 16-bit
// values, so 0xFFFF counts as -1 too.
bool HasKeyColour(int red, int green, int blue)
{
    return static_cast<std::int16_t>(red) != -1 && static_cast<std::int16_t>(green) != -1 &&
           static_cast<std::int16_t>(blue) != -1;
}

// The last line that fits, ended with an ellipsis to say there is more.
QString WithEllipsis(QString line, const QFontMetrics &fm, int width)
{
    while (!line.isEmpty() &&
           (line.back().isSpace() || fm.horizontalAdvance(line + kEllipsis) > width)) {
        line.chop(line.size() >= 2 && line.back().isLowSurrogate() ? 2 : 1);
    }
    return line + kEllipsis;
}

} // namespace

CTaskbarNotifier::CTaskbarNotifier(unsigned periodDivisor)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      m_periodDivisor(std::max(1u, periodDivisor)), m_normalFont(font()), m_hoverFont(font())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    for (unsigned id = AppearTimer; id <= DisappearTimer; ++id)
        connect(&Timer(id), &QTimer::timeout, this, [this, id] { OnTimer(id); });
}

CTaskbarNotifier::~CTaskbarNotifier() = default;

bool CTaskbarNotifier::Create(CMessageTarget *owner)
{
    m_owner = owner;
    return true;
}

bool CTaskbarNotifier::SetSkinBitmap(unsigned bitmapId, int red, int green, int blue)
{
    return SetSkinBitmap(QImage(QStringLiteral(":/bmp/%1.png").arg(bitmapId)), red, green, blue);
}

bool CTaskbarNotifier::SetSkinBitmap(const QImage &skin, int red, int green, int blue)
{
    if (skin.isNull())
        return false;

    m_skin = skin.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_width = m_skin.width();
    m_height = m_skin.height();
    m_textRect = QRect(0, 0, m_width, m_height);

    if (HasKeyColour(red, green, blue)) {
        const QRgb key = qRgb(red & 0xFF, green & 0xFF, blue & 0xFF) & 0xFFFFFF;
        const QImage rgb = skin.convertToFormat(QImage::Format_RGB32);
        setMask(RegionWithoutKeyColour(rgb, key));
        // Where a compositor honours alpha, the cut pixels are clear as well.
        for (int y = 0; y < m_height; ++y) {
            const auto *src = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            auto *dst = reinterpret_cast<QRgb *>(m_skin.scanLine(y));
            for (int x = 0; x < m_width; ++x) {
                if ((src[x] & 0xFFFFFF) == key)
                    dst[x] = 0;
            }
        }
    } else {
        clearMask(); // a shape from an earlier skin does not fit this one
    }
    update();
    return true;
}

void CTaskbarNotifier::SetTextFonts(const std::string &faceName, int tenthsOfPoint,
                                    unsigned normalStyle, unsigned hoverStyle)
{
    QFont base(QString::fromUtf8(faceName.data(), qsizetype(faceName.size())));
    if (tenthsOfPoint > 0)
        base.setPointSizeF(tenthsOfPoint / 10.0);
    const auto styled = [&base](unsigned style) {
        QFont f(base);
        f.setWeight((style & 1) ? QFont::Bold : QFont::Normal);
        f.setItalic((style & 2) != 0);
        f.setUnderline((style & 4) != 0);
        return f;
    };
    m_normalFont = styled(normalStyle);
    m_hoverFont = styled(hoverStyle);
}

void CTaskbarNotifier::SetTextColors(COLORREF normal, COLORREF hover)
{
    m_normalColour = normal;
    m_hoverColour = hover;
}

void CTaskbarNotifier::SetTextRect(int left, int top, int right, int bottom)
{
    m_textRect = QRect(left, top, right - left, bottom - top);
}

void CTaskbarNotifier::Popup(const std::string &text, unsigned showTime, unsigned stayTime,
                             unsigned hideTime, int /*increment*/)
{
    m_text = text;
    m_showTime = showTime;
    m_stayTime = stayTime;
    m_hideTime = hideTime;
    const QRect work = WorkArea();

    switch (m_state) {
    case Hidden: {
        // A skin lower than one step still slides: one step up, one down.
        const int steps = std::max(1, m_height / m_increment);
        m_showStep = showTime / unsigned(steps);
        m_hideStep = hideTime / unsigned(steps);
        m_startX = m_x = work.x() + work.width() - m_width;
        m_startY = m_y = work.y() + work.height();
        m_shown = true;
        PlaceWindow();
        // The state stays hidden until the first tick, so a second Popup
        // before it starts over with the newer times.
        StartTimer(AppearTimer, m_showStep);
        break;
    }
    case Appearing:
        break;
    case Shown:
        StartTimer(StayTimer, m_stayTime);
        break;
    case Disappearing:
        // Back up at once; the state stays 3 until the stay ends and the
        // slide down starts again.
        KillTimer(DisappearTimer);
        StartTimer(StayTimer, m_stayTime);
        m_y = work.y() + work.height() - m_height;
        PlaceWindow();
        break;
    }
    update();
}

void CTaskbarNotifier::HidePopup()
{
    // Every timer, not only the current state's: a pending first tick or a
    // stay restarted while sliding down would otherwise bring the popup's
    // state back to life with the window hidden.
    for (unsigned id = AppearTimer; id <= DisappearTimer; ++id)
        KillTimer(id);
    m_shown = false;
    m_hovering = false;
    m_state = Hidden;
    hide();
}

void CTaskbarNotifier::OnTimer(unsigned timerId)
{
    switch (timerId) {
    case AppearTimer:
        m_state = Appearing;
        if (m_y > m_startY - m_height) {
            m_y -= m_increment;
        } else {
            // The last step may overshoot by a pixel; rest flush with the
            // bottom of the work area.
            m_y = m_startY - m_height;
            KillTimer(AppearTimer);
            StartTimer(StayTimer, m_stayTime);
            m_state = Shown;
        }
        PlaceWindow();
        break;
    case StayTimer:
        KillTimer(StayTimer);
        StartTimer(DisappearTimer, m_hideStep);
        break;
    case DisappearTimer:
        m_state = Disappearing;
        if (m_y >= m_startY) {
            HidePopup();
            return;
        }
        m_y += m_increment;
        PlaceWindow();
        break;
    default:
        break;
    }
}

QFont CTaskbarNotifier::CurrentFont() const
{
    return m_hovering ? m_hoverFont : m_normalFont;
}

QColor CTaskbarNotifier::CurrentColor() const
{
    return ToQColor(m_hovering ? m_hoverColour : m_normalColour);
}

bool CTaskbarNotifier::IsTimerActive(unsigned timerId) const
{
    return timerId >= AppearTimer && timerId <= DisappearTimer && m_timers[timerId - 1].isActive();
}

int CTaskbarNotifier::TimerInterval(unsigned timerId) const
{
    if (timerId < AppearTimer || timerId > DisappearTimer)
        return -1;
    return m_timers[timerId - 1].interval();
}

std::vector<QString> CTaskbarNotifier::TextLines() const
{
    std::vector<QString> lines;
    for (const Line &line : LaidOutLines())
        lines.push_back(line.text);
    return lines;
}

// A line a little too wide for the box ("Connected 00:42", "Not a valid
// number") is drawn a size or two smaller on one line rather than broken in
// two and cut; what would need more than that is wrapped as before.
QFont CTaskbarNotifier::LineFont(qreal scale) const
{
    QFont font = CurrentFont();
    if (scale != 1.0 && font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

std::vector<CTaskbarNotifier::Line> CTaskbarNotifier::LaidOutLines() const
{
    std::vector<Line> lines;
    const int width = m_textRect.width();
    if (width <= 0 || m_textRect.height() <= 0 || m_text.empty())
        return lines;

    QString text = QString::fromUtf8(m_text.data(), qsizetype(m_text.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The refresh text ends in a line break; an empty last line would push
    // the centred text up and cost the name its room.
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);

    const QFont font = CurrentFont();
    const QFontMetrics fm(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            lines.push_back({});
            continue;
        }
        const auto fits = [&](qreal scale) {
            return QFontMetrics(LineFont(scale)).horizontalAdvance(paragraph) <= width;
        };
        if (const auto scale = std::find_if(kLineScales.begin(), kLineScales.end(), fits);
            scale != kLineScales.end()) {
            lines.push_back({paragraph, *scale});
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (!part.isEmpty() && part.back().isSpace())
                part.chop(1);
            // A single word wider than the rectangle: cut, and say so.
            if (fm.horizontalAdvance(part) > width)
                part = fm.elidedText(part, Qt::ElideRight, width);
            lines.push_back({part, 1.0});
        }
        layout.endLayout();
    }

    const size_t fit = size_t(std::max(1, m_textRect.height() / fm.height()));
    if (lines.size() > fit) {
        lines.resize(fit);
        lines.back() = {
            WithEllipsis(lines.back().text, QFontMetrics(LineFont(lines.back().scale)), width),
            lines.back().scale};
    }
    return lines;
}

QPoint CTaskbarNotifier::ShownPosition() const
{
    const QRect work = WorkArea();
    return {work.x() + work.width() - m_width, work.y() + work.height() - m_height};
}

void CTaskbarNotifier::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, m_skin);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    const std::vector<Line> lines = LaidOutLines();
    if (lines.empty())
        return;
    const int lineHeight = QFontMetrics(CurrentFont()).height();
    int top = m_textRect.top() + (m_textRect.height() - int(lines.size()) * lineHeight) / 2;
    p.setClipRect(m_textRect);
    p.setPen(CurrentColor());
    for (const Line &line : lines) {
        p.setFont(LineFont(line.scale));
        p.drawText(QRect(m_textRect.left(), top, m_textRect.width(), lineHeight),
                   Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, line.text);
        top += lineHeight;
    }
}

void CTaskbarNotifier::enterEvent(QEnterEvent *)
{
    SetHovering(true);
}

void CTaskbarNotifier::leaveEvent(QEvent *)
{
    SetHovering(false);
}

void CTaskbarNotifier::mouseMoveEvent(QMouseEvent *)
{
    SetHovering(true);
}

void CTaskbarNotifier::mouseReleaseEvent(QMouseEvent *event)
{
    // A click tells the owner; the popup goes on as it was.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        m_owner)
        m_owner->Post(WM_NOTIFIER_CLICKED, 0, 0);
}

QTimer &CTaskbarNotifier::Timer(unsigned timerId)
{
    return m_timers[timerId - 1];
}

void CTaskbarNotifier::StartTimer(unsigned timerId, unsigned period)
{
    // A zero period would keep the timer spinning.
    const unsigned scaled = std::max(1u, period / m_periodDivisor);
    Timer(timerId).start(int(std::min<unsigned>(scaled, INT_MAX)));
}

void CTaskbarNotifier::KillTimer(unsigned timerId)
{
    Timer(timerId).stop();
}

// The window covers only the part of the popup above the bottom of the work
// area: the popup stays on top of everything, so without this it would slide
// over the taskbar instead of rising from behind its edge.
void CTaskbarNotifier::PlaceWindow()
{
    const int visible = std::clamp(m_startY - m_y, 0, m_height);
    if (!m_shown || visible == 0 || m_width == 0) {
        hide();
        return;
    }
    setGeometry(m_x, m_y, m_width, visible);
    if (!isVisible())
        show();
}

void CTaskbarNotifier::SetHovering(bool hovering)
{
    if (m_hovering == hovering)
        return;
    m_hovering = hovering;
    update();
}

QRect CTaskbarNotifier::WorkArea() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace vocamo
