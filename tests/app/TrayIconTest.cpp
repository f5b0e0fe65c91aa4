// The tray icon's pictures, words and menu, on the offscreen platform.
#include "app/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace vocamo;

namespace {

// The colour in the middle of the badge.
QColor Badge(const QSystemTrayIcon &tray)
{
    return tray.icon().pixmap(48, 48).toImage().pixelColor(36, 36);
}

} // namespace

TEST(TrayIcon, EachStateHasItsBadgeAndWords)
{
    CTrayIcon icon(true);
    QSystemTrayIcon *tray = icon.findChild<QSystemTrayIcon *>();
    ASSERT_NE(tray, nullptr);
    const QColor plain = Badge(*tray);
    struct Case {
        CTrayIcon::State state;
        int missed;
        bool quiet;
        const char *tip;
        QColor badge;
    };
    const Case cases[] = {
        {CTrayIcon::State::Idle, 0, false, "Vocamo", plain},
        {CTrayIcon::State::Idle, 3, false, "Vocamo - 3 missed calls", QColor(0xd0, 0x20, 0x20)},
        {CTrayIcon::State::Ringing, 3, false, "Vocamo - ringing", QColor(0xf0, 0x90, 0x10)},
        {CTrayIcon::State::InCall, 0, true, "Vocamo - in a call (do not disturb)",
         QColor(0x20, 0xa0, 0x40)},
        {CTrayIcon::State::Idle, 1, true, "Vocamo - 1 missed call (do not disturb)",
         QColor(0xd0, 0x20, 0x20)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.tip);
        icon.SetState(c.state);
        icon.SetMissedCount(c.missed);
        icon.SetDoNotDisturb(c.quiet);
        EXPECT_EQ(tray->toolTip(), QString::fromUtf8(c.tip));
        if (c.missed == 0 || c.state != CTrayIcon::State::Idle)
            EXPECT_EQ(Badge(*tray), c.badge);
        else // the count is written over the middle of the badge
            EXPECT_EQ(tray->icon().pixmap(48, 48).toImage().pixelColor(30, 42), c.badge);
    }
}

TEST(TrayIcon, AClickAndTheMenuAskTheWindow)
{
    CTrayIcon icon(true);
    QSystemTrayIcon *tray = icon.findChild<QSystemTrayIcon *>();
    ASSERT_NE(tray, nullptr);
    QSignalSpy toggle(&icon, &CTrayIcon::toggleWindow);
    QSignalSpy show(&icon, &CTrayIcon::showPhone);
    QSignalSpy recent(&icon, &CTrayIcon::showRecent);
    QSignalSpy quiet(&icon, &CTrayIcon::doNotDisturbChanged);
    QSignalSpy quit(&icon, &CTrayIcon::quit);

    emit tray->activated(QSystemTrayIcon::Trigger);
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(toggle.size(), 1);

    const QList<QAction *> actions = tray->contextMenu()->actions();
    ASSERT_EQ(actions.size(), 5); // with the separator before Quit
    actions[0]->trigger();
    actions[1]->trigger();
    actions[2]->trigger();
    actions[4]->trigger();
    EXPECT_EQ(show.size(), 1);
    EXPECT_EQ(recent.size(), 1);
    ASSERT_EQ(quiet.size(), 1);
    EXPECT_TRUE(quiet[0][0].toBool());
    EXPECT_EQ(quit.size(), 1);

    icon.SetDoNotDisturb(false); // the window's change comes not back to it
    EXPECT_FALSE(actions[2]->isChecked());
    EXPECT_EQ(quiet.size(), 1);
}

TEST(TrayIcon, WithoutATrayNothingIsShown)
{
    CTrayIcon icon(false);
    EXPECT_FALSE(icon.IsShown());
    EXPECT_EQ(icon.findChild<QSystemTrayIcon *>(), nullptr);
    icon.SetState(CTrayIcon::State::Ringing);
    icon.SetMissedCount(2);
    icon.SetDoNotDisturb(true);
}
