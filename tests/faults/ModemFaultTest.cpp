// The modem pulled out in every call state and plugged in again, and modems
// that answer nothing, ERROR, or noise.
#include "tests/app/WindowHarness.h"
#include "tests/faults/BrokenModem.h"
#include "tests/faults/FaultKit.h"

#include <QDir>

using namespace vocamo;
using namespace vocamo::test;

namespace {

enum class CallAt { Idle, Ringing, Dialling, Connected };

std::string Name(const testing::TestParamInfo<CallAt> &info)
{
    switch (info.param) {
    case CallAt::Idle:
        return "Idle";
    case CallAt::Ringing:
        return "Ringing";
    case CallAt::Dialling:
        return "Dialling";
    case CallAt::Connected:
        return "Connected";
    }
    return "Unknown";
}

// The window with its modem line opened through a link, as a udev symlink
// would name a port, so that a new simulator can take the port's place.
class LinkedModem {
public:
    explicit LinkedModem(WindowOptions options = {})
    {
        options.modemOptions.linkPath = Link();
        m_modemOptions = options.modemOptions;
        h = std::make_unique<WindowHarness>(options);
        setenv("VOCAMO_MODEMS", Link().c_str(), 1);
        h->window->RecreateCallController();
    }

    std::string Link() const { return m_links.path().toStdString() + "/ttyACM0"; }

    // The port appears again, with a fresh modem behind it.
    bool PlugIn()
    {
        h->modem = std::make_unique<CModemSim>(m_modemOptions);
        if (!h->modem->Start())
            return false;
        h->window->OnDeviceArrival(); // what the udev "add" does
        return true;
    }

    std::unique_ptr<WindowHarness> h;

private:
    QTemporaryDir m_links;
    ModemSimOptions m_modemOptions;
};

class ModemUnplugged : public testing::TestWithParam<CallAt> {};

TEST_P(ModemUnplugged, LineFallsToInitWithoutAHangAndReturnsWhenThePortDoes)
{
    WindowOptions options;
    if (GetParam() == CallAt::Connected)
        options.modemOptions.answerAfter = 50ms;
    LinkedModem linked(options);
    WindowHarness &h = *linked.h;
    ASSERT_TRUE(h.BothReady());

    int32_t expected = NORMAL;
    switch (GetParam()) {
    case CallAt::Idle:
        break;
    case CallAt::Ringing:
        ASSERT_TRUE(h.modem->Control("ring 30 0895550147"));
        expected = RINGING;
        break;
    case CallAt::Dialling:
    case CallAt::Connected:
        h.Key(Qt::Key_Return); // the first number on the display
        expected = GetParam() == CallAt::Dialling ? DIALING : ANSWERING;
        break;
    }
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == expected; }));

    CStallMeter stall;
    h.modem->Control("unplug");
    // The port stays gone, so the line stays closed; Skype's line carries on.
    ASSERT_TRUE(h.Until([&] {
        return h.window->ModemState() == INIT && h.window->WindowState() == NORMAL &&
               !h.window->FirstNameRow();
    }));
    EXPECT_EQ(h.window->ActiveLine(), LINE_SKYPE);
    EXPECT_EQ(h.window->CallOwner(), LINE_NONE);
    EXPECT_TRUE(h.window->PartyNumber().empty());
    EXPECT_FALSE(h.window->IsTimerActive(CVocamoDlg::TIMER_NOTIFIER));
    EXPECT_TRUE(h.Until([&] { return !h.PopupShowing(); }, 3s));
    h.Paint();
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_LT(stall.Longest(), kHangBound);

    ASSERT_TRUE(linked.PlugIn());
    ASSERT_TRUE(
        h.Until([&] { return h.window->ModemState() == NORMAL && h.window->FirstNameRow(); }));
    EXPECT_LT(stall.Longest(), kHangBound);
    // The new port carries calls.
    ASSERT_TRUE(h.modem->Control("ring 3 0305550178"));
    ASSERT_TRUE(h.Until(
        [&] { return h.window->WindowState() == RINGING && !h.window->PartyName().empty(); }));
    EXPECT_EQ(h.window->PartyName(), "Carla");
    EXPECT_EQ(h.window->CallOwner(), LINE_MODEM);
}

INSTANTIATE_TEST_SUITE_P(EveryCallState, ModemUnplugged,
                         testing::Values(CallAt::Idle, CallAt::Ringing, CallAt::Dialling,
                                         CallAt::Connected),
                         Name);

// Pulled out and back twice over before the window has handled any of it.
TEST(ModemUnpluggedTwice, QuickReplugsEndInOneWorkingLine)
{
    LinkedModem linked;
    WindowHarness &h = *linked.h;
    ASSERT_TRUE(h.ModemReady());
    for (int i = 0; i < 2; ++i) {
        h.modem->Control("unplug");
        ASSERT_TRUE(linked.PlugIn());
    }
    ASSERT_TRUE(h.ModemReady());
    h.modem->ClearReceived();
    h.Key(Qt::Key_Return);
    EXPECT_TRUE(h.modem->WaitForCommand("ATD0221550123"));
}

class BrokenModemLine : public testing::TestWithParam<CBrokenModem::Mode> {};

TEST_P(BrokenModemLine, StaysInitAndTheWindowKeepsAnswering)
{
    CBrokenModem broken(GetParam());
    ASSERT_TRUE(broken.Start());
    WindowOptions options;
    options.modem = false;
    WindowHarness h(options);
    ASSERT_TRUE(h.SkypeReady());

    CStallMeter stall;
    setenv("VOCAMO_MODEMS", broken.Path().c_str(), 1);
    h.window->OnDeviceArrival();
    EXPECT_GT(broken.Commands(), 0); // the port was tried, and given up on
    h.Type("0301");
    EXPECT_EQ(h.window->DialString(), "0301"); // typed on the Skype line
    h.Paint();
    EXPECT_EQ(h.window->ModemState(), INIT);
    EXPECT_TRUE(h.Element(kind::kModemButton)->IsHidden());
    EXPECT_EQ(h.window->ActiveLine(), LINE_SKYPE);
    EXPECT_TRUE(h.boxes.empty());
    RecordProperty("longest_stall_ms", static_cast<int>(stall.Longest().count()));
    // One probe wait at most: the line reopened after the reset recalls what
    // the first probe found.
    EXPECT_LT(stall.Longest(), kModemStallBound);
}

INSTANTIATE_TEST_SUITE_P(Modes, BrokenModemLine,
                         testing::Values(CBrokenModem::Mode::Silent, CBrokenModem::Mode::Error,
                                         CBrokenModem::Mode::Noise),
                         [](const testing::TestParamInfo<CBrokenModem::Mode> &info) {
                             switch (info.param) {
                             case CBrokenModem::Mode::Silent:
                                 return std::string("Silent");
                             case CBrokenModem::Mode::Error:
                                 return std::string("Error");
                             case CBrokenModem::Mode::Noise:
                                 return std::string("Noise");
                             }
                             return std::string("Unknown");
                         });

} // namespace
