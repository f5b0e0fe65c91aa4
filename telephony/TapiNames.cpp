#include "telephony/TapiNames.h"

#include <cstdio>
#include <iterator>

namespace vocamo {

namespace {

struct Group {
    intptr_t first;
    const char *const *names;
    size_t count;
};

constexpr const char *kLineMessages[] = {
    "LINE_ADDRESSSTATE", "LINE_APPNEWCALL",  "LINE_CALLINFO",     "LINE_CALLSTATE",
    "LINE_CLOSE",        "LINE_CREATE",      "LINE_DEVSPECIFIC",  "LINE_DEVSPECIFICFEATURE",
    "LINE_GATHERDIGITS", "LINE_GENERATE",    "LINE_LINEDEVSTATE", "LINE_MONITORDIGITS",
    "LINE_MONITORMEDIA", "LINE_MONITORTONE", "LINE_REMOVE",       "LINE_REPLY",
    "LINE_REQUEST",      "LINE_DEFAULT",
};

constexpr const char *kCallStates[] = {
    "LINECALLSTATE_ACCEPTED",       "LINECALLSTATE_CONFERENCED",
    "LINECALLSTATE_DIALING",        "LINECALLSTATE_ONHOLD",
    "LINECALLSTATE_ONHOLDPENDCONF", "LINECALLSTATE_ONHOLDPENDTRANSFER",
    "LINECALLSTATE_PROCEEDING",     "LINECALLSTATE_RINGBACK",
    "LINECALLSTATE_SPECIALINFO",    "LINECALLSTATE_UNKNOWN",
    "LINECALLSTATE_IDLE",           "LINECALLSTATE_BUSY",
    "LINECALLSTATE_DIALTONE",       "LINECALLSTATE_OFFERING",
    "LINECALLSTATE_CONNECTED",      "LINECALLSTATE_DISCONNECTED",
    "LINECALLSTATE_DEFAULT",
};

constexpr const char *kBusyModes[] = {
    "LINEBUSYMODE_STATION", "LINEBUSYMODE_TRUNK",   "LINEBUSYMODE_UNKNOWN",
    "LINEBUSYMODE_UNAVAIL", "LINEBUSYMODE_DEFAULT",
};

constexpr const char *kDialToneModes[] = {
    "LINEDIALTONEMODE_EXTERNAL", "LINEDIALTONEMODE_INTERNAL", "LINEDIALTONEMODE_NORMAL",
    "LINEDIALTONEMODE_SPECIAL",  "LINEDIALTONEMODE_UNAVAIL",  "LINEDIALTONEMODE_UNKNOWN",
    "LINEDIALTONEMODE_DEFAULT",
};

constexpr const char *kOfferingModes[] = {
    "LINEOFFERINGMODE_ACTIVE",
    "LINEOFFERINGMODE_INACTIVE",
};

constexpr const char *kConnectedModes[] = {
    "LINECONNECTEDMODE_ACTIVE",   "LINECONNECTEDMODE_ACTIVEHELD",   "LINECONNECTEDMODE_CONFIRMED",
    "LINECONNECTEDMODE_INACTIVE", "LINECONNECTEDMODE_INACTIVEHELD", "LINECONNECTEDMODE_DEFAULT",
};

constexpr const char *kDisconnectModes[] = {
    "LINEDISCONNECTMODE_NORMAL",       "LINEDISCONNECTMODE_UNKNOWN",
    "LINEDISCONNECTMODE_REJECT",       "LINEDISCONNECTMODE_PICKUP",
    "LINEDISCONNECTMODE_FORWARDED",    "LINEDISCONNECTMODE_BUSY",
    "LINEDISCONNECTMODE_NOANSWER",     "LINEDISCONNECTMODE_BADADDRESS",
    "LINEDISCONNECTMODE_UNREACHABLE",  "LINEDISCONNECTMODE_CONGESTION",
    "LINEDISCONNECTMODE_INCOMPATIBLE", "LINEDISCONNECTMODE_UNAVAIL",
    "LINEDISCONNECTMODE_NODIALTONE",   "LINEDISCONNECTMODE_DEFAULT",
};

constexpr Group kEventGroups[] = {
    {1, kLineMessages, std::size(kLineMessages)},
    {400, kCallStates, std::size(kCallStates)},
    {4110, kBusyModes, std::size(kBusyModes)},
    {4120, kDialToneModes, std::size(kDialToneModes)},
    {4130, kOfferingModes, std::size(kOfferingModes)},
    {4140, kConnectedModes, std::size(kConnectedModes)},
    {41500, kDisconnectModes, std::size(kDisconnectModes)},
};

// LINEERR_ALLOCATED (0x80000001) to LINEERR_DIALVOICEDETECT (0x8000005C);
// TAPI leaves two values of the range unassigned.
constexpr uint32_t kFirstLineError = 0x80000001;
constexpr const char *kLineErrors[] = {
    "LINEERR_ALLOCATED",              // 0x80000001
    "LINEERR_BADDEVICEID",            // 0x80000002
    "LINEERR_BEARERMODEUNAVAIL",      // 0x80000003
    nullptr,                          // 0x80000004 unassigned
    "LINEERR_CALLUNAVAIL",            // 0x80000005
    "LINEERR_COMPLETIONOVERRUN",      // 0x80000006
    "LINEERR_CONFERENCEFULL",         // 0x80000007
    "LINEERR_DIALBILLING",            // 0x80000008
    "LINEERR_DIALDIALTONE",           // 0x80000009
    "LINEERR_DIALPROMPT",             // 0x8000000A
    "LINEERR_DIALQUIET",              // 0x8000000B
    "LINEERR_INCOMPATIBLEAPIVERSION", // 0x8000000C
    "LINEERR_INCOMPATIBLEEXTVERSION", // 0x8000000D
    "LINEERR_INIFILECORRUPT",         // 0x8000000E
    "LINEERR_INUSE",                  // 0x8000000F
    "LINEERR_INVALADDRESS",           // 0x80000010
    "LINEERR_INVALADDRESSID",         // 0x80000011
    "LINEERR_INVALADDRESSMODE",       // 0x80000012
    "LINEERR_INVALADDRESSSTATE",      // 0x80000013
    "LINEERR_INVALAPPHANDLE",         // 0x80000014
    "LINEERR_INVALAPPNAME",           // 0x80000015
    "LINEERR_INVALBEARERMODE",        // 0x80000016
    "LINEERR_INVALCALLCOMPLMODE",     // 0x80000017
    "LINEERR_INVALCALLHANDLE",        // 0x80000018
    "LINEERR_INVALCALLPARAMS",        // 0x80000019
    "LINEERR_INVALCALLPRIVILEGE",     // 0x8000001A
    "LINEERR_INVALCALLSELECT",        // 0x8000001B
    "LINEERR_INVALCALLSTATE",         // 0x8000001C
    "LINEERR_INVALCALLSTATELIST",     // 0x8000001D
    "LINEERR_INVALCARD",              // 0x8000001E
    "LINEERR_INVALCOMPLETIONID",      // 0x8000001F
    "LINEERR_INVALCONFCALLHANDLE",    // 0x80000020
    "LINEERR_INVALCONSULTCALLHANDLE", // 0x80000021
    "LINEERR_INVALCOUNTRYCODE",       // 0x80000022
    "LINEERR_INVALDEVICECLASS",       // 0x80000023
    "LINEERR_INVALDEVICEHANDLE",      // 0x80000024
    "LINEERR_INVALDIALPARAMS",        // 0x80000025
    "LINEERR_INVALDIGITLIST",         // 0x80000026
    "LINEERR_INVALDIGITMODE",         // 0x80000027
    "LINEERR_INVALDIGITS",            // 0x80000028
    "LINEERR_INVALEXTVERSION",        // 0x80000029
    "LINEERR_INVALGROUPID",           // 0x8000002A
    "LINEERR_INVALLINEHANDLE",        // 0x8000002B
    "LINEERR_INVALLINESTATE",         // 0x8000002C
    "LINEERR_INVALLOCATION",          // 0x8000002D
    "LINEERR_INVALMEDIALIST",         // 0x8000002E
    "LINEERR_INVALMEDIAMODE",         // 0x8000002F
    "LINEERR_INVALMESSAGEID",         // 0x80000030
    nullptr,                          // 0x80000031 unassigned
    "LINEERR_INVALPARAM",             // 0x80000032
    "LINEERR_INVALPARKID",            // 0x80000033
    "LINEERR_INVALPARKMODE",          // 0x80000034
    "LINEERR_INVALPOINTER",           // 0x80000035
    "LINEERR_INVALPRIVSELECT",        // 0x80000036
    "LINEERR_INVALRATE",              // 0x80000037
    "LINEERR_INVALREQUESTMODE",       // 0x80000038
    "LINEERR_INVALTERMINALID",        // 0x80000039
    "LINEERR_INVALTERMINALMODE",      // 0x8000003A
    "LINEERR_INVALTIMEOUT",           // 0x8000003B
    "LINEERR_INVALTONE",              // 0x8000003C
    "LINEERR_INVALTONELIST",          // 0x8000003D
    "LINEERR_INVALTONEMODE",          // 0x8000003E
    "LINEERR_INVALTRANSFERMODE",      // 0x8000003F
    "LINEERR_LINEMAPPERFAILED",       // 0x80000040
    "LINEERR_NOCONFERENCE",           // 0x80000041
    "LINEERR_NODEVICE",               // 0x80000042
    "LINEERR_NODRIVER",               // 0x80000043
    "LINEERR_NOMEM",                  // 0x80000044
    "LINEERR_NOREQUEST",              // 0x80000045
    "LINEERR_NOTOWNER",               // 0x80000046
    "LINEERR_NOTREGISTERED",          // 0x80000047
    "LINEERR_OPERATIONFAILED",        // 0x80000048
    "LINEERR_OPERATIONUNAVAIL",       // 0x80000049
    "LINEERR_RATEUNAVAIL",            // 0x8000004A
    "LINEERR_RESOURCEUNAVAIL",        // 0x8000004B
    "LINEERR_REQUESTOVERRUN",         // 0x8000004C
    "LINEERR_STRUCTURETOOSMALL",      // 0x8000004D
    "LINEERR_TARGETNOTFOUND",         // 0x8000004E
    "LINEERR_TARGETSELF",             // 0x8000004F
    "LINEERR_UNINITIALIZED",          // 0x80000050
    "LINEERR_USERUSERINFOTOOBIG",     // 0x80000051
    "LINEERR_REINIT",                 // 0x80000052
    "LINEERR_ADDRESSBLOCKED",         // 0x80000053
    "LINEERR_BILLINGREJECTED",        // 0x80000054
    "LINEERR_INVALFEATURE",           // 0x80000055
    "LINEERR_NOMULTIPLEINSTANCE",     // 0x80000056
    "LINEERR_INVALAGENTID",           // 0x80000057
    "LINEERR_INVALAGENTGROUP",        // 0x80000058
    "LINEERR_INVALPASSWORD",          // 0x80000059
    "LINEERR_INVALAGENTSTATE",        // 0x8000005A
    "LINEERR_INVALAGENTACTIVITY",     // 0x8000005B
    "LINEERR_DIALVOICEDETECT",        // 0x8000005C
};

struct PhoneError {
    uint32_t code;
    const char *name;
};

// Only the phone errors that opening the speakerphone is expected to give.
constexpr PhoneError kPhoneErrors[] = {
    {0x90000005, "PHONEERR_INIFILECORRUPT"}, {0x90000008, "PHONEERR_INVALAPPNAME"},
    {0x90000012, "PHONEERR_INVALPARAM"},     {0x90000015, "PHONEERR_INVALPOINTER"},
    {0x9000001A, "PHONEERR_NOMEM"},          {0x9000001C, "PHONEERR_OPERATIONFAILED"},
    {0x90000023, "PHONEERR_REINIT"},
};

// TAPI's result codes have no system message text; this stands in for it.
std::string UnnamedError(uint32_t code)
{
    char text[32];
    std::snprintf(text, sizeof text, "TAPI error 0x%08X", static_cast<unsigned>(code));
    return text;
}

} // namespace

std::string StateName(int32_t state)
{
    switch (state) {
    case 0:
        return "INIT";
    case 5:
        return "NORMAL";
    case 6:
        return "DIALING";
    case 7:
        return "RINGING";
    case 8:
        return "ANSWERING";
    default:
        return "WORNG state";
    }
}

std::string EventName(intptr_t code)
{
    for (const Group &group : kEventGroups) {
        if (code >= group.first && code < group.first + static_cast<intptr_t>(group.count))
            return group.names[code - group.first];
    }
    return {};
}

std::string LineErrorName(uint32_t code)
{
    if (code >= kFirstLineError && code - kFirstLineError < std::size(kLineErrors)) {
        if (const char *name = kLineErrors[code - kFirstLineError])
            return name;
    }
    return UnnamedError(code);
}

std::string PhoneErrorName(uint32_t code)
{
    for (const PhoneError &error : kPhoneErrors) {
        if (error.code == code)
            return error.name;
    }
    return UnnamedError(code);
}

} // namespace vocamo
