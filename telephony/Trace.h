#pragma once

#include <QLoggingCategory>
#include <string>

namespace vocamo {

// The telephony trace: silent unless switched on with
// QT_LOGGING_RULES="vocamo.telephony.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcTelephony)

void Trace(const std::string &text);

} // namespace vocamo
