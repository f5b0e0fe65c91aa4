#include "telephony/TapiNames.h"

#include "telephony/Trace.h"

#include <QLoggingCategory>
#include <QString>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vocamo;

namespace {

TEST(StateName, NamesTheFiveStatesAndNothingElse)
{
    EXPECT_EQ(StateName(0), "INIT");
    EXPECT_EQ(StateName(5), "NORMAL");
    EXPECT_EQ(StateName(6), "DIALING");
    EXPECT_EQ(StateName(7), "RINGING");
    EXPECT_EQ(StateName(8), "ANSWERING");
    for (const int32_t other : {1, 2, 3, 4, 9, -1, 416})
        EXPECT_EQ(StateName(other), "WORNG state") << other;
}

TEST(EventName, EachGroupRunsFromItsFirstCodeWithoutGaps)
{
    EXPECT_EQ(EventName(1), "LINE_ADDRESSSTATE");
    EXPECT_EQ(EventName(11), "LINE_LINEDEVSTATE");
    EXPECT_EQ(EventName(18), "LINE_DEFAULT");
    EXPECT_EQ(EventName(400), "LINECALLSTATE_ACCEPTED");
    EXPECT_EQ(EventName(413), "LINECALLSTATE_OFFERING");
    EXPECT_EQ(EventName(416), "LINECALLSTATE_DEFAULT");
    EXPECT_EQ(EventName(4110), "LINEBUSYMODE_STATION");
    EXPECT_EQ(EventName(4114), "LINEBUSYMODE_DEFAULT");
    EXPECT_EQ(EventName(4120), "LINEDIALTONEMODE_EXTERNAL");
    EXPECT_EQ(EventName(4126), "LINEDIALTONEMODE_DEFAULT");
    EXPECT_EQ(EventName(4130), "LINEOFFERINGMODE_ACTIVE");
    EXPECT_EQ(EventName(4131), "LINEOFFERINGMODE_INACTIVE");
    EXPECT_EQ(EventName(4140), "LINECONNECTEDMODE_ACTIVE");
    EXPECT_EQ(EventName(4145), "LINECONNECTEDMODE_DEFAULT");
    EXPECT_EQ(EventName(41500), "LINEDISCONNECTMODE_NORMAL");
    EXPECT_EQ(EventName(41512), "LINEDISCONNECTMODE_NODIALTONE");
    EXPECT_EQ(EventName(41513), "LINEDISCONNECTMODE_DEFAULT");
}

TEST(EventName, CodesOutsideTheTableAreEmpty)
{
    // 28 to 33 are the call controller's own events.
    for (const intptr_t code : {0, 19, 28, 29, 30, 32, 33, 399, 417, 4109, 4115, 4119, 4127, 4132,
                                4139, 4146, 41499, 41514, -1})
        EXPECT_EQ(EventName(code), "") << code;
}

TEST(LineErrorName, NamesEveryAssignedCodeOfTheRange)
{
    EXPECT_EQ(LineErrorName(0x80000001), "LINEERR_ALLOCATED");
    EXPECT_EQ(LineErrorName(0x80000002), "LINEERR_BADDEVICEID");
    EXPECT_EQ(LineErrorName(0x80000005), "LINEERR_CALLUNAVAIL");
    EXPECT_EQ(LineErrorName(0x80000010), "LINEERR_INVALADDRESS");
    EXPECT_EQ(LineErrorName(0x80000030), "LINEERR_INVALMESSAGEID");
    EXPECT_EQ(LineErrorName(0x80000032), "LINEERR_INVALPARAM");
    EXPECT_EQ(LineErrorName(0x80000048), "LINEERR_OPERATIONFAILED");
    EXPECT_EQ(LineErrorName(0x8000005C), "LINEERR_DIALVOICEDETECT");
    for (uint32_t code = 0x80000001; code <= 0x8000005C; ++code) {
        if (code != 0x80000004 && code != 0x80000031) {
            EXPECT_EQ(LineErrorName(code).rfind("LINEERR_", 0), 0u) << std::hex << code;
        }
    }
}

TEST(LineErrorName, UnassignedCodesGetAClearText)
{
    EXPECT_EQ(LineErrorName(0x80000004), "TAPI error 0x80000004");
    EXPECT_EQ(LineErrorName(0x80000031), "TAPI error 0x80000031");
    EXPECT_EQ(LineErrorName(0x8000005D), "TAPI error 0x8000005D");
    EXPECT_EQ(LineErrorName(0x80000000), "TAPI error 0x80000000");
    EXPECT_EQ(LineErrorName(0), "TAPI error 0x00000000");
    EXPECT_EQ(LineErrorName(0x90000005), "TAPI error 0x90000005");
}

TEST(PhoneErrorName, NamesOnlyItsSevenCodes)
{
    EXPECT_EQ(PhoneErrorName(0x90000005), "PHONEERR_INIFILECORRUPT");
    EXPECT_EQ(PhoneErrorName(0x90000008), "PHONEERR_INVALAPPNAME");
    EXPECT_EQ(PhoneErrorName(0x90000012), "PHONEERR_INVALPARAM");
    EXPECT_EQ(PhoneErrorName(0x90000015), "PHONEERR_INVALPOINTER");
    EXPECT_EQ(PhoneErrorName(0x9000001A), "PHONEERR_NOMEM");
    EXPECT_EQ(PhoneErrorName(0x9000001C), "PHONEERR_OPERATIONFAILED");
    EXPECT_EQ(PhoneErrorName(0x90000023), "PHONEERR_REINIT");
    EXPECT_EQ(PhoneErrorName(0x90000002), "TAPI error 0x90000002");
    EXPECT_EQ(PhoneErrorName(0x80000005), "TAPI error 0x80000005");
}

std::vector<std::string> g_traced;

void Collect(QtMsgType, const QMessageLogContext &context, const QString &text)
{
    if (context.category && std::string(context.category) == "vocamo.telephony")
        g_traced.push_back(text.toStdString());
}

TEST(Trace, IsSilentUntilSwitchedOn)
{
    const QtMessageHandler previous = qInstallMessageHandler(Collect);
    g_traced.clear();
    Trace("RINGING");
    EXPECT_TRUE(g_traced.empty());

    QLoggingCategory::setFilterRules("vocamo.telephony.debug=true");
    Trace("LINEERR_BADDEVICEID %s %d");
    QLoggingCategory::setFilterRules("");
    Trace("after");
    qInstallMessageHandler(previous);
    // The text is passed through "%s", never used as a format.
    EXPECT_EQ(g_traced, std::vector<std::string>{"LINEERR_BADDEVICEID %s %d"});
}

} // namespace
