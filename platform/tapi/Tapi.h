#pragma once

// The part of TAPI 2.x that the telephony client uses: types, constants,
// structures and the functions, with TAPI's names, values and sizes. Handles
// and the DWORD_PTR members are 32 bits wide, as on the 32-bit system the
// structure sizes come from, so every structure keeps its documented size.

#include <cstdint>

namespace vocamo {

using DWORD = uint32_t;
using DWORD_PTR = uint32_t;
using LONG = int32_t;
using LPCSTR = const char *;
using HINSTANCE = void *;

using HLINEAPP = DWORD;
using HLINE = DWORD;
using HCALL = DWORD;
using HPHONEAPP = DWORD;
using HPHONE = DWORD;

using LINECALLBACK = void (*)(DWORD hDevice, DWORD dwMessage, DWORD_PTR dwInstance,
                              DWORD_PTR dwParam1, DWORD_PTR dwParam2, DWORD_PTR dwParam3);
using PHONECALLBACK = LINECALLBACK;

constexpr DWORD INFINITE = 0xFFFFFFFF;

// API versions this layer speaks: TAPI 1.4 up to 2.0.
constexpr DWORD TAPI_VERSION1_4 = 0x00010004;
constexpr DWORD TAPI_VERSION2_0 = 0x00020000;

// Line messages (LINEMESSAGE.dwMessageID).
constexpr DWORD LINE_ADDRESSSTATE = 0;
constexpr DWORD LINE_CALLINFO = 1;
constexpr DWORD LINE_CALLSTATE = 2;
constexpr DWORD LINE_CLOSE = 3;
constexpr DWORD LINE_DEVSPECIFIC = 4;
constexpr DWORD LINE_DEVSPECIFICFEATURE = 5;
constexpr DWORD LINE_GATHERDIGITS = 6;
constexpr DWORD LINE_GENERATE = 7;
constexpr DWORD LINE_LINEDEVSTATE = 8;
constexpr DWORD LINE_MONITORDIGITS = 9;
constexpr DWORD LINE_MONITORMEDIA = 10;
constexpr DWORD LINE_MONITORTONE = 11;
constexpr DWORD LINE_REPLY = 12;
constexpr DWORD LINE_REQUEST = 13;
constexpr DWORD PHONE_BUTTON = 14;
constexpr DWORD PHONE_CLOSE = 15;
constexpr DWORD PHONE_DEVSPECIFIC = 16;
constexpr DWORD PHONE_REPLY = 17;
constexpr DWORD PHONE_STATE = 18;
constexpr DWORD LINE_CREATE = 19;
constexpr DWORD PHONE_CREATE = 20;
constexpr DWORD LINE_AGENTSPECIFIC = 21;
constexpr DWORD LINE_AGENTSTATUS = 22;
constexpr DWORD LINE_APPNEWCALL = 23;
constexpr DWORD LINE_PROXYREQUEST = 24;
constexpr DWORD LINE_REMOVE = 25;
constexpr DWORD PHONE_REMOVE = 26;

constexpr DWORD LINEADDRESSMODE_ADDRESSID = 0x00000001;
constexpr DWORD LINEADDRESSMODE_DIALABLEADDR = 0x00000002;

constexpr DWORD LINEADDRESSSTATE_ALL = 0x000001FF; // OTHER through CAPSCHANGE

constexpr DWORD LINEBEARERMODE_VOICE = 0x00000001;
constexpr DWORD LINEBEARERMODE_SPEECH = 0x00000002;
constexpr DWORD LINEBEARERMODE_MULTIUSE = 0x00000004;
constexpr DWORD LINEBEARERMODE_DATA = 0x00000008;
constexpr DWORD LINEBEARERMODE_ALTSPEECHDATA = 0x00000010;
constexpr DWORD LINEBEARERMODE_NONCALLSIGNALING = 0x00000020;
constexpr DWORD LINEBEARERMODE_PASSTHROUGH = 0x00000040;
constexpr DWORD LINEBEARERMODE_RESTRICTEDDATA = 0x00000080;

constexpr DWORD LINEBUSYMODE_STATION = 0x00000001;
constexpr DWORD LINEBUSYMODE_TRUNK = 0x00000002;
constexpr DWORD LINEBUSYMODE_UNKNOWN = 0x00000004;
constexpr DWORD LINEBUSYMODE_UNAVAIL = 0x00000008;

constexpr DWORD LINECALLINFOSTATE_OTHER = 0x00000001;
constexpr DWORD LINECALLINFOSTATE_DEVSPECIFIC = 0x00000002;
constexpr DWORD LINECALLINFOSTATE_BEARERMODE = 0x00000004;
constexpr DWORD LINECALLINFOSTATE_RATE = 0x00000008;
constexpr DWORD LINECALLINFOSTATE_MEDIAMODE = 0x00000010;
constexpr DWORD LINECALLINFOSTATE_APPSPECIFIC = 0x00000020;
constexpr DWORD LINECALLINFOSTATE_CALLID = 0x00000040;
constexpr DWORD LINECALLINFOSTATE_RELATEDCALLID = 0x00000080;
constexpr DWORD LINECALLINFOSTATE_ORIGIN = 0x00000100;
constexpr DWORD LINECALLINFOSTATE_REASON = 0x00000200;
constexpr DWORD LINECALLINFOSTATE_COMPLETIONID = 0x00000400;
constexpr DWORD LINECALLINFOSTATE_NUMOWNERINCR = 0x00000800;
constexpr DWORD LINECALLINFOSTATE_NUMOWNERDECR = 0x00001000;
constexpr DWORD LINECALLINFOSTATE_NUMMONITORS = 0x00002000;
constexpr DWORD LINECALLINFOSTATE_TRUNK = 0x00004000;
constexpr DWORD LINECALLINFOSTATE_CALLERID = 0x00008000;
constexpr DWORD LINECALLINFOSTATE_CALLEDID = 0x00010000;
constexpr DWORD LINECALLINFOSTATE_CONNECTEDID = 0x00020000;
constexpr DWORD LINECALLINFOSTATE_REDIRECTIONID = 0x00040000;
constexpr DWORD LINECALLINFOSTATE_REDIRECTINGID = 0x00080000;
constexpr DWORD LINECALLINFOSTATE_DISPLAY = 0x00100000;
constexpr DWORD LINECALLINFOSTATE_USERUSERINFO = 0x00200000;
constexpr DWORD LINECALLINFOSTATE_HIGHLEVELCOMP = 0x00400000;
constexpr DWORD LINECALLINFOSTATE_LOWLEVELCOMP = 0x00800000;
constexpr DWORD LINECALLINFOSTATE_CHARGINGINFO = 0x01000000;
constexpr DWORD LINECALLINFOSTATE_TERMINAL = 0x02000000;
constexpr DWORD LINECALLINFOSTATE_DIALPARAMS = 0x04000000;
constexpr DWORD LINECALLINFOSTATE_MONITORMODES = 0x08000000;

constexpr DWORD LINECALLORIGIN_OUTBOUND = 0x00000001;
constexpr DWORD LINECALLORIGIN_INTERNAL = 0x00000002;
constexpr DWORD LINECALLORIGIN_EXTERNAL = 0x00000004;
constexpr DWORD LINECALLORIGIN_UNKNOWN = 0x00000010;
constexpr DWORD LINECALLORIGIN_UNAVAIL = 0x00000020;
constexpr DWORD LINECALLORIGIN_CONFERENCE = 0x00000040;
constexpr DWORD LINECALLORIGIN_INBOUND = 0x00000080;

constexpr DWORD LINECALLPARAMFLAGS_SECURE = 0x00000001;
constexpr DWORD LINECALLPARAMFLAGS_IDLE = 0x00000002;
constexpr DWORD LINECALLPARAMFLAGS_BLOCKID = 0x00000004;
constexpr DWORD LINECALLPARAMFLAGS_ORIGOFFHOOK = 0x00000008;
constexpr DWORD LINECALLPARAMFLAGS_DESTOFFHOOK = 0x00000010;

constexpr DWORD LINECALLPARTYID_BLOCKED = 0x00000001;
constexpr DWORD LINECALLPARTYID_OUTOFAREA = 0x00000002;
constexpr DWORD LINECALLPARTYID_NAME = 0x00000004;
constexpr DWORD LINECALLPARTYID_ADDRESS = 0x00000008;
constexpr DWORD LINECALLPARTYID_PARTIAL = 0x00000010;
constexpr DWORD LINECALLPARTYID_UNKNOWN = 0x00000020;
constexpr DWORD LINECALLPARTYID_UNAVAIL = 0x00000040;

constexpr DWORD LINECALLPRIVILEGE_NONE = 0x00000001;
constexpr DWORD LINECALLPRIVILEGE_MONITOR = 0x00000002;
constexpr DWORD LINECALLPRIVILEGE_OWNER = 0x00000004;

constexpr DWORD LINECALLSTATE_IDLE = 0x00000001;
constexpr DWORD LINECALLSTATE_OFFERING = 0x00000002;
constexpr DWORD LINECALLSTATE_ACCEPTED = 0x00000004;
constexpr DWORD LINECALLSTATE_DIALTONE = 0x00000008;
constexpr DWORD LINECALLSTATE_DIALING = 0x00000010;
constexpr DWORD LINECALLSTATE_RINGBACK = 0x00000020;
constexpr DWORD LINECALLSTATE_BUSY = 0x00000040;
constexpr DWORD LINECALLSTATE_SPECIALINFO = 0x00000080;
constexpr DWORD LINECALLSTATE_CONNECTED = 0x00000100;
constexpr DWORD LINECALLSTATE_PROCEEDING = 0x00000200;
constexpr DWORD LINECALLSTATE_ONHOLD = 0x00000400;
constexpr DWORD LINECALLSTATE_CONFERENCED = 0x00000800;
constexpr DWORD LINECALLSTATE_ONHOLDPENDCONF = 0x00001000;
constexpr DWORD LINECALLSTATE_ONHOLDPENDTRANSFER = 0x00002000;
constexpr DWORD LINECALLSTATE_DISCONNECTED = 0x00004000;
constexpr DWORD LINECALLSTATE_UNKNOWN = 0x00008000;

constexpr DWORD LINECONNECTEDMODE_ACTIVE = 0x00000001;
constexpr DWORD LINECONNECTEDMODE_INACTIVE = 0x00000002;
constexpr DWORD LINECONNECTEDMODE_ACTIVEHELD = 0x00000004;
constexpr DWORD LINECONNECTEDMODE_INACTIVEHELD = 0x00000008;
constexpr DWORD LINECONNECTEDMODE_CONFIRMED = 0x00000010;

constexpr DWORD LINEDEVSTATE_OTHER = 0x00000001;
constexpr DWORD LINEDEVSTATE_RINGING = 0x00000002;
constexpr DWORD LINEDEVSTATE_CONNECTED = 0x00000004;
constexpr DWORD LINEDEVSTATE_DISCONNECTED = 0x00000008;
constexpr DWORD LINEDEVSTATE_MSGWAITON = 0x00000010;
constexpr DWORD LINEDEVSTATE_MSGWAITOFF = 0x00000020;
constexpr DWORD LINEDEVSTATE_INSERVICE = 0x00000040;
constexpr DWORD LINEDEVSTATE_OUTOFSERVICE = 0x00000080;
constexpr DWORD LINEDEVSTATE_MAINTENANCE = 0x00000100;
constexpr DWORD LINEDEVSTATE_OPEN = 0x00000200;
constexpr DWORD LINEDEVSTATE_CLOSE = 0x00000400;
constexpr DWORD LINEDEVSTATE_NUMCALLS = 0x00000800;
constexpr DWORD LINEDEVSTATE_NUMCOMPLETIONS = 0x00001000;
constexpr DWORD LINEDEVSTATE_TERMINALS = 0x00002000;
constexpr DWORD LINEDEVSTATE_ROAMMODE = 0x00004000;
constexpr DWORD LINEDEVSTATE_BATTERY = 0x00008000;
constexpr DWORD LINEDEVSTATE_SIGNAL = 0x00010000;
constexpr DWORD LINEDEVSTATE_DEVSPECIFIC = 0x00020000;
constexpr DWORD LINEDEVSTATE_REINIT = 0x00040000;
constexpr DWORD LINEDEVSTATE_LOCK = 0x00080000;
constexpr DWORD LINEDEVSTATE_CAPSCHANGE = 0x00100000;
constexpr DWORD LINEDEVSTATE_CONFIGCHANGE = 0x00200000;
constexpr DWORD LINEDEVSTATE_TRANSLATECHANGE = 0x00400000;
constexpr DWORD LINEDEVSTATE_COMPLCANCEL = 0x00800000;
constexpr DWORD LINEDEVSTATE_REMOVED = 0x01000000;
constexpr DWORD LINEDEVSTATE_ALL = 0x01FFFFFF;

constexpr DWORD LINEDIALTONEMODE_NORMAL = 0x00000001;
constexpr DWORD LINEDIALTONEMODE_SPECIAL = 0x00000002;
constexpr DWORD LINEDIALTONEMODE_INTERNAL = 0x00000004;
constexpr DWORD LINEDIALTONEMODE_EXTERNAL = 0x00000008;
constexpr DWORD LINEDIALTONEMODE_UNKNOWN = 0x00000010;
constexpr DWORD LINEDIALTONEMODE_UNAVAIL = 0x00000020;

constexpr DWORD LINEDISCONNECTMODE_NORMAL = 0x00000001;
constexpr DWORD LINEDISCONNECTMODE_UNKNOWN = 0x00000002;
constexpr DWORD LINEDISCONNECTMODE_REJECT = 0x00000004;
constexpr DWORD LINEDISCONNECTMODE_PICKUP = 0x00000008;
constexpr DWORD LINEDISCONNECTMODE_FORWARDED = 0x00000010;
constexpr DWORD LINEDISCONNECTMODE_BUSY = 0x00000020;
constexpr DWORD LINEDISCONNECTMODE_NOANSWER = 0x00000040;
constexpr DWORD LINEDISCONNECTMODE_BADADDRESS = 0x00000080;
constexpr DWORD LINEDISCONNECTMODE_UNREACHABLE = 0x00000100;
constexpr DWORD LINEDISCONNECTMODE_CONGESTION = 0x00000200;
constexpr DWORD LINEDISCONNECTMODE_INCOMPATIBLE = 0x00000400;
constexpr DWORD LINEDISCONNECTMODE_UNAVAIL = 0x00000800;
constexpr DWORD LINEDISCONNECTMODE_NODIALTONE = 0x00001000;

constexpr DWORD LINEINITIALIZEEXOPTION_USEHIDDENWINDOW = 0x00000001;
constexpr DWORD LINEINITIALIZEEXOPTION_USEEVENT = 0x00000002;
constexpr DWORD LINEINITIALIZEEXOPTION_USECOMPLETIONPORT = 0x00000003;

constexpr DWORD LINEMEDIAMODE_UNKNOWN = 0x00000002;
constexpr DWORD LINEMEDIAMODE_INTERACTIVEVOICE = 0x00000004;
constexpr DWORD LINEMEDIAMODE_AUTOMATEDVOICE = 0x00000008;
constexpr DWORD LINEMEDIAMODE_DATAMODEM = 0x00000010;
constexpr DWORD LINEMEDIAMODE_G3FAX = 0x00000020;
constexpr DWORD LINEMEDIAMODE_TDD = 0x00000040;
constexpr DWORD LINEMEDIAMODE_G4FAX = 0x00000080;
constexpr DWORD LINEMEDIAMODE_DIGITDATA = 0x00000100;
constexpr DWORD LINEMEDIAMODE_TELETEX = 0x00000200;
constexpr DWORD LINEMEDIAMODE_VIDEOTEX = 0x00000400;
constexpr DWORD LINEMEDIAMODE_TELEX = 0x00000800;
constexpr DWORD LINEMEDIAMODE_MIXED = 0x00001000;
constexpr DWORD LINEMEDIAMODE_ADSI = 0x00002000;
constexpr DWORD LINEMEDIAMODE_VOICEVIEW = 0x00004000;
constexpr DWORD LINEMEDIAMODE_LAST = LINEMEDIAMODE_VOICEVIEW;

constexpr DWORD LINEOFFERINGMODE_ACTIVE = 0x00000001;
constexpr DWORD LINEOFFERINGMODE_INACTIVE = 0x00000002;

constexpr DWORD LINERINGMODE_NORMAL = 0x00000001; // the provider's one ring mode

constexpr DWORD STRINGFORMAT_ASCII = 0x00000001;

// Line results: 0 or a request id on success, these (negative) on failure.
constexpr LONG LINEERR_ALLOCATED = static_cast<LONG>(0x80000001);
constexpr LONG LINEERR_BADDEVICEID = static_cast<LONG>(0x80000002);
constexpr LONG LINEERR_BEARERMODEUNAVAIL = static_cast<LONG>(0x80000003);
constexpr LONG LINEERR_CALLUNAVAIL = static_cast<LONG>(0x80000005);
constexpr LONG LINEERR_COMPLETIONOVERRUN = static_cast<LONG>(0x80000006);
constexpr LONG LINEERR_CONFERENCEFULL = static_cast<LONG>(0x80000007);
constexpr LONG LINEERR_DIALBILLING = static_cast<LONG>(0x80000008);
constexpr LONG LINEERR_DIALDIALTONE = static_cast<LONG>(0x80000009);
constexpr LONG LINEERR_DIALPROMPT = static_cast<LONG>(0x8000000A);
constexpr LONG LINEERR_DIALQUIET = static_cast<LONG>(0x8000000B);
constexpr LONG LINEERR_INCOMPATIBLEAPIVERSION = static_cast<LONG>(0x8000000C);
constexpr LONG LINEERR_INCOMPATIBLEEXTVERSION = static_cast<LONG>(0x8000000D);
constexpr LONG LINEERR_INIFILECORRUPT = static_cast<LONG>(0x8000000E);
constexpr LONG LINEERR_INUSE = static_cast<LONG>(0x8000000F);
constexpr LONG LINEERR_INVALADDRESS = static_cast<LONG>(0x80000010);
constexpr LONG LINEERR_INVALADDRESSID = static_cast<LONG>(0x80000011);
constexpr LONG LINEERR_INVALADDRESSMODE = static_cast<LONG>(0x80000012);
constexpr LONG LINEERR_INVALADDRESSSTATE = static_cast<LONG>(0x80000013);
constexpr LONG LINEERR_INVALAPPHANDLE = static_cast<LONG>(0x80000014);
constexpr LONG LINEERR_INVALAPPNAME = static_cast<LONG>(0x80000015);
constexpr LONG LINEERR_INVALBEARERMODE = static_cast<LONG>(0x80000016);
constexpr LONG LINEERR_INVALCALLCOMPLMODE = static_cast<LONG>(0x80000017);
constexpr LONG LINEERR_INVALCALLHANDLE = static_cast<LONG>(0x80000018);
constexpr LONG LINEERR_INVALCALLPARAMS = static_cast<LONG>(0x80000019);
constexpr LONG LINEERR_INVALCALLPRIVILEGE = static_cast<LONG>(0x8000001A);
constexpr LONG LINEERR_INVALCALLSELECT = static_cast<LONG>(0x8000001B);
constexpr LONG LINEERR_INVALCALLSTATE = static_cast<LONG>(0x8000001C);
constexpr LONG LINEERR_INVALCALLSTATELIST = static_cast<LONG>(0x8000001D);
constexpr LONG LINEERR_INVALCARD = static_cast<LONG>(0x8000001E);
constexpr LONG LINEERR_INVALCOMPLETIONID = static_cast<LONG>(0x8000001F);
constexpr LONG LINEERR_INVALCONFCALLHANDLE = static_cast<LONG>(0x80000020);
constexpr LONG LINEERR_INVALCONSULTCALLHANDLE = static_cast<LONG>(0x80000021);
constexpr LONG LINEERR_INVALCOUNTRYCODE = static_cast<LONG>(0x80000022);
constexpr LONG LINEERR_INVALDEVICECLASS = static_cast<LONG>(0x80000023);
constexpr LONG LINEERR_INVALDEVICEHANDLE = static_cast<LONG>(0x80000024);
constexpr LONG LINEERR_INVALDIALPARAMS = static_cast<LONG>(0x80000025);
constexpr LONG LINEERR_INVALDIGITLIST = static_cast<LONG>(0x80000026);
constexpr LONG LINEERR_INVALDIGITMODE = static_cast<LONG>(0x80000027);
constexpr LONG LINEERR_INVALDIGITS = static_cast<LONG>(0x80000028);
constexpr LONG LINEERR_INVALEXTVERSION = static_cast<LONG>(0x80000029);
constexpr LONG LINEERR_INVALGROUPID = static_cast<LONG>(0x8000002A);
constexpr LONG LINEERR_INVALLINEHANDLE = static_cast<LONG>(0x8000002B);
constexpr LONG LINEERR_INVALLINESTATE = static_cast<LONG>(0x8000002C);
constexpr LONG LINEERR_INVALLOCATION = static_cast<LONG>(0x8000002D);
constexpr LONG LINEERR_INVALMEDIALIST = static_cast<LONG>(0x8000002E);
constexpr LONG LINEERR_INVALMEDIAMODE = static_cast<LONG>(0x8000002F);
constexpr LONG LINEERR_INVALMESSAGEID = static_cast<LONG>(0x80000030);
constexpr LONG LINEERR_INVALPARAM = static_cast<LONG>(0x80000032);
constexpr LONG LINEERR_INVALPARKID = static_cast<LONG>(0x80000033);
constexpr LONG LINEERR_INVALPARKMODE = static_cast<LONG>(0x80000034);
constexpr LONG LINEERR_INVALPOINTER = static_cast<LONG>(0x80000035);
constexpr LONG LINEERR_INVALPRIVSELECT = static_cast<LONG>(0x80000036);
constexpr LONG LINEERR_INVALRATE = static_cast<LONG>(0x80000037);
constexpr LONG LINEERR_INVALREQUESTMODE = static_cast<LONG>(0x80000038);
constexpr LONG LINEERR_INVALTERMINALID = static_cast<LONG>(0x80000039);
constexpr LONG LINEERR_INVALTERMINALMODE = static_cast<LONG>(0x8000003A);
constexpr LONG LINEERR_INVALTIMEOUT = static_cast<LONG>(0x8000003B);
constexpr LONG LINEERR_INVALTONE = static_cast<LONG>(0x8000003C);
constexpr LONG LINEERR_INVALTONELIST = static_cast<LONG>(0x8000003D);
constexpr LONG LINEERR_INVALTONEMODE = static_cast<LONG>(0x8000003E);
constexpr LONG LINEERR_INVALTRANSFERMODE = static_cast<LONG>(0x8000003F);
constexpr LONG LINEERR_LINEMAPPERFAILED = static_cast<LONG>(0x80000040);
constexpr LONG LINEERR_NOCONFERENCE = static_cast<LONG>(0x80000041);
constexpr LONG LINEERR_NODEVICE = static_cast<LONG>(0x80000042);
constexpr LONG LINEERR_NODRIVER = static_cast<LONG>(0x80000043);
constexpr LONG LINEERR_NOMEM = static_cast<LONG>(0x80000044);
constexpr LONG LINEERR_NOREQUEST = static_cast<LONG>(0x80000045);
constexpr LONG LINEERR_NOTOWNER = static_cast<LONG>(0x80000046);
constexpr LONG LINEERR_NOTREGISTERED = static_cast<LONG>(0x80000047);
constexpr LONG LINEERR_OPERATIONFAILED = static_cast<LONG>(0x80000048);
constexpr LONG LINEERR_OPERATIONUNAVAIL = static_cast<LONG>(0x80000049);
constexpr LONG LINEERR_RATEUNAVAIL = static_cast<LONG>(0x8000004A);
constexpr LONG LINEERR_RESOURCEUNAVAIL = static_cast<LONG>(0x8000004B);
constexpr LONG LINEERR_REQUESTOVERRUN = static_cast<LONG>(0x8000004C);
constexpr LONG LINEERR_STRUCTURETOOSMALL = static_cast<LONG>(0x8000004D);
constexpr LONG LINEERR_TARGETNOTFOUND = static_cast<LONG>(0x8000004E);
constexpr LONG LINEERR_TARGETSELF = static_cast<LONG>(0x8000004F);
constexpr LONG LINEERR_UNINITIALIZED = static_cast<LONG>(0x80000050);
constexpr LONG LINEERR_USERUSERINFOTOOBIG = static_cast<LONG>(0x80000051);
constexpr LONG LINEERR_REINIT = static_cast<LONG>(0x80000052);
constexpr LONG LINEERR_ADDRESSBLOCKED = static_cast<LONG>(0x80000053);
constexpr LONG LINEERR_BILLINGREJECTED = static_cast<LONG>(0x80000054);
constexpr LONG LINEERR_INVALFEATURE = static_cast<LONG>(0x80000055);
constexpr LONG LINEERR_NOMULTIPLEINSTANCE = static_cast<LONG>(0x80000056);
constexpr LONG LINEERR_INVALAGENTID = static_cast<LONG>(0x80000057);
constexpr LONG LINEERR_INVALAGENTGROUP = static_cast<LONG>(0x80000058);
constexpr LONG LINEERR_INVALPASSWORD = static_cast<LONG>(0x80000059);
constexpr LONG LINEERR_INVALAGENTSTATE = static_cast<LONG>(0x8000005A);
constexpr LONG LINEERR_INVALAGENTACTIVITY = static_cast<LONG>(0x8000005B);
constexpr LONG LINEERR_DIALVOICEDETECT = static_cast<LONG>(0x8000005C);

// Phone side.
constexpr DWORD PHONEHOOKSWITCHDEV_HANDSET = 0x00000001;
constexpr DWORD PHONEHOOKSWITCHDEV_SPEAKER = 0x00000002;
constexpr DWORD PHONEHOOKSWITCHDEV_HEADSET = 0x00000004;

constexpr DWORD PHONEHOOKSWITCHMODE_ONHOOK = 0x00000001;
constexpr DWORD PHONEHOOKSWITCHMODE_MIC = 0x00000002;
constexpr DWORD PHONEHOOKSWITCHMODE_SPEAKER = 0x00000004;
constexpr DWORD PHONEHOOKSWITCHMODE_MICSPEAKER = 0x00000008;
constexpr DWORD PHONEHOOKSWITCHMODE_UNKNOWN = 0x00000010;

constexpr DWORD PHONEINITIALIZEEXOPTION_USEHIDDENWINDOW = 0x00000001;
constexpr DWORD PHONEINITIALIZEEXOPTION_USEEVENT = 0x00000002;
constexpr DWORD PHONEINITIALIZEEXOPTION_USECOMPLETIONPORT = 0x00000003;

constexpr DWORD PHONEPRIVILEGE_MONITOR = 0x00000001;
constexpr DWORD PHONEPRIVILEGE_OWNER = 0x00000002;

constexpr DWORD PHONESTATE_SPEAKERHOOKSWITCH = 0x00001000;
constexpr DWORD PHONESTATE_ALL = 0x00FFFFFF; // OTHER through REMOVED

constexpr DWORD PHONEBUTTONMODE_ALL = 0x0000003F;
constexpr DWORD PHONEBUTTONSTATE_ALL = 0x0000000F;

constexpr LONG PHONEERR_ALLOCATED = static_cast<LONG>(0x90000001);
constexpr LONG PHONEERR_BADDEVICEID = static_cast<LONG>(0x90000002);
constexpr LONG PHONEERR_INCOMPATIBLEAPIVERSION = static_cast<LONG>(0x90000003);
constexpr LONG PHONEERR_INCOMPATIBLEEXTVERSION = static_cast<LONG>(0x90000004);
constexpr LONG PHONEERR_INIFILECORRUPT = static_cast<LONG>(0x90000005);
constexpr LONG PHONEERR_INUSE = static_cast<LONG>(0x90000006);
constexpr LONG PHONEERR_INVALAPPHANDLE = static_cast<LONG>(0x90000007);
constexpr LONG PHONEERR_INVALAPPNAME = static_cast<LONG>(0x90000008);
constexpr LONG PHONEERR_INVALBUTTONLAMPID = static_cast<LONG>(0x90000009);
constexpr LONG PHONEERR_INVALBUTTONMODE = static_cast<LONG>(0x9000000A);
constexpr LONG PHONEERR_INVALBUTTONSTATE = static_cast<LONG>(0x9000000B);
constexpr LONG PHONEERR_INVALDATAID = static_cast<LONG>(0x9000000C);
constexpr LONG PHONEERR_INVALDEVICECLASS = static_cast<LONG>(0x9000000D);
constexpr LONG PHONEERR_INVALEXTVERSION = static_cast<LONG>(0x9000000E);
constexpr LONG PHONEERR_INVALHOOKSWITCHDEV = static_cast<LONG>(0x9000000F);
constexpr LONG PHONEERR_INVALHOOKSWITCHMODE = static_cast<LONG>(0x90000010);
constexpr LONG PHONEERR_INVALLAMPMODE = static_cast<LONG>(0x90000011);
constexpr LONG PHONEERR_INVALPARAM = static_cast<LONG>(0x90000012);
constexpr LONG PHONEERR_INVALPHONEHANDLE = static_cast<LONG>(0x90000013);
constexpr LONG PHONEERR_INVALPHONESTATE = static_cast<LONG>(0x90000014);
constexpr LONG PHONEERR_INVALPOINTER = static_cast<LONG>(0x90000015);
constexpr LONG PHONEERR_INVALPRIVILEGE = static_cast<LONG>(0x90000016);
constexpr LONG PHONEERR_INVALRINGMODE = static_cast<LONG>(0x90000017);
constexpr LONG PHONEERR_NODEVICE = static_cast<LONG>(0x90000018);
constexpr LONG PHONEERR_NODRIVER = static_cast<LONG>(0x90000019);
constexpr LONG PHONEERR_NOMEM = static_cast<LONG>(0x9000001A);
constexpr LONG PHONEERR_NOTOWNER = static_cast<LONG>(0x9000001B);
constexpr LONG PHONEERR_OPERATIONFAILED = static_cast<LONG>(0x9000001C);
constexpr LONG PHONEERR_OPERATIONUNAVAIL = static_cast<LONG>(0x9000001D);
constexpr LONG PHONEERR_RESOURCEUNAVAIL = static_cast<LONG>(0x9000001F);
constexpr LONG PHONEERR_REQUESTOVERRUN = static_cast<LONG>(0x90000020);
constexpr LONG PHONEERR_STRUCTURETOOSMALL = static_cast<LONG>(0x90000021);
constexpr LONG PHONEERR_UNINITIALIZED = static_cast<LONG>(0x90000022);
constexpr LONG PHONEERR_REINIT = static_cast<LONG>(0x90000023);

struct LINEDIALPARAMS {
    DWORD dwDialPause;
    DWORD dwDialSpeed;
    DWORD dwDigitDuration;
    DWORD dwWaitForDialtone;
};

struct LINEEXTENSIONID {
    DWORD dwExtensionID0;
    DWORD dwExtensionID1;
    DWORD dwExtensionID2;
    DWORD dwExtensionID3;
};
using PHONEEXTENSIONID = LINEEXTENSIONID;

struct LINEINITIALIZEEXPARAMS {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwOptions;
    union {
        DWORD hEvent;
        DWORD hCompletionPort;
    } Handles;
    DWORD dwCompletionKey;
};
using PHONEINITIALIZEEXPARAMS = LINEINITIALIZEEXPARAMS;

struct LINEMESSAGE {
    DWORD hDevice;
    DWORD dwMessageID;
    DWORD_PTR dwCallbackInstance;
    DWORD_PTR dwParam1;
    DWORD_PTR dwParam2;
    DWORD_PTR dwParam3;
};

// TAPI 2.0 form: the fixed part ends with dwCallingPartyIDOffset.
struct LINECALLPARAMS {
    DWORD dwTotalSize;
    DWORD dwBearerMode;
    DWORD dwMinRate;
    DWORD dwMaxRate;
    DWORD dwMediaMode;
    DWORD dwCallParamFlags;
    DWORD dwAddressMode;
    DWORD dwAddressID;
    LINEDIALPARAMS DialParams;
    DWORD dwOrigAddressSize;
    DWORD dwOrigAddressOffset;
    DWORD dwDisplayableAddressSize;
    DWORD dwDisplayableAddressOffset;
    DWORD dwCalledPartySize;
    DWORD dwCalledPartyOffset;
    DWORD dwCommentSize;
    DWORD dwCommentOffset;
    DWORD dwUserUserInfoSize;
    DWORD dwUserUserInfoOffset;
    DWORD dwHighLevelCompSize;
    DWORD dwHighLevelCompOffset;
    DWORD dwLowLevelCompSize;
    DWORD dwLowLevelCompOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
    DWORD dwPredictiveAutoTransferStates;
    DWORD dwTargetAddressSize;
    DWORD dwTargetAddressOffset;
    DWORD dwSendingFlowspecSize;
    DWORD dwSendingFlowspecOffset;
    DWORD dwReceivingFlowspecSize;
    DWORD dwReceivingFlowspecOffset;
    DWORD dwDeviceClassSize;
    DWORD dwDeviceClassOffset;
    DWORD dwDeviceConfigSize;
    DWORD dwDeviceConfigOffset;
    DWORD dwCallDataSize;
    DWORD dwCallDataOffset;
    DWORD dwNoAnswerTimeout;
    DWORD dwCallingPartyIDSize;
    DWORD dwCallingPartyIDOffset;
};

// TAPI 2.0 form.
struct LINEDEVCAPS {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwProviderInfoSize;
    DWORD dwProviderInfoOffset;
    DWORD dwSwitchInfoSize;
    DWORD dwSwitchInfoOffset;
    DWORD dwPermanentLineID;
    DWORD dwLineNameSize;
    DWORD dwLineNameOffset;
    DWORD dwStringFormat;
    DWORD dwAddressModes;
    DWORD dwNumAddresses;
    DWORD dwBearerModes;
    DWORD dwMaxRate;
    DWORD dwMediaModes;
    DWORD dwGenerateToneModes;
    DWORD dwGenerateToneMaxNumFreq;
    DWORD dwGenerateDigitModes;
    DWORD dwMonitorToneMaxNumFreq;
    DWORD dwMonitorToneMaxNumEntries;
    DWORD dwMonitorDigitModes;
    DWORD dwGatherDigitsMinTimeout;
    DWORD dwGatherDigitsMaxTimeout;
    DWORD dwMedCtlDigitMaxListSize;
    DWORD dwMedCtlMediaMaxListSize;
    DWORD dwMedCtlToneMaxListSize;
    DWORD dwMedCtlCallStateMaxListSize;
    DWORD dwDevCapFlags;
    DWORD dwMaxNumActiveCalls;
    DWORD dwAnswerMode;
    DWORD dwRingModes;
    DWORD dwLineStates;
    DWORD dwUUIAcceptSize;
    DWORD dwUUIAnswerSize;
    DWORD dwUUIMakeCallSize;
    DWORD dwUUIDropSize;
    DWORD dwUUISendUserUserInfoSize;
    DWORD dwUUICallInfoSize;
    LINEDIALPARAMS MinDialParams;
    LINEDIALPARAMS MaxDialParams;
    LINEDIALPARAMS DefaultDialParams;
    DWORD dwNumTerminals;
    DWORD dwTerminalCapsSize;
    DWORD dwTerminalCapsOffset;
    DWORD dwTerminalTextEntrySize;
    DWORD dwTerminalTextSize;
    DWORD dwTerminalTextOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
    DWORD dwLineFeatures;
    DWORD dwSettableDevStatus;
    DWORD dwDeviceClassesSize;
    DWORD dwDeviceClassesOffset;
};

// TAPI 2.0 form.
struct LINECALLINFO {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    HLINE hLine;
    DWORD dwLineDeviceID;
    DWORD dwAddressID;
    DWORD dwBearerMode;
    DWORD dwRate;
    DWORD dwMediaMode;
    DWORD dwAppSpecific;
    DWORD dwCallID;
    DWORD dwRelatedCallID;
    DWORD dwCallParamFlags;
    DWORD dwCallStates;
    DWORD dwMonitorDigitModes;
    DWORD dwMonitorMediaModes;
    LINEDIALPARAMS DialParams;
    DWORD dwOrigin;
    DWORD dwReason;
    DWORD dwCompletionID;
    DWORD dwNumOwners;
    DWORD dwNumMonitors;
    DWORD dwCountryCode;
    DWORD dwTrunk;
    DWORD dwCallerIDFlags;
    DWORD dwCallerIDSize;
    DWORD dwCallerIDOffset;
    DWORD dwCallerIDNameSize;
    DWORD dwCallerIDNameOffset;
    DWORD dwCalledIDFlags;
    DWORD dwCalledIDSize;
    DWORD dwCalledIDOffset;
    DWORD dwCalledIDNameSize;
    DWORD dwCalledIDNameOffset;
    DWORD dwConnectedIDFlags;
    DWORD dwConnectedIDSize;
    DWORD dwConnectedIDOffset;
    DWORD dwConnectedIDNameSize;
    DWORD dwConnectedIDNameOffset;
    DWORD dwRedirectionIDFlags;
    DWORD dwRedirectionIDSize;
    DWORD dwRedirectionIDOffset;
    DWORD dwRedirectionIDNameSize;
    DWORD dwRedirectionIDNameOffset;
    DWORD dwRedirectingIDFlags;
    DWORD dwRedirectingIDSize;
    DWORD dwRedirectingIDOffset;
    DWORD dwRedirectingIDNameSize;
    DWORD dwRedirectingIDNameOffset;
    DWORD dwAppNameSize;
    DWORD dwAppNameOffset;
    DWORD dwDisplayableAddressSize;
    DWORD dwDisplayableAddressOffset;
    DWORD dwCalledPartySize;
    DWORD dwCalledPartyOffset;
    DWORD dwCommentSize;
    DWORD dwCommentOffset;
    DWORD dwDisplaySize;
    DWORD dwDisplayOffset;
    DWORD dwUserUserInfoSize;
    DWORD dwUserUserInfoOffset;
    DWORD dwHighLevelCompSize;
    DWORD dwHighLevelCompOffset;
    DWORD dwLowLevelCompSize;
    DWORD dwLowLevelCompOffset;
    DWORD dwChargingInfoSize;
    DWORD dwChargingInfoOffset;
    DWORD dwTerminalModesSize;
    DWORD dwTerminalModesOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
    DWORD dwCallTreatment;
    DWORD dwCallDataSize;
    DWORD dwCallDataOffset;
    DWORD dwSendingFlowspecSize;
    DWORD dwSendingFlowspecOffset;
    DWORD dwReceivingFlowspecSize;
    DWORD dwReceivingFlowspecOffset;
};

// TAPI 2.0 form.
struct PHONECAPS {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwProviderInfoSize;
    DWORD dwProviderInfoOffset;
    DWORD dwPhoneInfoSize;
    DWORD dwPhoneInfoOffset;
    DWORD dwPermanentPhoneID;
    DWORD dwPhoneNameSize;
    DWORD dwPhoneNameOffset;
    DWORD dwStringFormat;
    DWORD dwPhoneStates;
    DWORD dwHookSwitchDevs;
    DWORD dwHandsetHookSwitchModes;
    DWORD dwSpeakerHookSwitchModes;
    DWORD dwHeadsetHookSwitchModes;
    DWORD dwVolumeFlags;
    DWORD dwGainFlags;
    DWORD dwDisplayNumRows;
    DWORD dwDisplayNumColumns;
    DWORD dwNumRingModes;
    DWORD dwNumButtonLamps;
    DWORD dwButtonModesSize;
    DWORD dwButtonModesOffset;
    DWORD dwButtonFunctionsSize;
    DWORD dwButtonFunctionsOffset;
    DWORD dwLampModesSize;
    DWORD dwLampModesOffset;
    DWORD dwNumSetData;
    DWORD dwSetDataSize;
    DWORD dwSetDataOffset;
    DWORD dwNumGetData;
    DWORD dwGetDataSize;
    DWORD dwGetDataOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
    DWORD dwDeviceClassesSize;
    DWORD dwDeviceClassesOffset;
    DWORD dwPhoneFeatures;
    DWORD dwSettableHandsetHookSwitchModes;
    DWORD dwSettableSpeakerHookSwitchModes;
    DWORD dwSettableHeadsetHookSwitchModes;
    DWORD dwMonitoredHandsetHookSwitchModes;
    DWORD dwMonitoredSpeakerHookSwitchModes;
    DWORD dwMonitoredHeadsetHookSwitchModes;
};

static_assert(sizeof(LINEINITIALIZEEXPARAMS) == 24);
static_assert(sizeof(LINEMESSAGE) == 24);
static_assert(sizeof(LINECALLPARAMS) == 176);
static_assert(sizeof(LINEDEVCAPS) == 252);
static_assert(sizeof(LINECALLINFO) == 324);
static_assert(sizeof(PHONECAPS) == 180);

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
    virtual LONG lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID,
                                         DWORD dwAPILowVersion, DWORD dwAPIHighVersion,
                                         DWORD *lpdwAPIVersion,
                                         LINEEXTENSIONID *lpExtensionID) = 0;
    virtual LONG lineGetDevCapsA(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPIVersion,
                                 DWORD dwExtVersion, LINEDEVCAPS *lpLineDevCaps) = 0;
    virtual LONG lineOpenA(HLINEAPP hLineApp, DWORD dwDeviceID, HLINE *lphLine,
                           DWORD dwAPIVersion, DWORD dwExtVersion, DWORD_PTR dwCallbackInstance,
                           DWORD dwPrivileges, DWORD dwMediaModes,
                           const LINECALLPARAMS *lpCallParams) = 0;
    virtual LONG lineSetStatusMessages(HLINE hLine, DWORD dwLineStates,
                                       DWORD dwAddressStates) = 0;
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
