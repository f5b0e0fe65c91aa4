#include "telephony/Trace.h"

namespace vocamo {

Q_LOGGING_CATEGORY(lcTelephony, "vocamo.telephony", QtInfoMsg)

void Trace(const std::string &text)
{
    qCDebug(lcTelephony, "%s", text.c_str());
}

} // namespace vocamo
