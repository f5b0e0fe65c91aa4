#include "skin/Skin.h"

#include "phonebook/Bookmark.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"
#include "skin/SkinItem.h"

#include <deque>
#include <gtest/gtest.h>

namespace vocamo {
namespace {

struct Placed {
    int kind;
    int x;
    int y;
    int width;
    int height;
    bool hidden;
};

// The window at start-up: kind, place, size, hidden.
const Placed kStartUp[] = {
    {34, 23, 71, 190, 397, false}, {52, 0, 0, 239, 550, false},   {55, 12, 44, 107, 23, true},
    {56, 119, 44, 106, 23, true},  {57, 71, 484, 41, 41, false},  {58, 128, 484, 41, 41, false},
    {53, 211, 19, 12, 12, false},  {59, 196, 488, 29, 30, true},  {60, 13, 489, 29, 30, false},
    {38, 24, 443, 189, 25, false}, {39, 24, 354, 189, 114, true}, {63, 120, 110, 235, 156, true},
    {65, 325, 118, 12, 12, true},  {61, 201, 71, 12, 26, false},  {62, 201, 418, 12, 25, false},
    {37, 45, 90, 16, 25, true},
};

TEST(Skin, StartUpElementsAreWhereTheWindowExpectsThem)
{
    CSkin skin;
    ASSERT_TRUE(skin.AllImagesLoaded());
    for (const Placed &p : kStartUp) {
        SCOPED_TRACE(p.kind);
        const CSkinItem *item = skin.Items().FindByKind(p.kind);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetImageRect(), (SkinRect{p.x, p.y, p.x + p.width, p.y + p.height}));
        EXPECT_EQ(item->IsHidden(), p.hidden);
        EXPECT_EQ(item->GetZOrder(), p.kind);
    }
    EXPECT_EQ(skin.Items().GetCount(), 28u);
}

TEST(Skin, LineButtonsArePairedAndLit)
{
    CSkin skin;
    const CSkin::Elements &e = skin.GetElements();
    EXPECT_EQ(e.skypeButton->GetPartner(), e.modemButton);
    EXPECT_EQ(e.modemButton->GetLink(), e.skypeButton);
    EXPECT_TRUE(e.skypeButton->IsActive());
    EXPECT_TRUE(e.modemButton->IsActive());
    EXPECT_EQ(e.placeholderRow->GetText(), "Unknown");
}

TEST(Skin, ShowingTheKeypadMovesDisplayAndDownArrowUp)
{
    CSkin skin;
    const CSkin::Elements &e = skin.GetElements();
    skin.SetKeypadHidden(false);
    EXPECT_EQ(e.display->GetImageRect().top, 329);
    EXPECT_EQ(e.downArrow->GetImageRect().top, 304);
    EXPECT_FALSE(e.keypadPlate->IsHidden());
    for (std::size_t i = 0; i < e.keys.size(); ++i) {
        EXPECT_EQ(e.keys[i]->GetKind(), static_cast<int>(40 + i)); // 1 2 3 ... 0 * #
        EXPECT_FALSE(e.keys[i]->IsHidden());
    }
    // A point on a key hits it only while the keypad shows.
    EXPECT_EQ(skin.Items().HitTest(40, 360), e.keys[0]);

    skin.SetKeypadHidden(true);
    EXPECT_EQ(e.display->GetImageRect().top, 443);
    EXPECT_EQ(e.downArrow->GetImageRect().top, 418);
    EXPECT_EQ(skin.Items().HitTest(40, 360), nullptr);
    EXPECT_TRUE(skin.IsKeypadHidden());
}

TEST(Skin, PanelEntryIsHitBeforeThePanel)
{
    CSkin skin;
    skin.Items().SetHiddenByKind(63, false);
    CSkinButton *entry = skin.AddNumberEntry(CSkin::Number::Home, "555 0100", nullptr);
    EXPECT_EQ(skin.Items().HitTest(140, 130), entry);
    EXPECT_EQ(skin.Items().HitTest(300, 250), skin.GetElements().panel);
    EXPECT_EQ(skin.Items().HitTest(120, 30), nullptr) << "the frame alone";
}

TEST(Skin, NameRowsChainFromTheFirstPlace)
{
    CSkin skin;
    std::deque<CBookmark> book;
    CContactItem *previous = nullptr;
    CContactItem *first = nullptr;
    for (int i = 0; i < 4; ++i) {
        book.emplace_back("Name " + std::to_string(i), static_cast<uint32_t>(i));
        previous = skin.AddNameRow(book.back(), previous);
        first = first ? first : previous;
    }
    skin.Items().LayoutAll();
    EXPECT_EQ(first->GetImageRect(), (SkinRect{45, 90, 61, 115}));
    EXPECT_EQ(first->GetNext()->GetImageRect().top, 120);
    EXPECT_EQ(previous->GetImageRect().top, 180);
    EXPECT_TRUE(previous->IsHidden());
    EXPECT_EQ(previous->GetKind(), 36);
    EXPECT_EQ(skin.Items().RemoveByKind(36), 4u);
}

TEST(Skin, NumberEntriesStackFifteenApart)
{
    CSkin skin;
    CSkinButton *home = skin.AddNumberEntry(CSkin::Number::Home, "111", nullptr);
    CSkinButton *mobile = skin.AddNumberEntry(CSkin::Number::Mobile, "222", home);
    CSkinButton *office = skin.AddNumberEntry(CSkin::Number::Office, "333", mobile);
    skin.Items().LayoutAll();
    EXPECT_EQ(home->GetImageRect().top, 124);
    EXPECT_EQ(mobile->GetImageRect().top, 124 + 35 + 15);
    EXPECT_EQ(office->GetImageRect().top, 174 + 35 + 15);
    EXPECT_EQ(office->GetTextRect().left, 134 + 34 + 10);
    EXPECT_EQ(home->GetPartner(), mobile);
    EXPECT_EQ(office->GetLink(), mobile);
    EXPECT_EQ(mobile->GetImage(), &skin.NumberImage(CSkin::Number::Mobile));
}

TEST(Skin, UnknownImageNameIsNotInTheSkin)
{
    CSkin skin;
    EXPECT_EQ(skin.FindImage("IDB_NOPE"), nullptr);
    ASSERT_NE(skin.FindImage("IDB_CLOSE"), nullptr);
    EXPECT_EQ(skin.FindImage("IDB_CLOSE")->GetWidth(), 12u);
}

TEST(Skin, DecodedImagesStayUnderFourMegabytes)
{
    CSkin skin;
    EXPECT_GT(skin.DecodedImageBytes(), 0u);
    EXPECT_LE(skin.DecodedImageBytes(), 4u * 1024 * 1024);
}

} // namespace
} // namespace vocamo
