#include "platform/tapi/ModemOutputParser.h"

#include "platform/tapi/DialString.h"

#include <gtest/gtest.h>

namespace vocamo {
namespace {

std::vector<ModemOutput> FeedInPieces(const std::string &bytes, size_t piece)
{
    CModemOutputParser parser;
    std::vector<ModemOutput> out;
    for (size_t i = 0; i < bytes.size(); i += piece)
        parser.Feed(std::string_view(bytes).substr(i, piece),
                    [&](const ModemOutput &o) { out.push_back(o); });
    return out;
}

std::vector<std::string> Texts(const std::vector<ModemOutput> &all)
{
    std::vector<std::string> texts;
    for (const ModemOutput &o : all)
        texts.push_back(o.kind == ModemOutput::Line ? o.text : std::string("DLE:") + o.code);
    return texts;
}

TEST(ModemOutputParser, LinesCutAnywhereComeOutTheSame)
{
    const std::string stream = "ATZ\r\r\nOK\r\n\r\nRING\r\n\r\nNMBR = 5551234\r\nVCON\r\n";
    const std::vector<std::string> expected = {"ATZ", "OK", "RING", "NMBR = 5551234", "VCON"};
    for (size_t piece : {1u, 2u, 3u, 7u, 100u})
        EXPECT_EQ(Texts(FeedInPieces(stream, piece)), expected) << "piece " << piece;
}

TEST(ModemOutputParser, ResultsWithoutBlankLinesOrWithBareLineFeeds)
{
    EXPECT_EQ(Texts(FeedInPieces("OK\rBUSY\n\n\nNO CARRIER\r\n", 4)),
              (std::vector<std::string>{"OK", "BUSY", "NO CARRIER"}));
}

TEST(ModemOutputParser, DleCodesAreEventsAndShieldedDleIsData)
{
    const std::string stream = std::string("\x10R") + "\x10\x10" + "\r\nOK\r\n" + "\x10" + "b";
    EXPECT_EQ(Texts(FeedInPieces(stream, 1)), (std::vector<std::string>{"DLE:R", "OK", "DLE:b"}));
}

TEST(ModemOutputParser, OverlongLineIsDroppedAndTheNextOneSurvives)
{
    const std::string stream = std::string(CModemOutputParser::kMaxLine + 10, 'X') + "\r\nRING\r\n";
    EXPECT_EQ(Texts(FeedInPieces(stream, 64)), (std::vector<std::string>{"RING"}));
}

TEST(ModemOutputParser, ControlBytesNulsAndEscapeSequencesAreIgnored)
{
    EXPECT_EQ(Texts(FeedInPieces(std::string("O\0K\x07\r\n", 6), 1)),
              (std::vector<std::string>{"OK"}));
    EXPECT_EQ(Texts(FeedInPieces("\x1b[31mNMBR = 555\x1b[0m\x1b[2J1234\x1b"
                                 "c\r\n",
                                 1)),
              (std::vector<std::string>{"NMBR = 5551234c"}));
}

TEST(ModemOutputParser, ResultsAreMatchedByPrefix)
{
    EXPECT_EQ(ClassifyModemLine("OK"), ModemResult::Ok);
    EXPECT_EQ(ClassifyModemLine("RINGING"), ModemResult::Ringing);
    EXPECT_EQ(ClassifyModemLine("RING"), ModemResult::Ring);
    EXPECT_EQ(ClassifyModemLine("NO DIALTONE"), ModemResult::NoDialtone);
    EXPECT_EQ(ClassifyModemLine("NO DIAL TONE"), ModemResult::NoDialtone);
    EXPECT_EQ(ClassifyModemLine("NO ANSWER"), ModemResult::NoAnswer);
    EXPECT_EQ(ClassifyModemLine("NO CARRIER"), ModemResult::NoCarrier);
    EXPECT_EQ(ClassifyModemLine("CONNECT 33600"), ModemResult::Connect);
    EXPECT_EQ(ClassifyModemLine("VCON"), ModemResult::Vcon);
    EXPECT_EQ(ClassifyModemLine("BUSY"), ModemResult::Busy);
    EXPECT_EQ(ClassifyModemLine("at+vls=1"), ModemResult::Echo);
    EXPECT_EQ(ClassifyModemLine("NMBR=5551234"), ModemResult::CallerId);
    EXPECT_EQ(ClassifyModemLine("0,1,8"), ModemResult::Other);
}

TEST(ModemOutputParser, CallerIdTagsWithAndWithoutSpaces)
{
    std::string tag, value;
    ASSERT_TRUE(ParseCallerIdLine("NMBR = 5551234", tag, value));
    EXPECT_EQ(tag, "NMBR");
    EXPECT_EQ(value, "5551234");
    ASSERT_TRUE(ParseCallerIdLine("DDN_NMBR=0301234", tag, value));
    EXPECT_EQ(tag, "DDN_NMBR");
    EXPECT_EQ(value, "0301234");
    ASSERT_TRUE(ParseCallerIdLine("NAME = JOHN DOE", tag, value));
    EXPECT_EQ(value, "JOHN DOE");
    EXPECT_FALSE(ParseCallerIdLine("= 123", tag, value));
    EXPECT_FALSE(ParseCallerIdLine("nmbr = 1", tag, value));
}

TEST(ModemOutputParser, CapabilityListsInTheirCommonForms)
{
    EXPECT_EQ(ParseCapabilityList({"0,1,8"}), (std::vector<int>{0, 1, 8}));
    EXPECT_EQ(ParseCapabilityList({"(0-2,8)"}), (std::vector<int>{0, 1, 2, 8}));
    EXPECT_EQ(ParseCapabilityList({"0,\"\",00000000,0F000000", "7,\"ST\",00000000,0F000000"}),
              (std::vector<int>{0, 7}));
    EXPECT_TRUE(ParseCapabilityList({"99999999999-99999999999"}).empty());
}

TEST(DialString, KeepsDialCharactersAndDropsPunctuation)
{
    EXPECT_EQ(FilterDialString("+49 (30) 123-45.67"), "+49301234567");
    EXPECT_EQ(FilterDialString("9w*31#,p,t!"), "9W*31#,P,T!");
}

TEST(DialString, RefusesAnythingThatCouldReachTheModemAsACommand)
{
    EXPECT_FALSE(FilterDialString("123;ATZ"));
    EXPECT_FALSE(FilterDialString("123\rATH"));
    EXPECT_FALSE(FilterDialString("123\n"));
    EXPECT_FALSE(FilterDialString("ATD123"));
    EXPECT_FALSE(FilterDialString(""));
    EXPECT_FALSE(FilterDialString(" - "));
    EXPECT_FALSE(FilterDialString(std::string(kMaxDialDigits + 1, '1')));
    EXPECT_TRUE(FilterDialString(std::string(kMaxDialDigits, '1')));
}

} // namespace
} // namespace vocamo
