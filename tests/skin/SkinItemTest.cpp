#include "skin/SkinItem.h"

#include "phonebook/Bookmark.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "skype/SkypeFriend.h"

#include <gtest/gtest.h>

namespace vocamo {
namespace {

class SkinItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(person.LoadFromResource(QStringLiteral("IDB_BOY1"))); // 16 x 25
        ASSERT_TRUE(home.LoadFromResource(QStringLiteral("IDB_HOME")));   // 34 x 35
        ASSERT_TRUE(close.LoadFromResource(QStringLiteral("IDB_CLOSE"))); // 12 x 12
    }
    CSkinImage person;
    CSkinImage home;
    CSkinImage close;
};

TEST_F(SkinItemTest, StartsAtTheOriginWithItsImageSize)
{
    CSkinItem item(&home);
    EXPECT_EQ(item.GetImageRect(), (SkinRect{0, 0, 34, 35}));
    EXPECT_EQ(item.GetWholeRect(), (SkinRect{0, 0, 34, 35}));
    EXPECT_EQ(item.GetTextRect(), SkinRect{});
    EXPECT_FALSE(item.IsHidden());
}

TEST_F(SkinItemTest, SetTextPutsTheTextBesideThePictureAndGrowsTheWhole)
{
    CSkinButton entry(&home);
    entry.SetKind(kind::kNumberEntry);
    entry.MoveTo(134, 124);
    entry.SetText("0123 456 789");
    const QSize size = MeasureText(QStringLiteral("0123 456 789"));
    EXPECT_EQ(entry.GetTextRect(), (SkinRect{178, 132, 168 + size.width(), 124 + size.height()}));
    EXPECT_EQ(entry.GetWholeRect(), (SkinRect{134, 124, 168 + size.width(), 159}));
}

TEST_F(SkinItemTest, TextTallerThanThePictureExtendsTheWholeDown)
{
    CSkinItem item(&close);
    item.SetText("555 0100\nAda Lovelace");
    const QSize size = MeasureText(QStringLiteral("555 0100\nAda Lovelace"));
    ASSERT_GT(size.height(), 12);
    EXPECT_EQ(item.GetWholeRect().bottom, size.height());
}

TEST_F(SkinItemTest, MoveToKeepsANumberEntrysTextTenRightAndEightDown)
{
    CSkinButton entry(&home);
    entry.SetKind(kind::kNumberEntry);
    entry.SetText("0123");
    const SkinRect before = entry.GetTextRect();
    entry.MoveTo(134, 174);
    EXPECT_EQ(entry.GetTextRect().left, 134 + 34 + 10);
    EXPECT_EQ(entry.GetTextRect().top, 174 + 8);
    EXPECT_EQ(entry.GetTextRect().Width(), before.Width());
    EXPECT_EQ(entry.GetWholeRect().left, 134);
    EXPECT_EQ(entry.GetWholeRect().top, 174);
}

TEST_F(SkinItemTest, MoveToPutsOtherTextFlushAgainstThePicture)
{
    CSkinItem item(&person);
    item.SetKind(kind::kPlaceholderRow);
    item.SetText("Unknown");
    const SkinRect text = item.GetTextRect();
    const SkinRect whole = item.GetWholeRect();
    item.MoveTo(45, 90);
    EXPECT_EQ(item.GetTextRect(), (SkinRect{61, 90, 61 + text.Width(), 90 + text.Height()}));
    EXPECT_EQ(item.GetWholeRect(), (SkinRect{45, 90, 45 + whole.Width(), 90 + whole.Height()}));
    EXPECT_EQ(item.GetImageRect(), (SkinRect{45, 90, 61, 115}));
}

TEST_F(SkinItemTest, AnOffsetMovesTheElementAgainAtEveryLayout)
{
    CSkinItem item(&close);
    item.MoveTo(10, 10);
    item.SetOffset(0, -3);
    item.Layout();
    item.Layout();
    EXPECT_EQ(item.GetImageRect().top, 4);
    item.SetOffset(0, 0);
    item.Layout();
    EXPECT_EQ(item.GetImageRect().top, 4);
}

TEST_F(SkinItemTest, NumberEntryFollowsItsLinkFifteenBelow)
{
    CSkinButton first(&home);
    first.SetKind(kind::kNumberEntry);
    first.MoveTo(134, 124);
    first.SetText("111");
    CSkinButton second(&home, &first);
    second.SetKind(kind::kNumberEntry);
    second.SetText("222");
    first.SetPartner(&second);
    first.Layout();
    second.Layout();
    EXPECT_EQ(second.GetImageRect().left, 134);
    EXPECT_EQ(second.GetImageRect().top, first.GetWholeRect().bottom + 15);
    EXPECT_EQ(first.GetPartner(), &second);
}

TEST_F(SkinItemTest, ALinkedButtonOfAnotherKindStaysPut)
{
    CSkinButton skype(&close);
    skype.MoveTo(12, 44);
    CSkinButton modem(&close, &skype);
    modem.SetKind(kind::kModemButton);
    modem.MoveTo(119, 44);
    modem.SetOffset(5, 5);
    modem.Layout();
    EXPECT_EQ(modem.GetImageRect().left, 119);
    EXPECT_EQ(modem.GetImageRect().top, 44);
}

TEST_F(SkinItemTest, ChainOfRowsFollowsTheFirstRowsOffset)
{
    CBookmark a("Alice", 0), b("Bob", 1), c("Carol", 2);
    CContactItem first(&person, &a, nullptr);
    CContactItem second(&person, &b, &first);
    CContactItem third(&person, &c, &second);
    first.SetNext(&second);
    second.SetNext(&third);
    first.MoveTo(45, 90);
    for (auto *row : {&first, &second, &third})
        row->Layout();
    EXPECT_EQ(second.GetImageRect().top, first.GetWholeRect().bottom + 5);
    EXPECT_EQ(third.GetImageRect().top, second.GetWholeRect().bottom + 5);
    EXPECT_EQ(third.GetImageRect().left, 45);

    first.SetOffset(0, -7);
    for (auto *row : {&first, &second, &third})
        row->Layout();
    EXPECT_EQ(first.GetImageRect().top, 83);
    EXPECT_EQ(second.GetImageRect().top, first.GetWholeRect().bottom + 5);
    EXPECT_EQ(third.GetImageRect().top, second.GetWholeRect().bottom + 5);
}

TEST_F(SkinItemTest, ChainHidingReachesEveryFollowingRowOnly)
{
    CBookmark a("A", 0), b("B", 1), c("C", 2);
    CContactItem first(&person, &a, nullptr);
    CContactItem second(&person, &b, &first);
    CContactItem third(&person, &c, &second);
    first.SetNext(&second);
    second.SetNext(&third);
    second.SetChainHidden(true);
    EXPECT_FALSE(first.IsHidden());
    EXPECT_TRUE(second.IsHidden());
    EXPECT_TRUE(third.IsHidden());
    first.SetChainHidden(false);
    EXPECT_FALSE(third.IsHidden());
}

TEST_F(SkinItemTest, RowTextIsTheShortenedNameOrTheFriendsBestLabel)
{
    CBookmark longName("Maximilian von Habsburg", 0);
    EXPECT_EQ(CContactItem(&person, &longName, nullptr).GetText(), "Maximilian von H...");

    CSkypeFriend f("echo123", 0);
    f.displayName = "";
    f.fullName = "Echo Sound Test";
    CContactItem row(&person, &f, nullptr);
    EXPECT_EQ(row.GetText(), "Echo Sound Test");
    EXPECT_EQ(row.GetName(), "echo123");
    f.fullName = "";
    EXPECT_EQ(CContactItem(&person, &f, nullptr).GetText(), "echo123");
    EXPECT_GT(row.GetTextRect().Width(), 0) << "a row's text can be hit";
}

TEST_F(SkinItemTest, NumbersOfAPhonebookRow)
{
    CBookmark entry("Grace", 0);
    entry.office = "555 0200";
    entry.mobile = "555 0300";
    CContactItem row(&person, &entry, nullptr);
    EXPECT_EQ(row.GetFirstNumber(), "555 0200");
    EXPECT_EQ(row.GetNumber("Home"), "");
    EXPECT_EQ(row.GetNumber("Office"), "555 0200");
    EXPECT_EQ(row.GetNumber("Mobile"), "555 0300");
    EXPECT_EQ(row.GetNumber("Fax"), "");
    EXPECT_EQ(row.GetName(), "Grace");

    CSkypeFriend f("grace.h", 0);
    CContactItem friendRow(&person, &f, nullptr);
    EXPECT_EQ(friendRow.GetFirstNumber(), "");
    EXPECT_EQ(friendRow.GetNumber("Home"), "");
}

} // namespace
} // namespace vocamo
