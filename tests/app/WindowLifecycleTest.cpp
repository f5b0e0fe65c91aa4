#include "app/SingleInstance.h"
#include "tests/app/WindowHarness.h"

#include <QDir>

using namespace vocamo;
using namespace vocamo::test;

TEST(WindowLines, SuspendDuringACallDropsItAndResumeOpensTheLineAgain)
{
    WindowOptions options;
    options.modemOptions.answerAfter = 50ms;
    WindowHarness h(options);
    ASSERT_TRUE(h.BothReady());
    h.Key(Qt::Key_Return);
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == ANSWERING; }));
    h.modem->ClearReceived();

    h.window->OnSuspend();
    EXPECT_EQ(h.window->Controller(), nullptr);
    EXPECT_EQ(h.window->Bridge(), nullptr);
    EXPECT_EQ(h.window->FirstNameRow(), nullptr);
    EXPECT_TRUE(h.modem->WaitForCommand("AT+VLS=0"));

    h.window->OnResume();
    ASSERT_TRUE(
        h.Until([&] { return h.window->ModemState() == NORMAL && h.window->FirstNameRow(); }));
    ASSERT_TRUE(h.Until([&] { return h.window->SkypeState() == NORMAL; }));
    h.Paint();
    EXPECT_EQ(h.window->WindowState(), NORMAL);
}

TEST(WindowLines, ADeviceArrivalDuringACallDropsItAndReopensTheLine)
{
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    ASSERT_TRUE(h.modem->Control("ring 5"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    h.modem->ClearReceived();
    h.window->OnDeviceArrival();
    EXPECT_TRUE(h.modem->WaitForCommand("ATZ")); // the line opened anew
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() != RINGING; }));
    h.window->OnDeviceQueryRemove();
    EXPECT_EQ(h.window->Controller(), nullptr);
    h.window->OnDeviceQueryRemoveFailed();
    EXPECT_TRUE(h.Until([&] { return h.window->ModemState() == NORMAL; }));
}

TEST(WindowLines, ASingleInstanceInADeepRuntimeFolderStillWakes)
{
    // A socket path over the 108 bytes of a local address cannot listen.
    QTemporaryDir runtime;
    const QString deep =
        runtime.path() + QStringLiteral("/a-rather-long-folder-name-for-a-runtime-dir/"
                                        "and-one-more-level-below-it");
    ASSERT_TRUE(QDir().mkpath(deep));
    qputenv("XDG_RUNTIME_DIR", deep.toUtf8());
    CSingleInstance first;
    ASSERT_TRUE(first.Acquire());
    int restores = 0;
    first.SetOnRestore([&] { ++restores; });
    CSingleInstance second;
    EXPECT_FALSE(second.Acquire());
    EXPECT_TRUE(second.WakeRunningInstance());
    EXPECT_TRUE(PumpUntil([&] { return restores == 1; }));
}
