#include "app/TrayIcon.h"

#include "resources/Resources.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QSystemTrayIcon>

namespace vocamo {

namespace {

constexpr int kSize = 48;

// The program's icon with a dot in the lower right corner, and a number in
// it for missed calls.
QIcon Badged(const QIcon &base, const QColor &colour, const QString &text)
{
    QPixmap pixmap = base.pixmap(kSize, kSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF dot(kSize * 0.45, kSize * 0.45, kSize * 0.55, kSize * 0.55);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(colour);
    painter.drawEllipse(dot.adjusted(1, 1, -1, -1));
    if (!text.isEmpty()) {
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        font.setPixelSize(text.size() > 1 ? 12 : 16);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(dot, Qt::AlignCenter, text);
    }
    painter.end();
    return QIcon(pixmap);
}

} // namespace

CTrayIcon::CTrayIcon(QObject *parent) : CTrayIcon(QSystemTrayIcon::isSystemTrayAvailable(), parent)
{
}

CTrayIcon::CTrayIcon(bool available, QObject *parent) : QObject(parent)
{
    if (!available)
        return;
    m_base = QIcon(IconResourcePath());
    m_tray = new QSystemTrayIcon(this);
    // Owned here: a context menu is not a child of the tray icon.
    m_menu = new QMenu;
    connect(m_menu->addAction(tr("Show phone")), &QAction::triggered, this, &CTrayIcon::showPhone);
    connect(m_menu->addAction(tr("Recent calls")), &QAction::triggered, this,
            &CTrayIcon::showRecent);
    m_doNotDisturb = m_menu->addAction(tr("Do not disturb"));
    m_doNotDisturb->setCheckable(true);
    connect(m_doNotDisturb, &QAction::toggled, this, &CTrayIcon::doNotDisturbChanged);
    connect(m_doNotDisturb, &QAction::toggled, this, &CTrayIcon::Update);
    m_menu->addSeparator();
    connect(m_menu->addAction(tr("Quit")), &QAction::triggered, this, &CTrayIcon::quit);
    m_tray->setContextMenu(m_menu);
    // A single click only: a double click also brings a click first.
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger)
            emit toggleWindow();
    });
    Update();
    m_tray->show();
}

CTrayIcon::~CTrayIcon()
{
    delete m_menu;
}

void CTrayIcon::SetState(State state)
{
    m_state = state;
    Update();
}

void CTrayIcon::SetMissedCount(int count)
{
    m_missed = count < 0 ? 0 : count;
    Update();
}

void CTrayIcon::SetDoNotDisturb(bool on)
{
    if (!m_tray)
        return;
    // The window's own change, not the user's: no signal back.
    const QSignalBlocker blocker(m_doNotDisturb);
    m_doNotDisturb->setChecked(on);
    Update();
}

void CTrayIcon::Update()
{
    if (!m_tray)
        return;
    QString tip;
    // A call in hand says more than calls missed earlier.
    if (m_state == State::Ringing) {
        m_tray->setIcon(Badged(m_base, QColor(0xf0, 0x90, 0x10), QString()));
        tip = tr("Vocamo - ringing");
    } else if (m_state == State::InCall) {
        m_tray->setIcon(Badged(m_base, QColor(0x20, 0xa0, 0x40), QString()));
        tip = tr("Vocamo - in a call");
    } else if (m_missed > 0) {
        const QString count = m_missed > 9 ? QStringLiteral("9+") : QString::number(m_missed);
        m_tray->setIcon(Badged(m_base, QColor(0xd0, 0x20, 0x20), count));
        tip = m_missed == 1 ? tr("Vocamo - 1 missed call")
                            : tr("Vocamo - %1 missed calls").arg(m_missed);
    } else {
        m_tray->setIcon(m_base);
        tip = tr("Vocamo");
    }
    if (m_doNotDisturb->isChecked())
        tip += tr(" (do not disturb)");
    m_tray->setToolTip(tip);
}

} // namespace vocamo
