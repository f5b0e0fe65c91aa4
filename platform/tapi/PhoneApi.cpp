// The phone half of the modem provider: a voice modem's speakerphone as a
// phone device whose speaker hookswitch puts microphone and speaker on the line.

#include "platform/tapi/ModemProvider.h"
#include "platform/tapi/VarStruct.h"

#include <cstring>

namespace vocamo {

namespace {

const std::string kPhoneProviderInfo = "Vocamo V.253 voice modem speakerphone";

DWORD PhoneCapsFixedSize(DWORD version)
{
    return version >= TAPI_VERSION2_0 ? sizeof(PHONECAPS) : 144;
}

bool SingleBit(DWORD value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

} // namespace

LONG CModemProvider::phoneInitializeExA(HPHONEAPP *lphPhoneApp, HINSTANCE, PHONECALLBACK, LPCSTR,
                                        DWORD *lpdwNumDevs, DWORD *lpdwAPIVersion,
                                        PHONEINITIALIZEEXPARAMS *params)
{
    if (!lphPhoneApp || !lpdwNumDevs || !lpdwAPIVersion || !params)
        return PHONEERR_INVALPOINTER;
    if (*lpdwAPIVersion < TAPI_VERSION2_0)
        return PHONEERR_INCOMPATIBLEAPIVERSION;
    if (!FixedPartFits(params, sizeof(PHONEINITIALIZEEXPARAMS), sizeof(PHONEINITIALIZEEXPARAMS)))
        return PHONEERR_STRUCTURETOOSMALL;
    if (params->dwOptions == PHONEINITIALIZEEXOPTION_USEHIDDENWINDOW ||
        params->dwOptions == PHONEINITIALIZEEXOPTION_USECOMPLETIONPORT)
        return PHONEERR_OPERATIONUNAVAIL;
    if (params->dwOptions != PHONEINITIALIZEEXOPTION_USEEVENT)
        return PHONEERR_INVALPARAM;
    params->dwNeededSize = params->dwUsedSize = sizeof(PHONEINITIALIZEEXPARAMS);
    params->Handles.hEvent = 0;

    PhoneApp app;
    for (const std::string &path : m_devices()) {
        ProbeResult probe;
        if (Probe(path, probe) && probe.voice && probe.speakerphone)
            app.devices.push_back(path);
    }
    const auto count = static_cast<DWORD>(app.devices.size());
    const HPHONEAPP handle = NewHandle();
    {
        std::lock_guard lock(m_mutex);
        m_phoneApps[handle] = std::move(app);
    }
    *lphPhoneApp = handle;
    *lpdwNumDevs = count;
    *lpdwAPIVersion = TAPI_VERSION2_0;
    return 0;
}

LONG CModemProvider::phoneNegotiateAPIVersion(HPHONEAPP hPhoneApp, DWORD dwDeviceID,
                                              DWORD dwAPILowVersion, DWORD dwAPIHighVersion,
                                              DWORD *lpdwAPIVersion,
                                              PHONEEXTENSIONID *lpExtensionID)
{
    if (const LONG error = FindDevice(m_phoneApps, hPhoneApp, dwDeviceID).error; error != 0)
        return error;
    if (!lpdwAPIVersion || !lpExtensionID)
        return PHONEERR_INVALPOINTER;
    if (dwAPILowVersion > dwAPIHighVersion || dwAPIHighVersion < TAPI_VERSION1_4 ||
        dwAPILowVersion > TAPI_VERSION2_0)
        return PHONEERR_INCOMPATIBLEAPIVERSION;
    *lpdwAPIVersion = std::min(dwAPIHighVersion, TAPI_VERSION2_0);
    *lpExtensionID = PHONEEXTENSIONID{};
    return 0;
}

LONG CModemProvider::phoneGetDevCapsA(HPHONEAPP hPhoneApp, DWORD dwDeviceID, DWORD dwAPIVersion,
                                      DWORD dwExtVersion, PHONECAPS *caps)
{
    const AppDevice found = FindDevice(m_phoneApps, hPhoneApp, dwDeviceID);
    if (found.error != 0)
        return found.error;
    const std::string &path = found.path;
    if (!caps)
        return PHONEERR_INVALPOINTER;
    if (!VersionSupported(dwAPIVersion))
        return PHONEERR_INCOMPATIBLEAPIVERSION;
    if (dwExtVersion != 0)
        return PHONEERR_INCOMPATIBLEEXTVERSION;
    const DWORD fixed = PhoneCapsFixedSize(dwAPIVersion);
    const DWORD needed =
        fixed + static_cast<DWORD>(kPhoneProviderInfo.size() + 1 + path.size() + 1);
    if (!FixedPartFits(caps, fixed, needed))
        return PHONEERR_STRUCTURETOOSMALL;
    std::memset(reinterpret_cast<unsigned char *>(caps) + 12, 0, fixed - 12);
    caps->dwPermanentPhoneID = dwDeviceID;
    caps->dwStringFormat = STRINGFORMAT_ASCII;
    caps->dwPhoneStates = PHONESTATE_SPEAKERHOOKSWITCH;
    caps->dwHookSwitchDevs = PHONEHOOKSWITCHDEV_SPEAKER;
    caps->dwSpeakerHookSwitchModes = PHONEHOOKSWITCHMODE_ONHOOK | PHONEHOOKSWITCHMODE_MICSPEAKER;
    if (fixed >= sizeof(PHONECAPS)) {
        caps->dwPhoneFeatures = 0x00200000; // PHONEFEATURE_SETHOOKSWITCHSPEAKER
        caps->dwSettableSpeakerHookSwitchModes = PHONEHOOKSWITCHMODE_MICSPEAKER;
    }
    FillVarStruct(caps, fixed,
                  {{&kPhoneProviderInfo, &caps->dwProviderInfoSize, &caps->dwProviderInfoOffset},
                   {&path, &caps->dwPhoneNameSize, &caps->dwPhoneNameOffset}});
    return 0;
}

LONG CModemProvider::phoneOpen(HPHONEAPP hPhoneApp, DWORD dwDeviceID, HPHONE *lphPhone,
                               DWORD dwAPIVersion, DWORD dwExtVersion, DWORD_PTR, DWORD dwPrivilege)
{
    const AppDevice found = FindDevice(m_phoneApps, hPhoneApp, dwDeviceID);
    if (found.error != 0)
        return found.error;
    const std::string &path = found.path;
    if (!lphPhone)
        return PHONEERR_INVALPOINTER;
    if (!VersionSupported(dwAPIVersion))
        return PHONEERR_INCOMPATIBLEAPIVERSION;
    if (dwExtVersion != 0)
        return PHONEERR_INCOMPATIBLEEXTVERSION;
    if (dwPrivilege != PHONEPRIVILEGE_MONITOR && dwPrivilege != PHONEPRIVILEGE_OWNER)
        return PHONEERR_INVALPRIVILEGE;
    if (dwPrivilege == PHONEPRIVILEGE_OWNER) {
        std::lock_guard lock(m_mutex);
        for (const auto &[h, entry] : m_phones)
            if (entry.path == path && entry.privilege == PHONEPRIVILEGE_OWNER)
                return PHONEERR_INUSE;
    }
    int error = 0;
    bool opened = false;
    std::shared_ptr<CModemPort> port = SharedPort(path, error, opened);
    if (!port)
        return PHONEERR_NODEVICE;
    // Without an open line on this modem, the speakerphone needs voice mode itself.
    if (opened && !(port->Command("ATE0", m_timeouts.command).ok &&
                    port->Command("AT+FCLASS=8", m_timeouts.command).ok))
        return PHONEERR_OPERATIONFAILED;
    const HPHONE handle = NewHandle();
    std::lock_guard lock(m_mutex);
    if (!m_phoneApps.count(hPhoneApp))
        return PHONEERR_INVALAPPHANDLE;
    m_phones[handle] = PhoneEntry{hPhoneApp, dwPrivilege, path, port};
    *lphPhone = handle;
    return 0;
}

LONG CModemProvider::phoneSetStatusMessages(HPHONE hPhone, DWORD dwPhoneStates, DWORD dwButtonModes,
                                            DWORD dwButtonStates)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_phones.count(hPhone))
            return PHONEERR_INVALPHONEHANDLE;
    }
    if ((dwPhoneStates & ~PHONESTATE_ALL) != 0)
        return PHONEERR_INVALPHONESTATE;
    if ((dwButtonModes & ~PHONEBUTTONMODE_ALL) != 0)
        return PHONEERR_INVALBUTTONMODE;
    if (dwButtonModes != 0 && (dwButtonStates & ~PHONEBUTTONSTATE_ALL) != 0)
        return PHONEERR_INVALBUTTONSTATE;
    // The speakerphone reports nothing of its own; the mask has nothing to filter.
    return 0;
}

LONG CModemProvider::phoneSetHookSwitch(HPHONE hPhone, DWORD dwHookSwitchDevs,
                                        DWORD dwHookSwitchMode)
{
    std::shared_ptr<CModemPort> port;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_phones.find(hPhone);
        if (found == m_phones.end())
            return PHONEERR_INVALPHONEHANDLE;
        if (found->second.privilege != PHONEPRIVILEGE_OWNER)
            return PHONEERR_NOTOWNER;
        port = found->second.port;
    }
    const DWORD allDevs =
        PHONEHOOKSWITCHDEV_HANDSET | PHONEHOOKSWITCHDEV_SPEAKER | PHONEHOOKSWITCHDEV_HEADSET;
    if (dwHookSwitchDevs == 0 || (dwHookSwitchDevs & ~allDevs) != 0)
        return PHONEERR_INVALHOOKSWITCHDEV;
    if (!SingleBit(dwHookSwitchMode) || dwHookSwitchMode > PHONEHOOKSWITCHMODE_MICSPEAKER)
        return PHONEERR_INVALHOOKSWITCHMODE;
    // The modem has a speaker and a microphone, no handset or headset, and
    // cannot be told to put one without the other on the line.
    if (dwHookSwitchDevs != PHONEHOOKSWITCHDEV_SPEAKER ||
        dwHookSwitchMode != PHONEHOOKSWITCHMODE_MICSPEAKER)
        return PHONEERR_OPERATIONUNAVAIL;
    const CModemPort::Reply reply = port->Command("AT+VLS=7", m_timeouts.command);
    if (!reply.answered || !reply.ok)
        return PHONEERR_OPERATIONFAILED;
    return NewRequestId();
}

LONG CModemProvider::phoneClose(HPHONE hPhone)
{
    std::shared_ptr<CModemPort> port; // closes the port, unless a line has it, outside the lock
    std::lock_guard lock(m_mutex);
    auto found = m_phones.find(hPhone);
    if (found == m_phones.end())
        return PHONEERR_INVALPHONEHANDLE;
    port = std::move(found->second.port);
    m_phones.erase(found);
    return 0;
}

LONG CModemProvider::phoneShutdown(HPHONEAPP hPhoneApp)
{
    std::vector<std::shared_ptr<CModemPort>> ports;
    std::lock_guard lock(m_mutex);
    auto app = m_phoneApps.find(hPhoneApp);
    if (app == m_phoneApps.end())
        return PHONEERR_INVALAPPHANDLE;
    m_phoneApps.erase(app);
    for (auto it = m_phones.begin(); it != m_phones.end();) {
        if (it->second.app == hPhoneApp) {
            ports.push_back(std::move(it->second.port));
            it = m_phones.erase(it);
        } else {
            ++it;
        }
    }
    return 0;
}

} // namespace vocamo
