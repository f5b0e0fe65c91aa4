#include "skin/SkinItemList.h"

#include "phonebook/Bookmark.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"
#include "skin/SkinImage.h"
#include "skin/SkinItem.h"
#include "skype/SkypeFriend.h"

#include <gtest/gtest.h>
#include <memory>

namespace vocamo {
namespace {

class SkinItemListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(square.LoadFromResource(QStringLiteral("IDB_BOOKMARK")));
    } // 29 x 30

    CSkinItem *AddAt(int kindAndZ, int x, int y, bool hidden = false)
    {
        auto item = std::make_unique<CSkinItem>(&square);
        item->MoveTo(x, y);
        item->SetKind(kindAndZ);
        item->SetZOrder(kindAndZ);
        item->SetHidden(hidden);
        return list.Add(std::move(item));
    }

    CSkinImage square;
    CSkinItemList list;
};

TEST_F(SkinItemListTest, AddKeepsZOrderAndPutsEqualOnesAfter)
{
    CSkinItem *a34 = AddAt(34, 0, 0);
    CSkinItem *a40 = AddAt(40, 0, 0);
    CSkinItem *a52 = AddAt(52, 0, 0);
    CSkinItem *b40 = AddAt(40, 0, 0);
    CSkinItem *a99 = AddAt(99, 0, 0);
    CSkinItem *a10 = AddAt(10, 0, 0);
    ASSERT_EQ(list.GetCount(), 6u);
    const CSkinItem *expected[] = {a10, a34, a40, b40, a52, a99};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(list.GetAt(i), expected[i]) << i;
    EXPECT_EQ(list.Add(std::unique_ptr<CSkinItem>()), nullptr);
    EXPECT_EQ(list.GetCount(), 6u);
}

TEST_F(SkinItemListTest, HitTestFindsTheTopmostShownElement)
{
    CSkinItem *panel = AddAt(63, 100, 100);
    CSkinItem *entry = AddAt(64, 110, 110);
    EXPECT_EQ(list.HitTest(115, 115), entry);
    EXPECT_EQ(list.HitTest(101, 101), panel);
    entry->SetHidden(true);
    EXPECT_EQ(list.HitTest(115, 115), panel);
}

TEST_F(SkinItemListTest, BackgroundsAreNeverHit)
{
    AddAt(34, 0, 0);
    AddAt(52, 0, 0);
    EXPECT_EQ(list.HitTest(5, 5), nullptr);
    CSkinItem *close = AddAt(53, 0, 0);
    EXPECT_EQ(list.HitTest(5, 5), close);
}

TEST_F(SkinItemListTest, RightAndBottomEdgesAreOutside)
{
    CSkinItem *item = AddAt(60, 10, 20);
    EXPECT_EQ(list.HitTest(10, 20), item);
    EXPECT_EQ(list.HitTest(38, 49), item);
    EXPECT_EQ(list.HitTest(39, 20), nullptr);
    EXPECT_EQ(list.HitTest(10, 50), nullptr);
    EXPECT_EQ(list.HitTest(9, 20), nullptr);
}

TEST_F(SkinItemListTest, TextOfAContactRowHitsTheRow)
{
    CBookmark entry("Ada Lovelace", 0);
    auto row = std::make_unique<CContactItem>(&square, &entry, nullptr);
    row->SetKind(36);
    row->SetZOrder(36);
    row->MoveTo(45, 90);
    CContactItem *added = list.Add(std::move(row));
    const SkinRect text = added->GetTextRect();
    ASSERT_GT(text.Width(), 10);
    EXPECT_EQ(list.HitTest(text.left + text.Width() / 2, text.top + 2), added);
    EXPECT_EQ(list.HitTest(added->GetWholeRect().right, 92), nullptr);
}

TEST_F(SkinItemListTest, RemoveByKindDestroysThoseAndKeepsTheOrderOfTheRest)
{
    CSkinItem *a = AddAt(36, 0, 0);
    AddAt(64, 0, 0);
    CSkinItem *b = AddAt(63, 0, 0);
    AddAt(64, 0, 0);
    CSkinItem *c = AddAt(65, 0, 0);
    EXPECT_EQ(list.RemoveByKind(64), 2u);
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.GetAt(0), a);
    EXPECT_EQ(list.GetAt(1), b);
    EXPECT_EQ(list.GetAt(2), c);
    EXPECT_EQ(list.FindByKind(64), nullptr);
    EXPECT_EQ(list.RemoveByKind(64), 0u);
}

TEST_F(SkinItemListTest, SetHiddenByKindTouchesOnlyThatKind)
{
    CSkinItem *a = AddAt(40, 0, 0);
    CSkinItem *b = AddAt(40, 0, 0);
    CSkinItem *c = AddAt(41, 0, 0);
    list.SetHiddenByKind(40, true);
    EXPECT_TRUE(a->IsHidden());
    EXPECT_TRUE(b->IsHidden());
    EXPECT_FALSE(c->IsHidden());
}

TEST_F(SkinItemListTest, ShowMatchingTextShowsTheMatchingFriendRowOnly)
{
    CSkypeFriend alice("alice", 0), bob("bob", 1), bob2("bob", 2);
    alice.displayName = "Alice";
    bob.displayName = "Bob";
    CContactItem *rows[3];
    CSkypeFriend *friends[] = {&alice, &bob, &bob2};
    for (int i = 0; i < 3; ++i) {
        auto row = std::make_unique<CContactItem>(&square, friends[i], i ? rows[i - 1] : nullptr);
        row->SetKind(35);
        row->SetZOrder(35);
        row->SetHidden(i != 0);
        rows[i] = list.Add(std::move(row));
    }
    EXPECT_EQ(list.ShowMatchingText(35, "bob"), rows[1]) << "the frontmost match";
    EXPECT_TRUE(rows[0]->IsHidden());
    EXPECT_FALSE(rows[1]->IsHidden());
    EXPECT_FALSE(rows[2]->IsHidden());
    EXPECT_EQ(list.ShowMatchingText(35, "Bob"), nullptr) << "the handle, compared exactly";
    EXPECT_TRUE(rows[1]->IsHidden());
}

TEST_F(SkinItemListTest, LayoutAllPlacesRowsInListOrder)
{
    CBookmark a("A", 0), b("B", 1);
    auto first = std::make_unique<CContactItem>(&square, &a, nullptr);
    auto second = std::make_unique<CContactItem>(&square, &b, first.get());
    first->SetNext(second.get());
    first->MoveTo(45, 90);
    for (auto *row : {first.get(), second.get()}) {
        row->SetKind(36);
        row->SetZOrder(36);
    }
    CContactItem *top = list.Add(std::move(first));
    CContactItem *below = list.Add(std::move(second));
    top->SetOffset(0, 4);
    list.LayoutAll();
    EXPECT_EQ(top->GetImageRect().top, 94);
    EXPECT_EQ(below->GetImageRect().top, top->GetWholeRect().bottom + 5);
}

} // namespace
} // namespace vocamo
