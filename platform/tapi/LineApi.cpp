// The line half of the modem provider: registration, device capabilities,
// opening, calls and messages.

#include "platform/tapi/DialString.h"
#include "platform/tapi/ModemProvider.h"
#include "platform/tapi/VarStruct.h"

#include <cerrno>
#include <cstring>

namespace vocamo {

namespace {

const std::string kProviderInfo = "Vocamo V.253 voice modem";

// The fixed part of LINEDEVCAPS as the negotiated version knows it.
DWORD DevCapsFixedSize(DWORD version)
{
    return version >= TAPI_VERSION2_0 ? sizeof(LINEDEVCAPS) : 240;
}

constexpr DWORD kVoiceModes = LINEMEDIAMODE_AUTOMATEDVOICE | LINEMEDIAMODE_INTERACTIVEVOICE;

LONG CheckCallParams(const LINECALLPARAMS *params)
{
    if (!params)
        return 0;
    if (params->dwTotalSize < sizeof(LINECALLPARAMS))
        return LINEERR_STRUCTURETOOSMALL;
    if (params->dwBearerMode != 0 && params->dwBearerMode != LINEBEARERMODE_VOICE &&
        params->dwBearerMode != LINEBEARERMODE_SPEECH)
        return LINEERR_INVALBEARERMODE;
    if (params->dwMediaMode != 0 && (params->dwMediaMode & ~kVoiceModes) != 0)
        return LINEERR_INVALMEDIAMODE;
    if (params->dwAddressMode != 0 && params->dwAddressMode != LINEADDRESSMODE_ADDRESSID)
        return LINEERR_INVALADDRESSMODE;
    if (params->dwAddressID != 0)
        return LINEERR_INVALADDRESSID;
    const uint64_t end =
        uint64_t{params->dwDisplayableAddressOffset} + params->dwDisplayableAddressSize;
    if (params->dwDisplayableAddressSize != 0 &&
        (params->dwDisplayableAddressOffset < sizeof(LINECALLPARAMS) || end > params->dwTotalSize))
        return LINEERR_INVALCALLPARAMS;
    return 0;
}

} // namespace

LONG CModemProvider::lineInitializeExA(HLINEAPP *lphLineApp, HINSTANCE, LINECALLBACK, LPCSTR,
                                       DWORD *lpdwNumDevs, DWORD *lpdwAPIVersion,
                                       LINEINITIALIZEEXPARAMS *params)
{
    if (!lphLineApp || !lpdwNumDevs || !lpdwAPIVersion || !params)
        return LINEERR_INVALPOINTER;
    if (*lpdwAPIVersion < TAPI_VERSION2_0)
        return LINEERR_INCOMPATIBLEAPIVERSION;
    if (!FixedPartFits(params, sizeof(LINEINITIALIZEEXPARAMS), sizeof(LINEINITIALIZEEXPARAMS)))
        return LINEERR_STRUCTURETOOSMALL;
    // Messages reach the application through lineGetMessage only: there is
    // no hidden window and no completion port here.
    if (params->dwOptions == LINEINITIALIZEEXOPTION_USEHIDDENWINDOW ||
        params->dwOptions == LINEINITIALIZEEXOPTION_USECOMPLETIONPORT)
        return LINEERR_OPERATIONUNAVAIL;
    if (params->dwOptions != LINEINITIALIZEEXOPTION_USEEVENT)
        return LINEERR_INVALPARAM;
    params->dwNeededSize = params->dwUsedSize = sizeof(LINEINITIALIZEEXPARAMS);
    params->Handles.hEvent = 0;

    LineApp app;
    app.devices = m_devices();
    app.queue = std::make_shared<CLineMessageQueue>();
    const auto count = static_cast<DWORD>(app.devices.size());
    const HLINEAPP handle = NewHandle();
    {
        std::lock_guard lock(m_mutex);
        m_lineApps[handle] = std::move(app);
    }
    *lphLineApp = handle;
    *lpdwNumDevs = count;
    *lpdwAPIVersion = TAPI_VERSION2_0;
    return 0;
}

LONG CModemProvider::lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID,
                                             DWORD dwAPILowVersion, DWORD dwAPIHighVersion,
                                             DWORD *lpdwAPIVersion, LINEEXTENSIONID *lpExtensionID)
{
    if (const LONG error = FindDevice(m_lineApps, hLineApp, dwDeviceID).error; error != 0)
        return error;
    if (!lpdwAPIVersion || !lpExtensionID)
        return LINEERR_INVALPOINTER;
    if (dwAPILowVersion > dwAPIHighVersion || dwAPIHighVersion < TAPI_VERSION1_4 ||
        dwAPILowVersion > TAPI_VERSION2_0)
        return LINEERR_INCOMPATIBLEAPIVERSION;
    *lpdwAPIVersion = std::min(dwAPIHighVersion, TAPI_VERSION2_0);
    *lpExtensionID = LINEEXTENSIONID{};
    return 0;
}

LONG CModemProvider::lineGetDevCapsA(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPIVersion,
                                     DWORD dwExtVersion, LINEDEVCAPS *caps)
{
    const AppDevice found = FindDevice(m_lineApps, hLineApp, dwDeviceID);
    if (found.error != 0)
        return found.error;
    const std::string &path = found.path;
    if (!caps)
        return LINEERR_INVALPOINTER;
    if (!VersionSupported(dwAPIVersion))
        return LINEERR_INCOMPATIBLEAPIVERSION;
    if (dwExtVersion != 0)
        return LINEERR_INCOMPATIBLEEXTVERSION;
    const DWORD fixed = DevCapsFixedSize(dwAPIVersion);
    const DWORD needed = fixed + static_cast<DWORD>(kProviderInfo.size() + 1 + path.size() + 1);
    if (!FixedPartFits(caps, fixed, needed))
        return LINEERR_STRUCTURETOOSMALL;
    ProbeResult probe;
    if (!Probe(path, probe))
        return LINEERR_NODEVICE;

    std::memset(reinterpret_cast<unsigned char *>(caps) + 12, 0, fixed - 12);
    caps->dwPermanentLineID = dwDeviceID;
    caps->dwStringFormat = STRINGFORMAT_ASCII;
    caps->dwAddressModes = LINEADDRESSMODE_ADDRESSID;
    caps->dwNumAddresses = 1;
    caps->dwBearerModes = LINEBEARERMODE_VOICE;
    if (probe.modem)
        caps->dwMediaModes = LINEMEDIAMODE_DATAMODEM;
    if (probe.voice)
        caps->dwMediaModes |= kVoiceModes;
    caps->dwMaxNumActiveCalls = 1;
    caps->dwAnswerMode = 1; // LINEANSWERMODE_NONE
    caps->dwRingModes = 1;
    caps->dwLineStates = LINEDEVSTATE_RINGING | LINEDEVSTATE_OTHER;
    caps->dwLineFeatures = 0x2; // LINEFEATURE_MAKECALL
    FillVarStruct(caps, fixed,
                  {{&kProviderInfo, &caps->dwProviderInfoSize, &caps->dwProviderInfoOffset},
                   {&path, &caps->dwLineNameSize, &caps->dwLineNameOffset}});
    return 0;
}

LONG CModemProvider::lineOpenA(HLINEAPP hLineApp, DWORD dwDeviceID, HLINE *lphLine,
                               DWORD dwAPIVersion, DWORD dwExtVersion, DWORD_PTR dwCallbackInstance,
                               DWORD dwPrivileges, DWORD dwMediaModes, const LINECALLPARAMS *)
{
    const AppDevice found = FindDevice(m_lineApps, hLineApp, dwDeviceID);
    if (found.error != 0)
        return found.error;
    const std::string &path = found.path;
    if (!lphLine)
        return LINEERR_INVALPOINTER;
    if (!VersionSupported(dwAPIVersion))
        return LINEERR_INCOMPATIBLEAPIVERSION;
    if (dwExtVersion != 0)
        return LINEERR_INCOMPATIBLEEXTVERSION;
    const DWORD privilegeBits = LINECALLPRIVILEGE_MONITOR | LINECALLPRIVILEGE_OWNER;
    if (dwPrivileges != LINECALLPRIVILEGE_NONE &&
        (dwPrivileges == 0 || (dwPrivileges & ~privilegeBits) != 0))
        return LINEERR_INVALPRIVSELECT;
    if ((dwPrivileges & LINECALLPRIVILEGE_OWNER) &&
        (dwMediaModes == 0 || (dwMediaModes & ~(2 * LINEMEDIAMODE_LAST - 2)) != 0))
        return LINEERR_INVALMEDIAMODE;

    ProbeResult probe;
    if (!Probe(path, probe) || !probe.modem)
        return LINEERR_NODEVICE;
    if (!probe.voice || (dwMediaModes & ~(kVoiceModes | LINEMEDIAMODE_UNKNOWN)) != 0)
        return LINEERR_INVALMEDIAMODE;
    {
        std::lock_guard lock(m_mutex);
        for (const auto &[h, entry] : m_lines)
            if (entry.path == path && !entry.line->IsGone())
                return LINEERR_ALLOCATED;
    }
    int error = 0;
    bool opened = false;
    std::shared_ptr<CModemPort> port = SharedPort(path, error, opened);
    if (!port) {
        NoteVerdict(OpenFailure(path, error));
        if (error == EBUSY)
            return LINEERR_ALLOCATED;
        if (error == ENOENT || error == ENODEV || error == ENXIO)
            return LINEERR_NODEVICE;
        return LINEERR_OPERATIONFAILED;
    }
    const HLINE handle = NewHandle();
    auto line = std::make_shared<CModemLine>(
        port, handle, dwDeviceID, dwCallbackInstance, found.queue, [this] { return NewHandle(); },
        m_timeouts);
    if (const LONG result = line->Initialize(); result != 0) {
        line->Close();
        InvalidateProbeCache();
        NoteVerdict(
            {path, ModemVerdict::NoAnswer, false, "", "no answer to the line's set-up", ""});
        return result;
    }
    {
        std::lock_guard lock(m_mutex);
        // The application may have been shut down meanwhile.
        if (m_lineApps.count(hLineApp)) {
            m_lines[handle] = LineEntry{hLineApp, path, line};
            *lphLine = handle;
            return 0;
        }
    }
    line->Close();
    return LINEERR_INVALAPPHANDLE;
}

LONG CModemProvider::lineSetStatusMessages(HLINE hLine, DWORD dwLineStates, DWORD dwAddressStates)
{
    std::shared_ptr<CModemLine> line = LineOf(hLine);
    if (!line || line->IsGone())
        return LINEERR_INVALLINEHANDLE;
    if ((dwLineStates & ~LINEDEVSTATE_ALL) != 0)
        return LINEERR_INVALLINESTATE;
    if ((dwAddressStates & ~LINEADDRESSSTATE_ALL) != 0)
        return LINEERR_INVALADDRESSSTATE;
    line->SetStatusMessages(dwLineStates);
    return 0;
}

LONG CModemProvider::lineMakeCallA(HLINE hLine, HCALL *lphCall, LPCSTR lpszDestAddress,
                                   DWORD dwCountryCode, const LINECALLPARAMS *lpCallParams)
{
    std::shared_ptr<CModemLine> line = LineOf(hLine);
    if (!line || line->IsGone())
        return LINEERR_INVALLINEHANDLE;
    if (!lphCall)
        return LINEERR_INVALPOINTER;
    if (dwCountryCode != 0)
        return LINEERR_INVALCOUNTRYCODE;
    if (const LONG bad = CheckCallParams(lpCallParams); bad != 0)
        return bad;
    // Only dial characters reach the modem: anything else (a ';', a CR,
    // another command) refuses the call before a byte is written.
    if (!lpszDestAddress)
        return LINEERR_INVALADDRESS;
    const std::optional<std::string> digits =
        FilterDialString(std::string_view(lpszDestAddress, ::strnlen(lpszDestAddress, 4096)));
    if (!digits)
        return LINEERR_INVALADDRESS;
    return line->MakeCall(*digits, lphCall, NewRequestId());
}

LONG CModemProvider::lineAnswer(HCALL hCall, LPCSTR lpsUserUserInfo, DWORD dwSize)
{
    std::shared_ptr<CModemLine> line = LineOfCall(hCall);
    if (!line)
        return LINEERR_INVALCALLHANDLE;
    if (lpsUserUserInfo && dwSize > 0)
        return LINEERR_USERUSERINFOTOOBIG;
    return line->Answer(hCall, NewRequestId());
}

LONG CModemProvider::lineDrop(HCALL hCall, LPCSTR lpsUserUserInfo, DWORD dwSize)
{
    std::shared_ptr<CModemLine> line = LineOfCall(hCall);
    if (!line)
        return LINEERR_INVALCALLHANDLE;
    if (lpsUserUserInfo && dwSize > 0)
        return LINEERR_USERUSERINFOTOOBIG;
    return line->Drop(hCall, NewRequestId());
}

LONG CModemProvider::lineGetMessage(HLINEAPP hLineApp, LINEMESSAGE *lpMessage, DWORD dwTimeout)
{
    const AppDevice found = FindDevice(m_lineApps, hLineApp);
    if (found.error != 0)
        return found.error;
    if (!lpMessage)
        return LINEERR_INVALPOINTER;
    switch (found.queue->Wait(*lpMessage, dwTimeout)) {
    case CLineMessageQueue::WaitResult::Message:
        return 0;
    case CLineMessageQueue::WaitResult::TimedOut:
        return LINEERR_OPERATIONFAILED;
    case CLineMessageQueue::WaitResult::Closed:
        break;
    }
    return LINEERR_INVALAPPHANDLE; // lineShutdown ended the wait
}

LONG CModemProvider::lineGetCallInfoA(HCALL hCall, LINECALLINFO *lpCallInfo)
{
    std::shared_ptr<CModemLine> line = LineOfCall(hCall);
    if (!line)
        return LINEERR_INVALCALLHANDLE;
    if (!lpCallInfo)
        return LINEERR_INVALPOINTER;
    return line->GetCallInfo(hCall, lpCallInfo);
}

LONG CModemProvider::lineClose(HLINE hLine)
{
    std::shared_ptr<CModemLine> line;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_lines.find(hLine);
        if (found == m_lines.end())
            return LINEERR_INVALLINEHANDLE;
        line = found->second.line;
        m_lines.erase(found);
    }
    // After LINE_CLOSE the handle is no longer valid, but its resources go now.
    const bool gone = line->IsGone();
    line->Close();
    return gone ? LINEERR_INVALLINEHANDLE : 0;
}

LONG CModemProvider::lineShutdown(HLINEAPP hLineApp)
{
    std::shared_ptr<CLineMessageQueue> queue;
    std::vector<std::shared_ptr<CModemLine>> lines;
    {
        std::lock_guard lock(m_mutex);
        auto app = m_lineApps.find(hLineApp);
        if (app == m_lineApps.end())
            return LINEERR_INVALAPPHANDLE;
        queue = app->second.queue;
        m_lineApps.erase(app);
        for (auto it = m_lines.begin(); it != m_lines.end();) {
            if (it->second.app == hLineApp) {
                lines.push_back(it->second.line);
                it = m_lines.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Wake a waiting lineGetMessage first: its thread may be the one to stop.
    queue->Close();
    CloseLines(std::move(lines));
    return 0;
}

} // namespace vocamo
