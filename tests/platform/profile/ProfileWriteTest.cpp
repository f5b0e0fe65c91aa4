#include "platform/profile/Profile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

class ProfileWrite : public ::testing::Test {
protected:
    bool Set(const char *section, const char *key, const char *value)
    {
        return WritePrivateProfileStringA(section, key, value, path.c_str()) != 0;
    }
    std::string Get(const char *section, const char *key)
    {
        char buffer[256];
        GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, path.c_str());
        return buffer;
    }
    void Given(const std::string &bytes) { TempDir::Write(path, bytes); }
    std::string File() const { return TempDir::Read(path); }

    TempDir dir;
    std::string path = dir.File("Bookmark.ini");
};

TEST_F(ProfileWrite, NewFileGetsLfLinesAndSectionsInWritingOrder)
{
    EXPECT_TRUE(Set("Anna", "Phone_Home", "0221 55 01 23"));
    EXPECT_TRUE(Set("Bob", "Phone_Home", ""));
    EXPECT_TRUE(Set("Anna", "Phone_Office", "2"));
    EXPECT_EQ(File(), "[Anna]\nPhone_Home=0221 55 01 23\nPhone_Office=2\n[Bob]\nPhone_Home=\n");
}

TEST_F(ProfileWrite, UpdateKeepsTheFirstSpellingOfSectionAndKey)
{
    Given("[Anna]\nPhone_Home=1\n[anna]\nPhone_Home=x\n");
    EXPECT_TRUE(Set("ANNA", "PHONE_HOME", "2"));
    EXPECT_EQ(File(), "[Anna]\nPhone_Home=2\n[anna]\nPhone_Home=x\n");
}

TEST_F(ProfileWrite, LeadingBlanksOfNamesAndValuesAreDropped)
{
    EXPECT_TRUE(Set("  Anna ", "  k", "  v "));
    EXPECT_EQ(File(), "[Anna ]\nk=v \n");
    EXPECT_EQ(Get("Anna", "k"), "v");
}

TEST_F(ProfileWrite, CrlfCommentsAndBomSurviveAWrite)
{
    const std::string before = "\xEF\xBB\xBF; phonebook\r\n"
                               "[Anna]\r\n"
                               "; family\r\n"
                               "Phone_Home = 1\r\n"
                               "\r\n"
                               "; business\r\n"
                               "[Bob]\r\n"
                               "Phone_Home=2\r\n";
    Given(before);
    EXPECT_TRUE(Set("Anna", "Phone_Home", "9"));
    EXPECT_TRUE(Set("Anna", "Phone_Mobile", "7"));
    EXPECT_TRUE(Set("Carl", "Phone_Home", "3"));
    EXPECT_EQ(File(), "\xEF\xBB\xBF; phonebook\r\n"
                      "[Anna]\r\n"
                      "; family\r\n"
                      "Phone_Home=9\r\n"
                      "Phone_Mobile=7\r\n"
                      "\r\n"
                      "; business\r\n"
                      "[Bob]\r\n"
                      "Phone_Home=2\r\n"
                      "[Carl]\r\n"
                      "Phone_Home=3\r\n");
}

TEST_F(ProfileWrite, FileWithoutFinalNewlineIsContinuedOnANewLine)
{
    Given("[A]\nk=1");
    EXPECT_TRUE(Set("A", "j", "2"));
    EXPECT_EQ(File(), "[A]\nk=1\nj=2\n");
    Given("[A]");
    EXPECT_TRUE(Set("A", "j", "2"));
    EXPECT_EQ(File(), "[A]\nj=2\n");
}

TEST_F(ProfileWrite, NullValueDeletesTheKeyAndNullKeyTheSection)
{
    Given("[A]\nk=1\nj=2\n[B]\n; about B\nk=3\n[C]\nk=4\n");
    EXPECT_TRUE(Set("a", "K", nullptr));
    EXPECT_TRUE(Set("b", nullptr, ""));
    EXPECT_EQ(File(), "[A]\nj=2\n[C]\nk=4\n");
    // Deleting what is not there succeeds and changes nothing.
    EXPECT_TRUE(Set("missing", nullptr, ""));
    EXPECT_TRUE(Set("A", "missing", nullptr));
    EXPECT_EQ(File(), "[A]\nj=2\n[C]\nk=4\n");
}

TEST_F(ProfileWrite, SectionWriteReplacesKeysAndKeepsComments)
{
    Given("[A]\n; note\nk=1\nj=2\n; trailer\n[B]\nk=3\n");
    EXPECT_TRUE(WritePrivateProfileSectionA("a", "x=9\0y=8\0", path.c_str()));
    EXPECT_EQ(File(), "[A]\n; note\nx=9\ny=8\n; trailer\n[B]\nk=3\n");
    EXPECT_TRUE(WritePrivateProfileSectionA("B", "", path.c_str()));
    EXPECT_EQ(File(), "[A]\n; note\nx=9\ny=8\n; trailer\n[B]\n");
    EXPECT_TRUE(WritePrivateProfileSectionA("New", "", path.c_str()));
    EXPECT_EQ(File(), "[A]\n; note\nx=9\ny=8\n; trailer\n[B]\n[New]\n");
    EXPECT_TRUE(WritePrivateProfileSectionA("A", nullptr, path.c_str()));
    EXPECT_EQ(File(), "[B]\n[New]\n");
}

TEST_F(ProfileWrite, WriteThatChangesNothingLeavesTheFileUntouched)
{
    Given("[A]\nk = 1 \n");
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    EXPECT_TRUE(Set("a", "K", "1"));
    EXPECT_TRUE(WritePrivateProfileSectionA("A", nullptr, dir.File("other.ini").c_str()));
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(File(), "[A]\nk = 1 \n");
    // A deletion in a missing file does not create it.
    EXPECT_NE(access(dir.File("other.ini").c_str(), F_OK), 0);
}

TEST_F(ProfileWrite, TextThatWouldNotReadBackIsRefused)
{
    Given("[A]\nk=1\n");
    EXPECT_FALSE(Set("A", "k", "1\n[Evil]"));
    EXPECT_FALSE(Set("A\r\nB", "k", "1"));
    EXPECT_FALSE(Set("A", ";k", "1"));
    EXPECT_FALSE(Set("A", "a=b", "1"));
    EXPECT_FALSE(Set("A", "[x]", "1"));
    EXPECT_FALSE(Set("A", "  ", "1"));
    EXPECT_FALSE(WritePrivateProfileSectionA("A", "x=1\nz=2\0", path.c_str()));
    EXPECT_FALSE(Set(nullptr, "k", "1"));
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "1", nullptr));
    EXPECT_EQ(File(), "[A]\nk=1\n");
}

TEST_F(ProfileWrite, ReplacementKeepsTheFileModeAndFollowsALink)
{
    Given("[A]\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const std::string link = dir.File("link.ini");
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "1", link.c_str()));
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(File(), "[A]\nk=1\n");
}

} // namespace
