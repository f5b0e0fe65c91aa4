// The modem pulled out in every call state and plugged in again, and modems
// that answer nothing, ERROR, or noise.
#include "tests/app/WindowHarness.h"
#include "tests/faults/FaultKit.h"
#include "tools/vocamo-modem-sim/PseudoTerminal.h"

#include <cctype>
#include <poll.h>
#include <random>
#include <thread>
#include <unistd.h>

using namespace vocamo;
using namespace vocamo::test;

namespace {

enum class CallAt { Idle, Ringing, Dialling, Connected };
const char *const kCallAt[] = {"Idle", "Ringing", "Dialling", "Connected"};

// A port whose modem is broken: it says nothing, answers ERROR to everything,
// or answers, and keeps sending, noise of any byte but a letter, so that no
// result code can form. A pseudo-terminal, so the real port code meets it.
enum class Broken { Silent, Error, Noise };
const char *const kBroken[] = {"Silent", "Error", "Noise"};

class BrokenModem {
public:
    explicit BrokenModem(Broken mode) : m_mode(mode) {}
    ~BrokenModem()
    {
        m_thread.request_stop();
        if (m_thread.joinable())
            m_thread.join();
        ClosePseudoTerminal(m_pty);
    }
    bool Start()
    {
        if (!OpenPseudoTerminal(m_pty))
            return false;
        m_thread = std::jthread([this](std::stop_token stop) { Run(stop); });
        return true;
    }
    const std::string &Path() const { return m_pty.path; }
    std::atomic<int> commands{0};

private:
    void Run(std::stop_token stop)
    {
        char buffer[256];
        while (!stop.stop_requested()) {
            pollfd p{m_pty.master, POLLIN, 0};
            const ssize_t n = ::poll(&p, 1, 20) > 0 ? ::read(m_pty.master, buffer, 256) : 0;
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] != '\r')
                    continue;
                ++commands;
                if (m_mode == Broken::Error)
                    Write("\r\nERROR\r\n");
            }
            std::string noise; // unasked too, every 20 ms
            while (m_mode == Broken::Noise && noise.size() < 64)
                if (const auto c = static_cast<char>(m_random()); !std::isalpha(c))
                    noise.push_back(c);
            Write(noise);
        }
    }
    void Write(const std::string &bytes) // a full buffer drops the rest
    {
        [[maybe_unused]] const ssize_t n = ::write(m_pty.master, bytes.data(), bytes.size());
    }

    const Broken m_mode;
    PseudoTerminal m_pty;
    std::mt19937 m_random{0x5eed};
    std::jthread m_thread;
};

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
    EXPECT_TRUE(h.Until([&] { return !h.PopupShowing(); }));
    h.Paint();
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_LT(stall.Longest(), kHangBound);

    // Back, out and back again before the window has made anything of it:
    // one working line.
    ASSERT_TRUE(linked.PlugIn());
    h.modem->Control("unplug");
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
                         [](const auto &info) { return kCallAt[static_cast<int>(info.param)]; });

class BrokenModemLine : public testing::TestWithParam<Broken> {};

TEST_P(BrokenModemLine, StaysInitAndTheWindowKeepsAnswering)
{
    BrokenModem broken(GetParam());
    ASSERT_TRUE(broken.Start());
    WindowOptions options;
    options.modem = false;
    WindowHarness h(options);
    ASSERT_TRUE(h.SkypeReady());

    CStallMeter stall;
    setenv("VOCAMO_MODEMS", broken.Path().c_str(), 1);
    h.window->OnDeviceArrival();
    EXPECT_GT(broken.commands, 0); // the port was tried, and given up on
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
                         testing::Values(Broken::Silent, Broken::Error, Broken::Noise),
                         [](const auto &info) { return kBroken[static_cast<int>(info.param)]; });

} // namespace
