#pragma once

// The part of TAPI 2.x that the telephony client uses: types, constants,
// structures and the functions, with TAPI's names, values and sizes.

#include "platform/tapi/TapiStructs.h"
#include "platform/tapi/TapiTypes.h"

namespace vocamo {

// The TAPI functions, as one object, so code above this layer takes the
// telephony system it talks to as a parameter (a modem provider, or in a
// test one that runs against the modem simulator). Each function keeps
// TAPI's name, parameters and results.
class CTapi {
public:
    virtual ~CTapi() = default;

    virtual LONG lineInitializeExA(HLINEAPP *lphLineApp, HINSTANCE hInstance,
                                   LINECALLBACK lpfnCallback, LPCSTR lpszFriendlyAppName,
                                   DWORD *lpdwNumDevs, DWORD *lpdwAPIVersion,
                                   LINEINITIALIZEEXPARAMS *lpLineInitializeExParams) = 0;
    virtual LONG lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPILowVersion,
                                         DWORD dwAPIHighVersion, DWORD *lpdwAPIVersion,
                                         LINEEXTENSIONID *lpExtensionID) = 0;
    virtual LONG lineGetDevCapsA(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPIVersion,
                                 DWORD dwExtVersion, LINEDEVCAPS *lpLineDevCaps) = 0;
    virtual LONG lineOpenA(HLINEAPP hLineApp, DWORD dwDeviceID, HLINE *lphLine, DWORD dwAPIVersion,
                           DWORD dwExtVersion, DWORD_PTR dwCallbackInstance, DWORD dwPrivileges,
                           DWORD dwMediaModes, const LINECALLPARAMS *lpCallParams) = 0;
    virtual LONG lineSetStatusMessages(HLINE hLine, DWORD dwLineStates, DWORD dwAddressStates) = 0;
    virtual LONG lineMakeCallA(HLINE hLine, HCALL *lphCall, LPCSTR lpszDestAddress,
                               DWORD dwCountryCode, const LINECALLPARAMS *lpCallParams) = 0;
    virtual LONG lineAnswer(HCALL hCall, LPCSTR lpsUserUserInfo, DWORD dwSize) = 0;
    virtual LONG lineDrop(HCALL hCall, LPCSTR lpsUserUserInfo, DWORD dwSize) = 0;
    virtual LONG lineGetMessage(HLINEAPP hLineApp, LINEMESSAGE *lpMessage, DWORD dwTimeout) = 0;
    virtual LONG lineGetCallInfoA(HCALL hCall, LINECALLINFO *lpCallInfo) = 0;
    virtual LONG lineClose(HLINE hLine) = 0;
    virtual LONG lineShutdown(HLINEAPP hLineApp) = 0;

    virtual LONG phoneInitializeExA(HPHONEAPP *lphPhoneApp, HINSTANCE hInstance,
                                    PHONECALLBACK lpfnCallback, LPCSTR lpszFriendlyAppName,
                                    DWORD *lpdwNumDevs, DWORD *lpdwAPIVersion,
                                    PHONEINITIALIZEEXPARAMS *lpPhoneInitializeExParams) = 0;
    virtual LONG phoneNegotiateAPIVersion(HPHONEAPP hPhoneApp, DWORD dwDeviceID,
                                          DWORD dwAPILowVersion, DWORD dwAPIHighVersion,
                                          DWORD *lpdwAPIVersion,
                                          PHONEEXTENSIONID *lpExtensionID) = 0;
    virtual LONG phoneGetDevCapsA(HPHONEAPP hPhoneApp, DWORD dwDeviceID, DWORD dwAPIVersion,
                                  DWORD dwExtVersion, PHONECAPS *lpPhoneCaps) = 0;
    virtual LONG phoneOpen(HPHONEAPP hPhoneApp, DWORD dwDeviceID, HPHONE *lphPhone,
                           DWORD dwAPIVersion, DWORD dwExtVersion, DWORD_PTR dwCallbackInstance,
                           DWORD dwPrivilege) = 0;
    virtual LONG phoneSetStatusMessages(HPHONE hPhone, DWORD dwPhoneStates, DWORD dwButtonModes,
                                        DWORD dwButtonStates) = 0;
    virtual LONG phoneSetHookSwitch(HPHONE hPhone, DWORD dwHookSwitchDevs,
                                    DWORD dwHookSwitchMode) = 0;
    virtual LONG phoneClose(HPHONE hPhone) = 0;
    virtual LONG phoneShutdown(HPHONEAPP hPhoneApp) = 0;
};

} // namespace vocamo
