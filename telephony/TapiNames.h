#pragma once

#include <cstdint>
#include <string>

// Names of what happens on the modem line, for the diagnostic trace.
namespace vocamo {

// "INIT", "NORMAL", "DIALING", "RINGING", "ANSWERING"; "WORNG state" otherwise.
std::string StateName(int32_t state);

// The program's own numbering of TAPI messages, call states and call modes;
// empty for a code it does not list.
std::string EventName(intptr_t code);

// The TAPI constant's name, or "TAPI error 0x........" for a code without one.
std::string LineErrorName(uint32_t code);
std::string PhoneErrorName(uint32_t code);

} // namespace vocamo
