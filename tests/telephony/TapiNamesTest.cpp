#include "telephony/TapiNames.h"

#include "telephony/Trace.h"

#include <QLoggingCategory>
#include <gtest/gtest.h>

using namespace vocamo;

namespace {

// Just past either end of each table a code still gets a text of its own;
// 28 to 33 are the call controller's own events.
TEST(TapiNames, CodesOutsideTheTablesGetADefinedText)
{
    for (const int32_t other : {1, 4, 9, -1, 416})
        EXPECT_EQ(StateName(other), "WORNG state") << other;
    for (const intptr_t code : {0, 19, 28, 33, 399, 417, 4109, 4132, 41514, -1})
        EXPECT_EQ(EventName(code), "") << code;
    EXPECT_EQ(LineErrorName(0x80000004), "TAPI error 0x80000004");
    EXPECT_EQ(LineErrorName(0x8000005D), "TAPI error 0x8000005D");
    EXPECT_EQ(LineErrorName(0x90000005), "TAPI error 0x90000005");
    EXPECT_EQ(PhoneErrorName(0x80000005), "TAPI error 0x80000005");
}

std::vector<std::string> g_traced;

TEST(Trace, IsSilentUntilSwitchedOnAndNeverUsesTheTextAsAFormat)
{
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &context, const QString &text) {
            if (context.category && std::string(context.category) == "vocamo.telephony")
                g_traced.push_back(text.toStdString());
        });
    Trace("RINGING");
    QLoggingCategory::setFilterRules("vocamo.telephony.debug=true");
    Trace("LINEERR_BADDEVICEID %s %d");
    QLoggingCategory::setFilterRules("");
    Trace("after");
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_traced, std::vector<std::string>{"LINEERR_BADDEVICEID %s %d"});
}

} // namespace
