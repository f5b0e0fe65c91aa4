#pragma once

#include "platform/tapi/LineMessageQueue.h"
#include "platform/tapi/ModemDiagnosis.h"
#include "platform/tapi/ModemLine.h"
#include "platform/tapi/ModemPort.h"
#include "platform/tapi/ModemProbeCache.h"
#include "platform/tapi/ModemTimeouts.h"
#include "platform/tapi/Tapi.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace vocamo {

// TAPI over V.253 voice modems on serial ports. Line device d is the d-th
// port of the device list; phone device p is the p-th voice modem whose
// speakerphone can carry the line (AT+VLS=? lists 7). Every function checks
// its arguments and answers as TAPI does. Safe to call from any thread.
class CModemProvider : public CTapi {
public:
    using DeviceLister = std::function<std::vector<std::string>()>;

    // devices: read at every lineInitializeExA and phoneInitializeExA.
    // probes: what earlier providers found; null: a cache of its own.
    explicit CModemProvider(DeviceLister devices = DefaultDevices, ModemTimeouts timeouts = {},
                            std::shared_ptr<CModemProbeCache> probes = nullptr);
    ~CModemProvider() override;

    CModemProvider(const CModemProvider &) = delete;
    CModemProvider &operator=(const CModemProvider &) = delete;

    // The ports named in VOCAMO_MODEMS (colon-separated; set but empty, it
    // names none); when it is unset, every /dev/ttyACM* then every
    // /dev/ttyUSB*, in name order.
    static std::vector<std::string> DefaultDevices();
    // Whether a device node is, or was until it went away, one of those ports.
    static bool IsModemPort(const std::string &devnode);

    // Forgets what the probes found: for the device monitor, on any tty
    // arriving or leaving.
    void InvalidateProbeCache();

    LONG lineInitializeExA(HLINEAPP *lphLineApp, HINSTANCE hInstance, LINECALLBACK lpfnCallback,
                           LPCSTR lpszFriendlyAppName, DWORD *lpdwNumDevs, DWORD *lpdwAPIVersion,
                           LINEINITIALIZEEXPARAMS *lpLineInitializeExParams) override;
    LONG lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPILowVersion,
                                 DWORD dwAPIHighVersion, DWORD *lpdwAPIVersion,
                                 LINEEXTENSIONID *lpExtensionID) override;
    LONG lineGetDevCapsA(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPIVersion,
                         DWORD dwExtVersion, LINEDEVCAPS *lpLineDevCaps) override;
    LONG lineOpenA(HLINEAPP hLineApp, DWORD dwDeviceID, HLINE *lphLine, DWORD dwAPIVersion,
                   DWORD dwExtVersion, DWORD_PTR dwCallbackInstance, DWORD dwPrivileges,
                   DWORD dwMediaModes, const LINECALLPARAMS *lpCallParams) override;
    LONG lineSetStatusMessages(HLINE hLine, DWORD dwLineStates, DWORD dwAddressStates) override;
    LONG lineMakeCallA(HLINE hLine, HCALL *lphCall, LPCSTR lpszDestAddress, DWORD dwCountryCode,
                       const LINECALLPARAMS *lpCallParams) override;
    LONG lineAnswer(HCALL hCall, LPCSTR lpsUserUserInfo, DWORD dwSize) override;
    LONG lineDrop(HCALL hCall, LPCSTR lpsUserUserInfo, DWORD dwSize) override;
    LONG lineGetMessage(HLINEAPP hLineApp, LINEMESSAGE *lpMessage, DWORD dwTimeout) override;
    LONG lineGetCallInfoA(HCALL hCall, LINECALLINFO *lpCallInfo) override;
    LONG lineClose(HLINE hLine) override;
    LONG lineShutdown(HLINEAPP hLineApp) override;

    LONG phoneInitializeExA(HPHONEAPP *lphPhoneApp, HINSTANCE hInstance, PHONECALLBACK lpfnCallback,
                            LPCSTR lpszFriendlyAppName, DWORD *lpdwNumDevs, DWORD *lpdwAPIVersion,
                            PHONEINITIALIZEEXPARAMS *lpPhoneInitializeExParams) override;
    LONG phoneNegotiateAPIVersion(HPHONEAPP hPhoneApp, DWORD dwDeviceID, DWORD dwAPILowVersion,
                                  DWORD dwAPIHighVersion, DWORD *lpdwAPIVersion,
                                  PHONEEXTENSIONID *lpExtensionID) override;
    LONG phoneGetDevCapsA(HPHONEAPP hPhoneApp, DWORD dwDeviceID, DWORD dwAPIVersion,
                          DWORD dwExtVersion, PHONECAPS *lpPhoneCaps) override;
    LONG phoneOpen(HPHONEAPP hPhoneApp, DWORD dwDeviceID, HPHONE *lphPhone, DWORD dwAPIVersion,
                   DWORD dwExtVersion, DWORD_PTR dwCallbackInstance, DWORD dwPrivilege) override;
    LONG phoneSetStatusMessages(HPHONE hPhone, DWORD dwPhoneStates, DWORD dwButtonModes,
                                DWORD dwButtonStates) override;
    LONG phoneSetHookSwitch(HPHONE hPhone, DWORD dwHookSwitchDevs, DWORD dwHookSwitchMode) override;
    LONG phoneClose(HPHONE hPhone) override;
    LONG phoneShutdown(HPHONEAPP hPhoneApp) override;

private:
    using ProbeResult = ModemProbe;
    struct LineApp {
        std::vector<std::string> devices;
        std::shared_ptr<CLineMessageQueue> queue;
    };
    struct LineEntry {
        HLINEAPP app = 0;
        std::string path;
        std::shared_ptr<CModemLine> line;
    };
    struct PhoneApp {
        std::vector<std::string> devices; // voice modems with a speakerphone
    };
    struct PhoneEntry {
        HPHONEAPP app = 0;
        DWORD privilege = 0;
        std::string path;
        std::shared_ptr<CModemPort> port;
    };

    // The versions a negotiated device may be opened and asked with.
    static bool VersionSupported(DWORD version)
    {
        return version >= TAPI_VERSION1_4 && version <= TAPI_VERSION2_0;
    }

    // What a line or phone application handle names, looked up under the
    // lock: with a device id, that device's port; for a line application, its
    // message queue. error is 0, or TAPI's code for an unknown handle or
    // device id.
    struct AppDevice {
        LONG error = 0;
        std::string path;
        std::shared_ptr<CLineMessageQueue> queue;
    };
    template <typename App>
    AppDevice FindDevice(const std::map<DWORD, App> &apps, DWORD handle,
                         std::optional<DWORD> device = std::nullopt);

    // Probes (or recalls) what the port at path is; false when it cannot
    // be opened now.
    bool Probe(const std::string &path, ProbeResult &result);
    // Keeps what a port turned out to be, for the display and the terminal.
    void NoteVerdict(const ModemDiagnosis &diagnosis);
    // The port at path, shared between the line and the phone that use it;
    // opened (and its dialogue started) if nobody has it yet.
    std::shared_ptr<CModemPort> SharedPort(const std::string &path, int &error, bool &opened);
    std::shared_ptr<CModemLine> LineOf(HLINE hLine);
    std::shared_ptr<CModemLine> LineOfCall(HCALL hCall);
    DWORD NewHandle() { return m_nextHandle.fetch_add(1); }
    LONG NewRequestId() { return m_nextRequest.fetch_add(1); }
    void CloseLines(std::vector<std::shared_ptr<CModemLine>> lines);

    const DeviceLister m_devices;
    const ModemTimeouts m_timeouts;
    std::atomic<DWORD> m_nextHandle{1};
    std::atomic<LONG> m_nextRequest{1};

    const std::shared_ptr<CModemProbeCache> m_probeCache;
    std::mutex m_mutex; // guards the tables below; never held during a dialogue
    std::map<std::string, std::weak_ptr<CModemPort>> m_ports;
    std::map<HLINEAPP, LineApp> m_lineApps;
    std::map<HLINE, LineEntry> m_lines;
    std::map<HPHONEAPP, PhoneApp> m_phoneApps;
    std::map<HPHONE, PhoneEntry> m_phones;
};

template <typename App>
CModemProvider::AppDevice CModemProvider::FindDevice(const std::map<DWORD, App> &apps, DWORD handle,
                                                     std::optional<DWORD> device)
{
    constexpr bool line = std::is_same_v<App, LineApp>;
    AppDevice found;
    std::lock_guard lock(m_mutex);
    const auto app = apps.find(handle);
    if (app == apps.end()) {
        found.error = line ? LINEERR_INVALAPPHANDLE : PHONEERR_INVALAPPHANDLE;
        return found;
    }
    if (device) {
        if (*device >= app->second.devices.size()) {
            found.error = line ? LINEERR_BADDEVICEID : PHONEERR_BADDEVICEID;
            return found;
        }
        found.path = app->second.devices[*device];
    }
    if constexpr (line)
        found.queue = app->second.queue;
    return found;
}

} // namespace vocamo
