// What the phone's display says when there is no modem line, and dialling
// asked for from outside the window.
#include "tests/app/WindowHarness.h"

using namespace vocamo;
using namespace vocamo::test;

TEST(WindowRequests, TheDisplaySaysWhyThereIsNoModemLine)
{
    ModemSimOptions dataOnly = WindowOptions::FastModem();
    dataOnly.voice = false;
    for (const auto &[modem, words] :
         {std::pair{std::optional<ModemSimOptions>{}, std::string("ttyACM9: missing")},
          std::pair{std::optional(dataOnly), std::string(": data only")}}) {
        WindowOptions options;
        options.modem = modem.has_value();
        if (modem)
            options.modemOptions = *modem;
        WindowHarness h(options);
        ASSERT_TRUE(h.SkypeReady());
        const std::string port = h.modem ? h.modem->SlavePath().substr(5) : "";
        EXPECT_EQ(h.window->DisplayText(), port + words);
        h.Type("42");
        EXPECT_EQ(h.window->DisplayText(), "42");
    }
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    EXPECT_EQ(h.window->DisplayText(), h.window->DialString());
}

TEST(WindowRequests, ADialRequestCallsOnItsLine)
{
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    h.window->DialRequest(LINE_MODEM, "0171555");
    EXPECT_TRUE(h.modem->WaitForCommand("ATD0171555"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == DIALING; }));
    // Never on top of a call.
    h.window->DialRequest(LINE_SKYPE, "anna.b");
    h.HangUpAndWait();
    const qsizetype mark = h.SimMark();
    h.window->DialRequest(LINE_SKYPE, "anna.b");
    EXPECT_TRUE(h.SimSaw(QStringLiteral("CALL anna.b"), mark));
    EXPECT_EQ(h.skype.SimLog().count(QStringLiteral("CALL anna.b")), 1);
}
