// How the profile functions read and change an INI file.
#include "platform/profile/Profile.h"

#include "tests/support/TempDir.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace vocamo;
using namespace std::string_literals;
using vocamo::test::TempDir;

namespace {

class Profile : public ::testing::Test {
protected:
    // A value, or with a null section the list of names without its final NUL.
    std::string Get(const char *section, const char *key, const char *def = "def")
    {
        std::vector<char> buffer(4096);
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD n =
            section ? GetPrivateProfileStringA(section, key, def, buffer.data(), size, path.c_str())
                    : GetPrivateProfileSectionNamesA(buffer.data(), size, path.c_str());
        return std::string(buffer.data(), n);
    }
    bool Set(const char *section, const char *key, const char *value)
    {
        return WritePrivateProfileStringA(section, key, value, path.c_str()) != 0;
    }
    void Given(const std::string &bytes) { TempDir::Write(path, bytes); }
    std::string File() const { return TempDir::Read(path); }

    TempDir dir;
    std::string path = dir.File("Bookmark.ini");
};

using Write = std::tuple<const char *, const char *, const char *>;

TEST_F(Profile, ReadsAsTheFileMeansIt)
{
    const std::tuple<std::string, const char *, const char *, std::string> cases[] = {
        // Names without regard to ASCII case or surrounding blanks.
        {"[Anna]\nPhone_Home=1\n", "ANNA", "phone_home", "1"},
        {"[  Bob Smith  ]\n  k  =  2 3  \n", " bob smith", "K", "2 3"},
        // The first of duplicate sections and keys.
        {"[A]\nk=first\nk=second\n[a]\nk=third\nj=2\n", "a", "k", "first"},
        {"[A]\nk=first\nk=second\n[a]\nk=third\nj=2\n", "A", "j", "def"},
        // One pair of surrounding quotes stripped, nothing else.
        {"[A]\nd=\"0221 55\"\n", "A", "d", "0221 55"},
        {"[A]\ns='x'\n", "A", "s", "x"},
        {"[A]\no=\"z'\n", "A", "o", "\"z'"},
        {"[A]\ni=a\"b\"c\n", "A", "i", "a\"b\"c"},
        // BOM, CRLF and comments; a broken header is no header.
        {"\xEF\xBB\xBF[A]\r\n; k=comment\r\nk=1\r\n", "A", "k", "1"},
        {"[A]\r\n[B\r\nx=2\r\nno equals sign\r\n", "A", "x", "2"},
        {"[A]\r\n[B\r\nx=2\r\nno equals sign\r\n", "A", "no equals sign", "def"},
        {"[A]\rk=1\r[B]\rx=2\r", "B", "x", "2"}, // bare CR, as old Mac editors end lines
        {"[A]\nempty=\n", "A", "empty", ""},
        // Every header in file order, but an empty name would end the list early.
        {"[A]\n[a]\n[]\nk=1\n[B]\n", nullptr, nullptr, "A\0a\0B\0"s},
    };
    for (const auto &[file, section, key, expected] : cases) {
        Given(file);
        EXPECT_EQ(Get(section, key), expected) << file;
    }
}

// size - 1 says a value was cut, size - 2 a list: readers grow their buffer on it.
TEST_F(Profile, WhatDoesNotFitIsCutAndSaysSo)
{
    Given("[alpha]\nk=abcdefghij\nu=\xC3\xA4\xC3\xA4\xC3\xA4\n[beta]\n");
    char buffer[16];
    const char *file = path.c_str();
    EXPECT_EQ(GetPrivateProfileStringA("alpha", "k", "", buffer, 5, file), 4u);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(GetPrivateProfileStringA("alpha", "u", "", buffer, 4, file), 3u);
    EXPECT_STREQ(buffer, "\xC3\xA4"); // never half a character
    // "alpha\0beta\0\0" takes 12.
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 12, file), 11u);
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 11, file), 9u);
    EXPECT_EQ(std::string(buffer, 11), "alpha\0bet\0\0"s);
}

TEST_F(Profile, WritesChangeOnlyWhatTheyName)
{
    const std::tuple<std::string, std::vector<Write>, std::string> cases[] = {
        // A new file gets LF lines, sections in writing order.
        {"",
         {{"Anna", "Phone_Home", "0221 55"}, {"Bob", "Phone_Home", ""}, {"Anna", "Mobile", "2"}},
         "[Anna]\nPhone_Home=0221 55\nMobile=2\n[Bob]\nPhone_Home=\n"},
        // The first spelling of duplicates is the one changed.
        {"[Anna]\nPhone_Home=1\n[anna]\nPhone_Home=x\n",
         {{"ANNA", "PHONE_HOME", "2"}},
         "[Anna]\nPhone_Home=2\n[anna]\nPhone_Home=x\n"},
        // BOM, CRLF, comments and blank lines stay.
        {"\xEF\xBB\xBF; phonebook\r\n[Anna]\r\n; family\r\nPhone_Home = 1\r\n\r\n[Bob]\r\n",
         {{"Anna", "Phone_Home", "9"}, {"Anna", "Mobile", "7"}, {"Carl", "Phone_Home", "3"}},
         "\xEF\xBB\xBF; phonebook\r\n[Anna]\r\n; family\r\nPhone_Home=9\r\nMobile=7\r\n\r\n"
         "[Bob]\r\n[Carl]\r\nPhone_Home=3\r\n"},
        {"[A]\nk=1", {{"A", "j", "2"}}, "[A]\nk=1\nj=2\n"},
        {"[A]\rk=1\r", {{"A", "k", "2"}, {"B", "k", "3"}}, "[A]\rk=2\r[B]\rk=3\r"},
        // A null value deletes the key, a null key the section with its comments;
        // deleting what is not there changes nothing.
        {"[A]\nk=1\nj=2\n[B]\n; about B\nk=3\n[C]\n",
         {{"a", "K", nullptr}, {"b", nullptr, ""}, {"missing", nullptr, ""}, {"A", "x", nullptr}},
         "[A]\nj=2\n[C]\n"},
    };
    for (const auto &[before, writes, after] : cases) {
        Given(before);
        for (const auto &[section, key, value] : writes)
            EXPECT_TRUE(Set(section, key, value)) << before;
        EXPECT_EQ(File(), after) << before;
    }
}

// A save's keys together: one replacement, the section's comments and other keys kept.
TEST_F(Profile, KeysOfOneSectionAreWrittenTogether)
{
    Given("[Anna]\n; family\nPhone_Home=1\nOther=x\n[Bob]\n");
    EXPECT_TRUE(WriteProfileKeys("anna", "Phone_Home=2\0Phone_Mobile=3\0", path.c_str()));
    EXPECT_EQ(File(), "[Anna]\n; family\nPhone_Home=2\nOther=x\nPhone_Mobile=3\n[Bob]\n");
}

TEST_F(Profile, TextThatWouldNotReadBackIsRefused)
{
    Given("[A]\nk=1\n");
    EXPECT_FALSE(Set("A", "k", "1\n[Evil]"));
    EXPECT_FALSE(Set("A\r\nB", "k", "1"));
    EXPECT_FALSE(Set("A", "a=b", "1"));
    EXPECT_FALSE(WriteProfileKeys("A", "k=1\0j\0", path.c_str()));
    EXPECT_EQ(File(), "[A]\nk=1\n");
}

TEST_F(Profile, WriteThatChangesNothingLeavesTheFileUntouched)
{
    Given("[A]\nk = 1 \n");
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    EXPECT_TRUE(Set("a", "K", "1"));
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(File(), "[A]\nk = 1 \n");
}

// A read-only file is not replaced, though the folder would let a rename go round it.
TEST_F(Profile, ReplacementKeepsTheModeFollowsALinkAndSparesReadOnlyFiles)
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
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    errno = 0;
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "2", link.c_str()));
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(File(), "[A]\nk=1\n");
}

} // namespace
