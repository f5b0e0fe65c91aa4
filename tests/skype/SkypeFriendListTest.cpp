#include "skype/SkypeFriendList.h"
#include "skype/SkypeText.h"

#include <gtest/gtest.h>

using namespace vocamo;

TEST(SkypeFriend, NewRecordHoldsItsPlaceholders)
{
    const CSkypeFriend alice("alice", 2);
    EXPECT_EQ(alice.index, 2u);
    EXPECT_EQ(alice.handle, "alice");
    EXPECT_EQ(alice.fullName, "b");
    EXPECT_EQ(alice.onlineStatus, "s");
    EXPECT_EQ(alice.about, "m");
    EXPECT_EQ(alice.hasCallEquipment, "m");
    EXPECT_EQ(alice.receivedAuthRequest, "w");
}

TEST(SkypeFriendList, FindsByIndexFromTheBackAndByHandleFromTheFront)
{
    CSkypeFriendList list;
    list.Append(new CSkypeFriend("alice", 0));
    list.Append(new CSkypeFriend("bob", 1));
    list.Append(new CSkypeFriend("carol", 2));
    list.Append(new CSkypeFriend("bob", 1)); // a second record with index 1
    list.Append(nullptr);

    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.FindByIndex(1), list.GetAt(3));
    EXPECT_EQ(list.FindByHandle("bob"), list.GetAt(1));
    EXPECT_EQ(list.FindByIndex(4), nullptr);
    EXPECT_EQ(list.FindByHandle("Bob"), nullptr);
    EXPECT_EQ(list.GetAt(4), nullptr);

    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.FindByIndex(0), nullptr);
}

TEST(SkypeText, ReplacesIllFormedSequences)
{
    EXPECT_TRUE(IsValidUtf8("J\xC3\xB6rg \xEF\xBF\xBD"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));         // cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));     // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
    EXPECT_EQ(MakeValidUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    // A truncated sequence is one replacement, and the byte after it stays.
    EXPECT_EQ(MakeValidUtf8("\xE2\x82" "x"), "\xEF\xBF\xBD" "x");
    EXPECT_EQ(CutToUtf16Units("\xC3\x28", 49), "\xEF\xBF\xBD(");
}
