#include "skin/SkinText.h"

#include <gtest/gtest.h>
#include <utility>

using namespace vocamo;

// Names in the lists show 16 characters and dots, each line of the call
// screen's number and name on its own; a character of several bytes counts
// once and is never split, and broken UTF-8 is still cut at a defined place.
TEST(SkinText, NamesKeepSixteenCharactersThenDots)
{
    const std::string zhe16 = "жжжжжжжжжжжжжжжж";
    const std::pair<std::string, std::string> kCases[] = {
        {"abcdefghijklmnop", "abcdefghijklmnop"},
        {zhe16 + "ж", zhe16 + "..."},
        {"abcdefghijklmno\xF0\x9F\x93\x9Exyz", "abcdefghijklmno\xF0\x9F\x93\x9E..."},
        {std::string(20, '\x80'), std::string(16, '\x80') + "..."},
        {"abcdefghijklmnop\xE2\x82", "abcdefghijklmnop..."},
        {"02215550123\nAnna Berger", "02215550123\nAnna Berger"},
        {"+49221555012345678\nAnna Berger-Lindqvist", "+492215550123456...\nAnna Berger-Lind..."},
    };
    for (const auto &[text, shown] : kCases)
        EXPECT_EQ(Ellipsize(text), shown) << text;
}

// Drawn text stops at 49 UTF-16 units; a character that would need units 49
// and 50 goes whole rather than leaving half a surrogate pair.
TEST(SkinText, DrawnTextIsCutTo49UnitsWithoutSplittingASurrogatePair)
{
    EXPECT_EQ(ToDrawText(std::string(60, '7')), QString(49, QLatin1Char('7')));
    EXPECT_EQ(ToDrawText(std::string(48, 'a') + "\xF0\x9F\x93\x9E"), QString(48, QLatin1Char('a')));
    EXPECT_EQ(ToDrawText(std::string(47, 'a') + "\xF0\x9F\x93\x9E").size(), 49);
}
