#include "phonebook/Phonebook.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

class Phonebook : public ::testing::Test {
protected:
    std::unique_ptr<CBookmarkList> Load() { return LoadBookmarks(file, path); }
    void Given(const std::string &bytes) { TempDir::Write(path, bytes); }
    std::string File() const { return TempDir::Read(path); }
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        file.GetSectionNames(names);
        return names;
    }

    TempDir dir;
    std::string path = BookmarkPathFor(dir.Path());
    CIniFile file;
};

TEST(BookmarkPath, IsBookmarkIniInTheFolder)
{
    EXPECT_EQ(BookmarkPathFor("/opt/vocamo/bin"), "/opt/vocamo/bin/Bookmark.ini");
}

TEST_F(Phonebook, LoadReadsEverySectionInFileOrder)
{
    Given("[Anna]\nPhone_Home=0221 55 01 23\nPhone_Office=\nPhone_Mobile=0171 555 0199\n"
          "[Bob]\nPhone_Mobile=\"0172\"\nOther=x\n"
          "[Carl]\n");
    const auto list = Load();
    EXPECT_EQ(file.GetPathName(), path);
    ASSERT_EQ(list->GetCount(), 3);
    const CBookmark *anna = list->FindByIndex(0);
    ASSERT_TRUE(anna);
    EXPECT_EQ(anna->name, "Anna");
    EXPECT_EQ(anna->home, "0221 55 01 23");
    EXPECT_EQ(anna->office, "");
    EXPECT_EQ(anna->mobile, "0171 555 0199");
    EXPECT_EQ(list->FindByIndex(1)->mobile, "0172");
    // A section without keys is an entry with three empty numbers.
    const CBookmark *carl = list->FindByIndex(2);
    EXPECT_EQ(carl->name, "Carl");
    EXPECT_EQ(carl->home + carl->office + carl->mobile, "");
    EXPECT_EQ(list->FindByIndex(3), nullptr);
}

TEST_F(Phonebook, TwoLoadsGiveTheSameEntries)
{
    Given("[Anna]\nPhone_Home=1\n[Bob]\nPhone_Office=2\n");
    const auto first = Load();
    const auto second = Load();
    ASSERT_EQ(first->GetCount(), second->GetCount());
    for (uint32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(first->FindByIndex(i)->name, second->FindByIndex(i)->name);
        EXPECT_EQ(first->FindByIndex(i)->home, second->FindByIndex(i)->home);
        EXPECT_EQ(first->FindByIndex(i)->office, second->FindByIndex(i)->office);
        EXPECT_NE(first->FindByIndex(i), second->FindByIndex(i));
    }
}

TEST_F(Phonebook, MissingFileLoadsEmptyAndTheFirstSaveCreatesIt)
{
    EXPECT_EQ(Load()->GetCount(), 0);
    SaveBookmark(file, "Anna", "1", "", "3");
    EXPECT_EQ(File(), "[Anna]\nPhone_Home=1\nPhone_Office=\nPhone_Mobile=3\n");
}

TEST_F(Phonebook, SaveUpdatesTheSectionThatDiffersOnlyInCase)
{
    Given("[Anna]\nPhone_Home=1\nPhone_Office=2\nPhone_Mobile=3\n[Bob]\n");
    file.SetPathName(path.c_str());
    SaveBookmark(file, "ANNA", "4", "5", "6");
    EXPECT_EQ(File(), "[Anna]\nPhone_Home=4\nPhone_Office=5\nPhone_Mobile=6\n[Bob]\n");
}

TEST_F(Phonebook, BlankNameWritesNothing)
{
    Given("[Anna]\n");
    file.SetPathName(path.c_str());
    SaveBookmark(file, " \t ", "1", "2", "3");
    SaveBookmark(file, "", "1", "2", "3");
    EXPECT_EQ(File(), "[Anna]\n");
}

TEST_F(Phonebook, NameWithSurroundingBlanksIsOneEntry)
{
    file.SetPathName(path.c_str());
    SaveBookmark(file, " Bob ", "1", "", "");
    SaveBookmark(file, " Bob ", "2", "", "");
    const auto list = Load();
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->FindByIndex(0)->name, "Bob");
    EXPECT_EQ(list->FindByIndex(0)->home, "2");
}

TEST_F(Phonebook, ChangedNameLeavesTheOldSection)
{
    Given("[Anna]\nPhone_Home=1\nPhone_Office=\nPhone_Mobile=\n");
    file.SetPathName(path.c_str());
    SaveBookmark(file, "Anna B.", "1", "", "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Anna", "Anna B."}));
    EXPECT_EQ(file.GetString("Anna", "Phone_Home", ""), "1");
}

TEST_F(Phonebook, LongNumbersSurviveARoundTrip)
{
    const std::string longNumber(600, '7');
    file.SetPathName(path.c_str());
    SaveBookmark(file, "Anna", longNumber, "", "");
    EXPECT_EQ(Load()->FindByIndex(0)->home, longNumber);
}

TEST_F(Phonebook, DeleteRemovesOnlyThatSection)
{
    Given("[Anna]\nPhone_Home=1\n; about Bob\n[Bob]\nPhone_Home=2\n[Carl]\n");
    file.SetPathName(path.c_str());
    DeleteBookmark(file, "anna");
    EXPECT_EQ(File(), "[Bob]\nPhone_Home=2\n[Carl]\n");
    DeleteBookmark(file, "Nobody");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bob", "Carl"}));
}

TEST_F(Phonebook, ProbeSectionDoesNotSurviveALoad)
{
    Given("[Anna]\n[#@@#]\nPhone_Home=1\n[Bob]\n");
    const auto list = Load();
    ASSERT_EQ(list->GetCount(), 2);
    EXPECT_EQ(list->FindByIndex(1)->name, "Bob");
    EXPECT_EQ(File(), "[Anna]\n[Bob]\n");
}

TEST(BookmarkList, FindsByIndexFromTheBack)
{
    CBookmarkList list;
    list.Append(new CBookmark("first", 0));
    list.Append(nullptr);
    list.Append(new CBookmark("second", 1));
    list.Append(new CBookmark("again", 0));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.FindByIndex(0)->name, "again");
    EXPECT_EQ(list.FindByIndex(1)->name, "second");
    EXPECT_EQ(list.FindByIndex(2), nullptr);
}

} // namespace
