#include "skin/SkinText.h"

#include <gtest/gtest.h>

namespace vocamo {
namespace {

TEST(SkinText, SixteenCharactersAreKeptSeventeenAreShortened)
{
    EXPECT_EQ(Ellipsize("abcdefghijklmnop"), "abcdefghijklmnop");
    EXPECT_EQ(Ellipsize("abcdefghijklmnopq"), "abcdefghijklmnop...");
    EXPECT_EQ(Ellipsize("abcdefghijklmnopqrst"), "abcdefghijklmnop...");
    EXPECT_EQ(Ellipsize(""), "");
}

TEST(SkinText, ShorteningTwiceGivesTheSameText)
{
    const std::string once = Ellipsize("Žofie Nováková-Černá");
    EXPECT_EQ(Ellipsize(once), once);
}

TEST(SkinText, MultiByteCharactersAreCountedAndKeptWhole)
{
    // Sixteen two-byte letters stay whole; seventeen lose the last one.
    std::string sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen += "ж";
    EXPECT_EQ(Ellipsize(sixteen), sixteen);
    EXPECT_EQ(Ellipsize(sixteen + "ж"), sixteen + "...");
    // A four-byte character straddling the cut stays out whole.
    const std::string mixed = "abcdefghijklmno"
                              "\xF0\x9F\x93\x9E"
                              "xyz";
    EXPECT_EQ(Ellipsize(mixed), "abcdefghijklmno\xF0\x9F\x93\x9E...");
}

TEST(SkinText, BrokenUtf8IsCutAtADefinedPlace)
{
    const std::string stray(20, '\x80');
    EXPECT_EQ(Ellipsize(stray), std::string(16, '\x80') + "...");
    const std::string truncatedLead = "abcdefghijklmnop\xE2\x82";
    EXPECT_EQ(Ellipsize(truncatedLead), "abcdefghijklmnop...");
    // A continuation byte after a plain letter is a character of its own.
    EXPECT_EQ(Ellipsize("abcdefghijklmnop\x80"), "abcdefghijklmnop...");
}

TEST(SkinText, DrawnTextIsCutTo49UnitsWithoutSplittingASurrogatePair)
{
    EXPECT_EQ(ToDrawText(std::string(60, '7')).size(), 49);
    EXPECT_EQ(ToDrawText("0123").size(), 4);
    // 48 ASCII characters and a character outside the basic plane: the pair
    // would need units 49 and 50, so it goes whole.
    const QString cut = ToDrawText(std::string(48, 'a') + "\xF0\x9F\x93\x9E");
    EXPECT_EQ(cut.size(), 48);
    EXPECT_FALSE(cut.back().isHighSurrogate());
    const QString fits = ToDrawText(std::string(47, 'a') + "\xF0\x9F\x93\x9E");
    EXPECT_EQ(fits.size(), 49);
}

TEST(SkinText, MeasuresWidthAndLines)
{
    const QSize one = MeasureText(QStringLiteral("555 0100"));
    const QSize longer = MeasureText(QStringLiteral("555 0100 555 0100"));
    const QSize two = MeasureText(QStringLiteral("555 0100\nAda Lovelace"));
    EXPECT_GT(one.width(), 30);
    EXPECT_GT(longer.width(), one.width());
    EXPECT_GE(one.height(), 12);
    EXPECT_GE(two.height(), 2 * one.height() - 2);
    EXPECT_EQ(MeasureText(QString()).width(), 0);
}

} // namespace
} // namespace vocamo
