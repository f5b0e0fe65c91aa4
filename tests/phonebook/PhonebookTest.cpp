// The phonebook store: Bookmark.ini read whole, entries saved and deleted by name.
#include "phonebook/Phonebook.h"

#include "tests/support/ProfileWriteFault.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

class PhonebookTest : public ::testing::Test {
protected:
    PhonebookTest() { file.SetPathName(path.c_str()); }
    std::unique_ptr<CBookmarkList> Load() { return LoadBookmarks(file, path); }
    void Given(const std::string &bytes) { TempDir::Write(path, bytes); }
    std::string File() const { return TempDir::Read(path); }

    TempDir dir;
    std::string path = BookmarkPathFor(dir.Path());
    CIniFile file;
};

// CIniFile's first read uses 512 characters; listings and values that fill it to
// the last few, and far longer ones, still come back whole.
TEST_F(PhonebookTest, ListingsAndValuesLongerThanTheFirstBufferAreReadWhole)
{
    for (const size_t bytes : {509u, 510u, 511u, 512u, 600u, 1022u, 200000u}) {
        // Names whose characters and NULs fill exactly `bytes` of the listing.
        std::vector<std::string> names{};
        std::string text;
        for (size_t used = 0; used < bytes; used += names.back().size() + 1) {
            names.push_back(std::to_string(names.size()));
            names.back().resize(bytes - used - 1 >= 19 ? 9 : bytes - used - 1, 'n');
            text += "[" + names.back() + "]\n";
        }
        Given(text);
        std::vector<std::string> listed{"stale"};
        file.GetSectionNames(listed);
        EXPECT_EQ(listed, names) << bytes;
    }
    for (const size_t length : {510u, 511u, 512u, 600u, 1023u, 1024u, 70000u}) {
        Given("[A]\nk=" + std::string(length, 'v') + "\n");
        EXPECT_EQ(file.GetString("A", "k", ""), std::string(length, 'v')) << length;
    }
}

TEST_F(PhonebookTest, LoadReadsEverySectionInFileOrder)
{
    EXPECT_EQ(Load()->GetCount(), 0); // no file yet
    Given("[Anna]\nPhone_Home=0221 55 01 23\nPhone_Office=\nPhone_Mobile=0171\n"
          "[#@@#]\nPhone_Home=1\n[Bob]\nPhone_Mobile=0172\nOther=x\n[Carl]\n");
    std::unique_ptr<CBookmarkList> list;
    EXPECT_EQ(ProfileReplacements([&] { list = Load(); }), 0); // reading never writes
    ASSERT_EQ(list->GetCount(), 3); // a probe section left by older versions is no entry
    const CBookmark *anna = list->FindByIndex(0);
    EXPECT_EQ(anna->name + "|" + anna->home + "|" + anna->office + "|" + anna->mobile,
              "Anna|0221 55 01 23||0171");
    // A section without keys is an entry with three empty numbers.
    const CBookmark *carl = list->FindByIndex(2);
    EXPECT_EQ(carl->name + carl->home + carl->office + carl->mobile, "Carl");
}

TEST_F(PhonebookTest, SaveAndDeleteWorkOnTheSectionOfThatNameInAnyCase)
{
    // The first save creates the file, with the three numbers in one replacement.
    EXPECT_EQ(ProfileReplacements([&] { EXPECT_FALSE(SaveBookmark(file, "Anna", "1", "", "3")); }),
              1);
    EXPECT_EQ(File(), "[Anna]\nPhone_Home=1\nPhone_Office=\nPhone_Mobile=3\n");
    Given("[Anna]\nPhone_Home=1\nPhone_Office=2\nPhone_Mobile=3\n[Bob]\n");
    SaveBookmark(file, "ANNA", "4", "5", "6");
    SaveBookmark(file, " \t ", "7", "8", "9"); // a blank name writes nothing
    EXPECT_EQ(File(), "[Anna]\nPhone_Home=4\nPhone_Office=5\nPhone_Mobile=6\n[Bob]\n");
    DeleteBookmark(file, "anna");
    DeleteBookmark(file, "Nobody");
    EXPECT_EQ(File(), "[Bob]\n");
}

// Beside the program when its folder is writable; else in the user's config
// folder, from the installed sample and never over the user's own.
TEST_F(PhonebookTest, LivesBesideTheProgramOrInTheConfigFolderFromTheSample)
{
    EXPECT_EQ(BookmarkLocation(dir.Path()), path);
    const std::string exeDir = dir.File("lib/vocamo"); // missing, so not writable
    const std::string mine = dir.File("config/vocamo/Bookmark.ini");
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    EXPECT_EQ(BookmarkLocation(exeDir), mine);
    EXPECT_TRUE(std::filesystem::is_empty(mine)); // no sample installed
    std::filesystem::remove(mine);
    std::filesystem::create_directories(dir.File("share/vocamo"));
    TempDir::Write(dir.File("share/vocamo/Bookmark.ini"), "[Anna]\n");
    EXPECT_EQ(BookmarkLocation(exeDir), mine);
    EXPECT_EQ(TempDir::Read(mine), "[Anna]\n");
    TempDir::Write(mine, "[Mine]\n");
    EXPECT_EQ(BookmarkLocation(exeDir), mine);
    EXPECT_EQ(TempDir::Read(mine), "[Mine]\n");
    unsetenv("XDG_CONFIG_HOME");
}

} // namespace
