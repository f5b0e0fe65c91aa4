// The tray icon's pictures, words and menu, on the offscreen platform.
#include "app/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace vocamo;

TEST(TrayIcon, EachStateHasItsBadgeAndWords)
{
    CTrayIcon icon(true);
    QSystemTrayIcon *tray = icon.findChild<QSystemTrayIcon *>();
    ASSERT_NE(tray, nullptr);
    const auto pixel = [&](int x, int y) {
        return tray->icon().pixmap(48, 48).toImage().pixelColor(x, y);
    };
    const QColor plain = pixel(30, 42);
    using S = CTrayIcon::State;
    const struct {
        S state;
        int missed;
        bool quiet;
        const char *tip;
        QColor badge; // beside the count, where there is one
    } cases[] = {
        {S::Idle, 0, false, "Vocamo", plain},
        {S::Idle, 3, false, "Vocamo - 3 missed calls", QColor(0xd0, 0x20, 0x20)},
        {S::Ringing, 3, false, "Vocamo - ringing", QColor(0xf0, 0x90, 0x10)},
        {S::InCall, 0, true, "Vocamo - in a call (do not disturb)", QColor(0x20, 0xa0, 0x40)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tip);
        icon.SetState(c.state);
        icon.SetMissedCount(c.missed);
        icon.SetDoNotDisturb(c.quiet);
        EXPECT_EQ(tray->toolTip(), QString::fromUtf8(c.tip));
        EXPECT_EQ(pixel(30, 42), c.badge);
    }
}

TEST(TrayIcon, AClickAndTheMenuAskTheWindow)
{
    CTrayIcon icon(true);
    QSystemTrayIcon *tray = icon.findChild<QSystemTrayIcon *>();
    ASSERT_NE(tray, nullptr);
    QSignalSpy toggle(&icon, &CTrayIcon::toggleWindow), show(&icon, &CTrayIcon::showPhone),
        recent(&icon, &CTrayIcon::showRecent), quiet(&icon, &CTrayIcon::doNotDisturbChanged),
        quit(&icon, &CTrayIcon::quit);
    emit tray->activated(QSystemTrayIcon::Trigger);
    emit tray->activated(QSystemTrayIcon::DoubleClick); // comes after a click
    const QList<QAction *> menu = tray->contextMenu()->actions();
    ASSERT_EQ(menu.size(), 5); // Quit stands apart
    for (int i : {0, 1, 2, 4})
        menu[i]->trigger();
    icon.SetDoNotDisturb(false); // the window's own change is not sent back
    EXPECT_EQ(std::vector<qsizetype>(
                  {toggle.size(), show.size(), recent.size(), quiet.size(), quit.size()}),
              std::vector<qsizetype>({1, 1, 1, 1, 1}));
    EXPECT_EQ(quiet[0][0], true);
    EXPECT_FALSE(menu[2]->isChecked());

    CTrayIcon none(false); // no tray: nothing shown, nothing breaks
    none.SetState(CTrayIcon::State::Ringing);
    none.SetDoNotDisturb(true);
    EXPECT_EQ(none.findChild<QSystemTrayIcon *>(), nullptr);
}
