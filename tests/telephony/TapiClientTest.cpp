#include "telephony/TapiClient.h"

#include "tests/support/RecordingMessageTarget.h"
#include "tests/support/SimModem.h"

#include <deque>
#include <mutex>

namespace vocamo {
namespace {

using namespace std::chrono_literals;
using test::CountOf;
using test::StartSim;

// The event codes posted for the controller, in order, once `count` were.
std::vector<LPARAM> CodesAfter(const CRecordingMessageTarget &target, size_t count)
{
    target.WaitUntil([&](const auto &all) { return all.size() >= count; }, 10s);
    std::vector<LPARAM> codes;
    for (const PostedMessage &m : target.Messages()) {
        EXPECT_EQ(m.message, WM_APP_EVENT);
        EXPECT_EQ(m.wParam, RECEIVER_CONTROLLER);
        codes.push_back(m.lParam);
    }
    return codes;
}

// Modems on pseudo-terminals and a client over them, with the real wait for
// line messages, without a time-out: only CloseLine can end it.
struct Fixture {
    explicit Fixture(std::vector<bool> voice = {true})
    {
        std::vector<std::string> devices;
        for (const bool v : voice) {
            ModemSimOptions o;
            o.voice = v;
            sims.push_back(StartSim(o));
            devices.push_back(sims.back()->SlavePath());
        }
        tapi = test::ProviderFor(devices, {1000ms, 5000ms, 60s}); // callers never give up
        CTapiClient::Settings settings;
        settings.tapi = tapi.get();
        client = std::make_unique<CTapiClient>(target, settings);
    }

    std::vector<std::unique_ptr<CModemSim>> sims;
    std::unique_ptr<CModemProvider> tapi;
    CRecordingMessageTarget target;
    std::unique_ptr<CTapiClient> client;
};

TEST(TapiClient, TheFirstVoiceModemIsTheLineAndDataModemsAreSkipped)
{
    Fixture f({false, true, true});
    EXPECT_EQ(f.client->OpenLine(), 0);
    EXPECT_EQ(CountOf(f.sims[0]->Received(), "AT+FCLASS=8"), 0u);
    EXPECT_EQ(CountOf(f.sims[1]->Received(), "AT+VCID=1"), 1u);
    EXPECT_EQ(CountOf(f.sims[2]->Received(), "AT+VCID=1"), 0u);
}

TEST(TapiClient, IncomingCallFromRingToHangUpInOrder)
{
    Fixture f;
    CModemSim &sim = *f.sims.front();
    ASSERT_EQ(f.client->OpenLine(), 0);
    sim.Control("ring 3 5551234");
    ASSERT_TRUE(f.target.WaitUntil([](const auto &all) { return all.size() >= 4; }));
    EXPECT_EQ(f.client->GetCallerId(), "5551234");
    EXPECT_EQ(f.client->AnswerCall(), 0);
    ASSERT_TRUE(f.target.WaitFor({WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_CONNECTED}));
    EXPECT_EQ(f.client->OpenPhone(), 0);
    EXPECT_EQ(f.client->OpenPhone(), 0); // already open: nothing sent again
    EXPECT_EQ(CountOf(sim.Received(), "AT+VLS=7"), 1u);
    sim.Control("hangup");
    EXPECT_EQ(CodesAfter(f.target, 7),
              (std::vector<LPARAM>{EVT_LINEDEVSTATE, EVT_OFFERING, EVT_CALLERID, EVT_LINEDEVSTATE,
                                   EVT_CONNECTED, EVT_IDLE, EVT_IDLE}));
    EXPECT_EQ(f.client->GetCallerId(), ""); // emptied with the disconnection
    EXPECT_TRUE(f.client->HasCall());       // the handle stays until CloseLine
}

// The modem provider, with messages it never sends slipped in first.
class CScriptedProvider : public CModemProvider {
public:
    using CModemProvider::CModemProvider;

    void Inject(const LINEMESSAGE &m)
    {
        std::lock_guard lock(m_mutex);
        m_script.push_back(m);
    }

    LONG lineGetMessage(HLINEAPP app, LINEMESSAGE *message, DWORD timeout) override
    {
        {
            std::lock_guard lock(m_mutex);
            if (!m_script.empty()) {
                *message = m_script.front();
                m_script.pop_front();
                return 0;
            }
        }
        return CModemProvider::lineGetMessage(app, message, std::min<DWORD>(timeout, 5));
    }

private:
    std::mutex m_mutex;
    std::deque<LINEMESSAGE> m_script;
};

TEST(TapiEventThread, OnlyOurCallsStatesBecomeEventsAndTheLatestOfferIsTheCall)
{
    auto sim = StartSim();
    CScriptedProvider tapi([path = sim->SlavePath()] { return std::vector<std::string>{path}; },
                           test::FastTimeouts());
    CRecordingMessageTarget target;
    CTapiClient::Settings settings;
    settings.tapi = &tapi;
    CTapiClient client(target, settings);
    ASSERT_EQ(client.OpenLine(), 0);
    const DWORD flagsTogether = LINECALLINFOSTATE_CALLERID | LINECALLINFOSTATE_OTHER;
    for (const LINEMESSAGE &m : std::vector<LINEMESSAGE>{
             {0, LINE_CALLINFO, 1, flagsTogether, 0, 0},              // ignored
             {701, LINE_CALLSTATE, 1, LINECALLSTATE_OFFERING, 0, 0},  // 30
             {702, LINE_CALLSTATE, 1, LINECALLSTATE_OFFERING, 0, 0},  // 30
             {702, LINE_CALLSTATE, 1, LINECALLSTATE_BUSY, 0, 0},      // nothing
             {702, LINE_CALLSTATE, 2, LINECALLSTATE_CONNECTED, 0, 0}, // not ours
             {702, LINE_CALLSTATE, 1, LINECALLSTATE_CONNECTED | LINECALLSTATE_BUSY, 0, 0}, // 416
             {0, LINE_REPLY, 1, 5, 0, 0}, // nothing
             {0, LINE_CLOSE, 1, 0, 0, 0}, // 29
         })
        tapi.Inject(m);
    EXPECT_EQ(CodesAfter(target, 4),
              (std::vector<LPARAM>{EVT_OFFERING, EVT_OFFERING, EVT_CALLSTATE_DEFAULT, EVT_IDLE}));
    // The second offer replaced the first: answering goes to call 702, which
    // the line does not know.
    EXPECT_EQ(client.AnswerCall(), LINEERR_INVALCALLHANDLE);
}

} // namespace
} // namespace vocamo
