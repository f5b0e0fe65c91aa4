#include "platform/tapi/ModemOutputParser.h"

#include "platform/tapi/DialString.h"

#include <gtest/gtest.h>

namespace vocamo {
namespace {

using Strings = std::vector<std::string>;

// What the parser makes of `bytes` fed in pieces of `piece` bytes: lines, and
// DLE codes as "DLE:<code>".
Strings FeedInPieces(const std::string &bytes, size_t piece)
{
    CModemOutputParser parser;
    Strings out;
    for (size_t i = 0; i < bytes.size(); i += piece)
        parser.Feed(std::string_view(bytes).substr(i, piece), [&](const ModemOutput &o) {
            out.push_back(o.kind == ModemOutput::Line ? o.text : std::string("DLE:") + o.code);
        });
    return out;
}

// Cut anywhere, the same bytes give the same lines: blank lines and bare CRs
// or LFs end lines, a shielded DLE is data, an overlong line is dropped whole,
// control bytes, NULs and escape sequences are ignored.
TEST(ModemOutputParser, BytesCutAnywhereGiveTheSameLinesAndCodes)
{
    const std::pair<std::string, Strings> kCases[] = {
        {"ATZ\r\r\nOK\r\n\r\nRING\r\n\r\nNMBR = 5551234\r\nVCON\r\n",
         {"ATZ", "OK", "RING", "NMBR = 5551234", "VCON"}},
        {"OK\rBUSY\n\n\nNO CARRIER\r\n", {"OK", "BUSY", "NO CARRIER"}},
        {std::string("\x10R\x10\x10\r\nOK\r\n\x10") + "b", {"DLE:R", "OK", "DLE:b"}},
        {std::string(CModemOutputParser::kMaxLine + 10, 'X') + "\r\nRING\r\n", {"RING"}},
        {std::string("O\0K\x07\r\n", 6), {"OK"}},
        {"\x1b[31mNMBR = 555\x1b[0m\x1b[2J1234\x1b"
         "c\r\n",
         {"NMBR = 5551234c"}},
    };
    for (const auto &[bytes, lines] : kCases)
        for (const size_t piece : {1u, 2u, 3u, 7u, 100u})
            EXPECT_EQ(FeedInPieces(bytes, piece), lines) << "pieces of " << piece;
}

// By prefix, the longer result first; a lower-case line is the modem's echo.
TEST(ModemOutputParser, ResultsAreMatchedByPrefix)
{
    const std::pair<const char *, ModemResult> kCases[] = {
        {"RINGING", ModemResult::Ringing},
        {"RING", ModemResult::Ring},
        {"NO DIAL TONE", ModemResult::NoDialtone},
        {"CONNECT 33600", ModemResult::Connect},
        {"at+vls=1", ModemResult::Echo},
        {"NMBR=5551234", ModemResult::CallerId},
        {"0,1,8", ModemResult::Other}};
    for (const auto &[line, result] : kCases)
        EXPECT_EQ(ClassifyModemLine(line), result) << line;
}

TEST(ModemOutputParser, CallerIdTagsWithAndWithoutSpaces)
{
    std::string tag, value;
    ASSERT_TRUE(ParseCallerIdLine("NMBR = 5551234", tag, value));
    EXPECT_EQ(tag + "|" + value, "NMBR|5551234");
    ASSERT_TRUE(ParseCallerIdLine("DDN_NMBR=0301234", tag, value));
    EXPECT_EQ(tag + "|" + value, "DDN_NMBR|0301234");
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

// Dial characters are kept and punctuation dropped; anything that could reach
// the modem as a command is refused whole.
TEST(DialString, KeepsDialCharactersAndRefusesWhatCouldBeACommand)
{
    EXPECT_EQ(FilterDialString("+49 (30) 123-45.67"), "+49301234567");
    EXPECT_EQ(FilterDialString("9w*31#,p,t!"), "9W*31#,P,T!");
    EXPECT_TRUE(FilterDialString(std::string(kMaxDialDigits, '1')));
    for (const std::string &bad : {std::string("123;ATZ"), std::string("123\rATH"),
                                   std::string("123\n"), std::string("ATD123"), std::string(),
                                   std::string(" - "), std::string(kMaxDialDigits + 1, '1')})
        EXPECT_FALSE(FilterDialString(bad)) << bad;
}

} // namespace
} // namespace vocamo
