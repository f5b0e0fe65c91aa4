#include "telephony/TapiClient.h"

#include "platform/tapi/ModemProvider.h"
#include "telephony/TapiEventThread.h"

#include <cstring>
#include <vector>

namespace vocamo {

namespace {

constexpr DWORD kDevCapsSize = 1276;
constexpr DWORD kPhoneCapsSize = 1204;
constexpr DWORD kCallParamsSize = 1200;
constexpr DWORD kCallParamsFixedSize = 176;
constexpr size_t kMaxNumberBytes = kCallParamsSize - kCallParamsFixedSize - 1;

// A zero-filled TAPI buffer of `size` bytes with dwTotalSize set, aligned for
// the structure laid over it.
template <typename T> std::vector<DWORD> TapiBuffer(DWORD size)
{
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    buffer[0] = size;
    return buffer;
}

} // namespace

CTapiClient::CTapiClient(CMessageTarget *target, Settings settings)
    : m_ownTapi(settings.tapi ? nullptr
                              : std::make_unique<CModemProvider>(CModemProvider::DefaultDevices,
                                                                 settings.modemTimeouts,
                                                                 settings.probeCache)),
      m_tapi(settings.tapi ? *settings.tapi : *m_ownTapi), m_target(target),
      m_messageWait(settings.messageWait)
{
}

CTapiClient::CTapiClient(CMessageTarget &target, Settings settings)
    : CTapiClient(&target, std::move(settings))
{
}

CTapiClient::~CTapiClient()
{
    ClosePhone();
    CloseLine();
}

LONG CTapiClient::OpenLine()
{
    HLINEAPP lineApp = 0;
    DWORD deviceCount = 0;
    DWORD apiVersion = TAPI_VERSION2_0;
    LINEINITIALIZEEXPARAMS params{};
    params.dwTotalSize = sizeof params;
    params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;
    const LONG init = m_tapi.lineInitializeExA(&lineApp, nullptr, nullptr, "Vocamo", &deviceCount,
                                               &apiVersion, &params);
    if (init != 0)
        return init;
    m_lineApp = lineApp;

    m_lineDevice = -1;
    const DWORD version = apiVersion;
    for (DWORD d = 0; d < deviceCount; ++d) {
        DWORD negotiated = 0;
        LINEEXTENSIONID extension{};
        if (m_tapi.lineNegotiateAPIVersion(lineApp, d, version, version, &negotiated, &extension) !=
            0)
            continue;
        std::vector<DWORD> buffer = TapiBuffer<LINEDEVCAPS>(kDevCapsSize);
        auto *caps = reinterpret_cast<LINEDEVCAPS *>(buffer.data());
        if (m_tapi.lineGetDevCapsA(lineApp, d, negotiated, 0, caps) != 0)
            continue;
        if (caps->dwMediaModes & LINEMEDIAMODE_AUTOMATEDVOICE) {
            m_lineDevice = static_cast<int32_t>(d);
            break;
        }
    }
    // The registration stays until CloseLine.
    if (m_lineDevice < 0)
        return LINEERR_BADDEVICEID;

    HLINE line = 0;
    const LONG open = m_tapi.lineOpenA(lineApp, static_cast<DWORD>(m_lineDevice), &line, version, 0,
                                       1, LINECALLPRIVILEGE_MONITOR | LINECALLPRIVILEGE_OWNER,
                                       LINEMEDIAMODE_AUTOMATEDVOICE, nullptr);
    if (open != 0) {
        m_tapi.lineShutdown(lineApp);
        m_lineApp = 0;
        return open;
    }
    m_line = line;
    const LONG status = m_tapi.lineSetStatusMessages(m_line, LINEDEVSTATE_ALL, 0);
    if (status != 0) {
        m_tapi.lineShutdown(lineApp);
        m_line = 0;
        m_lineApp = 0;
        return status;
    }
    m_stop = false;
    m_eventThread = std::thread(TapiEventThread, this);
    return 0;
}

LONG CTapiClient::MakeCall(const std::string &number)
{
    // What TAPI sees is the NUL-terminated text; it must fit behind the
    // block's fixed part, or it would run past the block.
    const size_t length = ::strnlen(number.c_str(), number.size());
    if (length > kMaxNumberBytes)
        return LINEERR_INVALADDRESS;
    std::vector<DWORD> block = TapiBuffer<LINECALLPARAMS>(kCallParamsSize);
    auto *params = reinterpret_cast<LINECALLPARAMS *>(block.data());
    params->dwBearerMode = LINEBEARERMODE_VOICE;
    params->dwMediaMode = LINEMEDIAMODE_AUTOMATEDVOICE;
    params->dwCallParamFlags = LINECALLPARAMFLAGS_IDLE;
    params->dwAddressMode = LINEADDRESSMODE_ADDRESSID;
    params->dwAddressID = 0;
    params->dwDisplayableAddressSize = static_cast<DWORD>(length);
    params->dwDisplayableAddressOffset = kCallParamsFixedSize;
    std::memcpy(reinterpret_cast<char *>(block.data()) + kCallParamsFixedSize, number.c_str(),
                length + 1);

    HCALL call = 0;
    const LONG result = m_tapi.lineMakeCallA(m_line, &call, number.c_str(), 0, params);
    if (result < 0)
        return result;
    m_call = call;
    return 0;
}

LONG CTapiClient::AnswerCall()
{
    const LONG result = m_tapi.lineAnswer(m_call.load(), nullptr, 0);
    return result < 0 ? result : 0;
}

bool CTapiClient::HasCall() const
{
    return m_call.load() != 0;
}

std::string CTapiClient::GetCallerId() const
{
    std::lock_guard lock(m_callerIdMutex);
    return m_callerId;
}

void CTapiClient::SetCallerId(std::string callerId)
{
    std::lock_guard lock(m_callerIdMutex);
    m_callerId = std::move(callerId);
}

bool CTapiClient::CallerIdEmpty() const
{
    std::lock_guard lock(m_callerIdMutex);
    return m_callerId.empty();
}

LONG CTapiClient::CloseLine()
{
    // From here on the thread acts on nothing it receives; lineShutdown
    // below ends its wait, and it is gone before CloseLine returns.
    const bool running = m_eventThread.joinable();
    if (running)
        m_stop = true;
    if (const HCALL call = m_call.exchange(0); call != 0)
        m_tapi.lineDrop(call, nullptr, 0);
    if (m_line != 0) {
        m_tapi.lineClose(m_line);
        m_line = 0;
    }
    if (const HLINEAPP lineApp = m_lineApp.exchange(0); lineApp != 0)
        m_tapi.lineShutdown(lineApp);
    if (running)
        m_eventThread.join();
    m_lineDevice = -1;
    SetCallerId({});
    return 0;
}

LONG CTapiClient::OpenPhone()
{
    // Asked again within one call (the controller's own EVT_CONNECTED, then
    // the line's): the speakerphone is on already.
    if (m_phone != 0)
        return 0;
    // A registration left from an earlier attempt that found no device goes
    // first, so it is not lost.
    if (m_phoneApp != 0) {
        m_tapi.phoneShutdown(m_phoneApp);
        m_phoneApp = 0;
    }
    HPHONEAPP phoneApp = 0;
    DWORD deviceCount = 0;
    DWORD apiVersion = TAPI_VERSION2_0;
    PHONEINITIALIZEEXPARAMS params{};
    params.dwTotalSize = sizeof params;
    params.dwOptions = PHONEINITIALIZEEXOPTION_USEEVENT;
    const LONG init = m_tapi.phoneInitializeExA(&phoneApp, nullptr, nullptr, "Vocamo", &deviceCount,
                                                &apiVersion, &params);
    if (init != 0)
        return init;
    m_phoneApp = phoneApp;

    m_phoneDevice = -1;
    const DWORD version = apiVersion;
    for (DWORD d = 0; d < deviceCount; ++d) {
        DWORD negotiated = 0;
        PHONEEXTENSIONID extension{};
        if (m_tapi.phoneNegotiateAPIVersion(phoneApp, d, version, version, &negotiated,
                                            &extension) != 0)
            continue;
        std::vector<DWORD> buffer = TapiBuffer<PHONECAPS>(kPhoneCapsSize);
        auto *caps = reinterpret_cast<PHONECAPS *>(buffer.data());
        if (m_tapi.phoneGetDevCapsA(phoneApp, d, negotiated, 0, caps) == 0) {
            m_phoneDevice = static_cast<int32_t>(d);
            break;
        }
    }
    if (m_phoneDevice < 0)
        return PHONEERR_BADDEVICEID;

    HPHONE phone = 0;
    const LONG open = m_tapi.phoneOpen(phoneApp, static_cast<DWORD>(m_phoneDevice), &phone, version,
                                       0, 1, PHONEPRIVILEGE_OWNER);
    if (open != 0) {
        m_tapi.phoneShutdown(phoneApp);
        m_phone = 0;
        m_phoneApp = 0;
        return open;
    }
    m_phone = phone;
    const LONG status = m_tapi.phoneSetStatusMessages(m_phone, PHONESTATE_ALL, 0, 0);
    if (status != 0) {
        m_tapi.phoneShutdown(phoneApp);
        m_phone = 0;
        m_phoneApp = 0;
        return status;
    }
    // A hookswitch that will not switch closes the phone again, quietly:
    // the call goes on without the speakerphone.
    if (m_tapi.phoneSetHookSwitch(m_phone, PHONEHOOKSWITCHDEV_SPEAKER,
                                  PHONEHOOKSWITCHMODE_MICSPEAKER) < 0) {
        m_tapi.phoneShutdown(phoneApp);
        m_phone = 0;
        m_phoneApp = 0;
    }
    return 0;
}

void CTapiClient::ClosePhone()
{
    if (m_phone != 0)
        m_tapi.phoneClose(m_phone);
    m_phone = 0;
    if (m_phoneApp != 0)
        m_tapi.phoneShutdown(m_phoneApp);
    m_phoneApp = 0;
    m_phoneDevice = -1;
}

} // namespace vocamo
