#pragma once

#include <cstdint>

namespace vocamo {

using WPARAM = uintptr_t;
using LPARAM = intptr_t;

constexpr unsigned WM_USER = 0x400;

// The main window's own messages; the numbers are kept from the design.
constexpr unsigned WM_APP_EVENT = WM_USER + 1;        // wParam: receiver, lParam: code
constexpr unsigned WM_NOTIFIER_CLICKED = WM_USER + 2; // from the popup
constexpr unsigned WM_REFRESH = WM_USER + 3;          // repaint request
constexpr unsigned WM_RESTORE_MAIN = WM_USER + 0x99;  // end any call, show the window

// Receivers of WM_APP_EVENT (wParam).
constexpr WPARAM RECEIVER_WINDOW = 1;
constexpr WPARAM RECEIVER_SKYPE = 2;
constexpr WPARAM RECEIVER_CONTROLLER = 3;

// Window events (wParam 1).
constexpr LPARAM EVT_SKYPE_FRIENDS = 18;
constexpr LPARAM EVT_BOOKMARKS_LOADED = 19;
constexpr LPARAM EVT_SKYPE_PARTNER = 20;
constexpr LPARAM EVT_SKYPE_STATE = 21;
constexpr LPARAM EVT_CALL_STATE = 22;
constexpr LPARAM EVT_RING = 23;
constexpr LPARAM EVT_PARTY = 24;

// Skype requests (wParam 2).
constexpr LPARAM REQ_SKYPE_FRIEND_DETAILS = 25;
constexpr LPARAM REQ_SKYPE_HANGUP = 26;
constexpr LPARAM REQ_SKYPE_ANSWER = 27;
constexpr LPARAM REQ_SKYPE_SEARCH_FRIENDS = 33;
constexpr LPARAM REQ_SKYPE_WAITING_CALL = 38; // the bridge's own, after a call's end

// Telephony events (wParam 3). 11 and 416 come from the event-name table.
constexpr LPARAM EVT_LINEDEVSTATE = 11; // LINE_LINEDEVSTATE: another ring
constexpr LPARAM EVT_CONNECTED = 28;
constexpr LPARAM EVT_IDLE = 29;
constexpr LPARAM EVT_OFFERING = 30;
constexpr LPARAM EVT_CALLERID = 32;
constexpr LPARAM EVT_BOOKMARKCHANGED = 33;
constexpr LPARAM EVT_CALLSTATE_DEFAULT = 416; // LINECALLSTATE_DEFAULT

} // namespace vocamo
