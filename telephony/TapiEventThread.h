#pragma once

namespace vocamo {

class CTapiClient;

// The body of a TAPI client's event thread: waits for the line's messages
// and reports each relevant one to the window as (WM_APP_EVENT, 3, code),
// writing the offered call's handle and the caller ID into the client before
// the event that announces them. Returns 0 when the client's stop flag is
// set, or at once when the client has nowhere to post.
int TapiEventThread(CTapiClient *client);

} // namespace vocamo
