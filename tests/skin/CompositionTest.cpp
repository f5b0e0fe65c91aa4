#include "skin/Composition.h"

#include "phonebook/Bookmark.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skin/SkinImage.h"
#include "skin/SkinItem.h"
#include "skin/SkinItemList.h"
#include "skin/SkinText.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

namespace vocamo {
namespace {

// The smallest rectangle holding every pixel where the two pictures differ.
QRect Difference(const QImage &a, const QImage &b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool FullyTransparent(const QImage &picture, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(picture.pixel(x, y)) != 0)
                return false;
    return true;
}

class CompositionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(person.LoadFromResource(QStringLiteral("IDB_BOY1"))); }

    QImage ComposeOne(int kindAndZ, const std::string &text)
    {
        CSkinItemList list;
        auto item = std::make_unique<CSkinItem>(&person);
        item->SetKind(kindAndZ);
        item->SetZOrder(kindAndZ);
        item->MoveTo(45, 90);
        item->SetText(text);
        list.Add(std::move(item));
        return ComposeWindow(list, "");
    }

    CSkinImage person;
};

TEST_F(CompositionTest, PictureIsTransparentWhereNoElementIs)
{
    CSkin skin;
    skin.Items().LayoutAll();
    const QImage picture = ComposeWindow(skin.Items(), "");
    ASSERT_EQ(picture.size(), QSize(360, 550));
    EXPECT_EQ(picture.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(FullyTransparent(picture, QRect(245, 0, 115, 550))) << "right of the telephone";
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << "outside the rounded corner";
    EXPECT_EQ(qAlpha(picture.pixel(120, 250)), 255) << "the screen";

    CSkinItemList empty;
    EXPECT_TRUE(FullyTransparent(ComposeWindow(empty, "123"), QRect(0, 0, 360, 550)))
        << "no display, no text";
}

TEST_F(CompositionTest, HiddenElementLeavesNoTrace)
{
    CSkin skin;
    skin.Items().LayoutAll();
    const QImage before = ComposeWindow(skin.Items(), "");
    skin.Items().SetHiddenByKind(63, false);
    const QImage shown = ComposeWindow(skin.Items(), "");
    const QRect panel(120, 110, 235, 156);
    const QRect changed = Difference(before, shown);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE(panel.contains(changed)) << "only the panel appears";
    skin.Items().SetHiddenByKind(63, true);
    EXPECT_EQ(ComposeWindow(skin.Items(), ""), before);
}

TEST_F(CompositionTest, UnselectedRowIsDrawnAtAbout39Percent)
{
    CBookmark entry("Ada", 0);
    CSkinItemList list;
    auto row = std::make_unique<CContactItem>(&person, &entry, nullptr);
    row->SetKind(36);
    row->SetZOrder(36);
    row->MoveTo(45, 90);
    CContactItem *added = list.Add(std::move(row));
    const QImage dim = ComposeWindow(list, "");
    added->SetSelected(true);
    const QImage lit = ComposeWindow(list, "");
    // Every opaque pixel of the person keeps about 100 of 255.
    int opaque = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 16; ++x) {
            if (qAlpha(person.GetImage().pixel(x, y)) != 255)
                continue;
            ++opaque;
            EXPECT_EQ(qAlpha(lit.pixel(45 + x, 90 + y)), 255);
            EXPECT_NEAR(qAlpha(dim.pixel(45 + x, 90 + y)), 100, 2);
        }
    EXPECT_GT(opaque, 20);
}

TEST_F(CompositionTest, LineAndCallButtonsDimWhenNotActive)
{
    CSkin skin;
    const CSkin::Elements &e = skin.GetElements();
    skin.Items().LayoutAll();
    const QPoint middle(91, 504); // the call-start button's centre
    e.callStart->SetActive(true);
    const QImage lit = ComposeWindow(skin.Items(), "");
    e.callStart->SetActive(false);
    const QImage dim = ComposeWindow(skin.Items(), "");
    EXPECT_NE(lit.pixel(middle), dim.pixel(middle));
    EXPECT_EQ(Difference(lit, dim).intersected(QRect(71, 484, 41, 41)), Difference(lit, dim));
}

TEST_F(CompositionTest, DisplayTextOnlyWithADialString)
{
    CSkin skin;
    skin.Items().LayoutAll();
    QImage withoutText = NewSkinPicture(kWindowWidth, kWindowHeight);
    {
        QPainter painter(&withoutText);
        skin.Items().Paint(painter);
    }
    EXPECT_EQ(ComposeWindow(skin.Items(), ""), withoutText);

    const QRect text = Difference(withoutText, ComposeWindow(skin.Items(), "0123456"));
    ASSERT_FALSE(text.isEmpty());
    // Anchored by its top left 7 right and 5 down from the display's corner.
    const SkinRect display = skin.GetElements().display->GetWholeRect();
    EXPECT_GE(text.left(), display.left + 7);
    EXPECT_LE(text.left(), display.left + 10);
    EXPECT_GE(text.top(), display.top + 5);
    EXPECT_LE(text.bottom(), display.bottom);
}

TEST_F(CompositionTest, DisplayTextFollowsTheDisplayWhenTheKeypadShows)
{
    CSkin skin;
    skin.SetKeypadHidden(false);
    skin.Items().LayoutAll();
    const QRect text =
        Difference(ComposeWindow(skin.Items(), ""), ComposeWindow(skin.Items(), "555"));
    EXPECT_GE(text.top(), 329 + 5);
    EXPECT_LE(text.bottom(), 329 + 25);
}

TEST_F(CompositionTest, SeventeenCharacterNameIsDrawnAsSixteenAndDots)
{
    EXPECT_EQ(ComposeOne(36, "abcdefghijklmnopq"), ComposeOne(36, "abcdefghijklmnop..."));
    EXPECT_NE(ComposeOne(36, "abcdefghijklmnop"), ComposeOne(36, "abcdefghijklmnop..."));
}

TEST_F(CompositionTest, NumberEntryIsNeverShortened)
{
    EXPECT_NE(ComposeOne(64, "01234567890123456789"), ComposeOne(64, "0123456789012345..."));
}

TEST_F(CompositionTest, CallButtonAndNumberTextsAreWhiteOthersBlack)
{
    const QImage dark = ComposeOne(36, "WWWW");
    const QImage light = ComposeOne(64, "WWWW");
    auto strongest = [](const QImage &picture, bool white) {
        int best = white ? 0 : 255;
        for (int y = 90; y < 120; ++y)
            for (int x = 61; x < 140; ++x) {
                const QRgb p = picture.pixel(x, y);
                if (qAlpha(p) < 250)
                    continue;
                best = white ? std::max(best, qRed(p)) : std::min(best, qRed(p));
            }
        return best;
    };
    EXPECT_LE(strongest(dark, false), 10);
    EXPECT_GE(strongest(light, true), 240);
}

TEST_F(CompositionTest, NothingIsComposedWhileTheListIsBeingRebuilt)
{
    CSkin skin;
    skin.Items().LayoutAll();
    QImage picture;
    bool painting = true;
    EXPECT_FALSE(ComposeWindow(picture, skin.Items(), "1", &painting));
    EXPECT_TRUE(picture.isNull());
    painting = false;
    EXPECT_TRUE(ComposeWindow(picture, skin.Items(), "1", &painting));
    EXPECT_FALSE(painting);
    EXPECT_EQ(picture, ComposeWindow(skin.Items(), "1"));
    // The same picture again starts from transparent, not from the last frame.
    skin.Items().SetHiddenByKind(52, true);
    EXPECT_TRUE(ComposeWindow(picture, skin.Items(), "1", &painting));
    EXPECT_EQ(qAlpha(picture.pixel(120, 30)), 0);
}

TEST_F(CompositionTest, LongTextsAreCutTo49Units)
{
    EXPECT_EQ(ComposeOne(64, std::string(60, '9')), ComposeOne(64, std::string(49, '9')));
}

} // namespace
} // namespace vocamo
