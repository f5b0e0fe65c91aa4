#include "platform/profile/Profile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

class ProfileRead : public ::testing::Test {
protected:
    std::string Get(const char *section, const char *key, const char *def = "")
    {
        std::vector<char> buffer(4096);
        const DWORD n = GetPrivateProfileStringA(section, key, def, buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), path.c_str());
        return std::string(buffer.data(), n);
    }
    // A double-NUL list as it came back, without its final NUL.
    std::string Names(DWORD size = 4096)
    {
        std::vector<char> buffer(size, 'x');
        const DWORD n = GetPrivateProfileSectionNamesA(buffer.data(), size, path.c_str());
        return std::string(buffer.data(), n);
    }
    void Given(const std::string &bytes) { TempDir::Write(path, bytes); }

    TempDir dir;
    std::string path = dir.File("Bookmark.ini");
};

TEST_F(ProfileRead, NamesIgnoreAsciiCaseAndSurroundingBlanks)
{
    Given("[Anna]\nPhone_Home=1\n[  Bob Smith  ]\n  Phone_Office  =  2 3  \n");
    EXPECT_EQ(Get("ANNA", "phone_home"), "1");
    EXPECT_EQ(Get(" bob smith", "PHONE_OFFICE"), "2 3");
    EXPECT_EQ(Names(), std::string("Anna\0Bob Smith\0", 15));
}

TEST_F(ProfileRead, FirstOfDuplicateSectionsAndKeysIsRead)
{
    Given("[A]\nk=first\nk=second\n[a]\nk=third\nj=only-in-second\n");
    EXPECT_EQ(Get("A", "k"), "first");
    EXPECT_EQ(Get("A", "j", "none"), "none");
    // Every header is listed, as the file stands.
    EXPECT_EQ(Names(), std::string("A\0a\0", 4));
}

TEST_F(ProfileRead, OnePairOfSurroundingQuotesIsStripped)
{
    Given("[A]\nd=\"0221 55\"\ns='x'\nboth=\"'y'\"\nodd=\"z'\nlone=\"\ninner=a\"b\"c\n");
    EXPECT_EQ(Get("A", "d"), "0221 55");
    EXPECT_EQ(Get("A", "s"), "x");
    EXPECT_EQ(Get("A", "both"), "'y'");
    EXPECT_EQ(Get("A", "odd"), "\"z'");
    EXPECT_EQ(Get("A", "lone"), "\"");
    EXPECT_EQ(Get("A", "inner"), "a\"b\"c");
}

TEST_F(ProfileRead, CrlfBomCommentsAndBrokenHeaders)
{
    Given("\xEF\xBB\xBF[A]\r\n; k=comment\r\nk=1\r\n[B\r\nx=2\r\nno equals sign\r\n[C]");
    EXPECT_EQ(Get("A", "k"), "1");
    EXPECT_EQ(Get("A", "x"), "2"); // "[B" is not a header
    EXPECT_EQ(Get("A", "no equals sign", "def"), "def");
    EXPECT_EQ(Names(), std::string("A\0C\0", 4));
}

TEST_F(ProfileRead, MissingValuesGiveTheDefaultWithoutTrailingBlanks)
{
    Given("[A]\nempty=\n");
    EXPECT_EQ(Get("A", "empty", "def"), "");
    EXPECT_EQ(Get("A", "missing", "def  "), "def");
    EXPECT_EQ(Get("Z", "k", nullptr), "");
    path = dir.File("absent.ini");
    EXPECT_EQ(Get("A", "k", "def"), "def");
    EXPECT_EQ(Names(), "");
}

TEST_F(ProfileRead, NullKeyListsTheSectionsKeys)
{
    Given("[A]\nk1=1\n;c=3\nK2=2\n[B]\n");
    EXPECT_EQ(Get("a", nullptr), std::string("k1\0K2\0", 6));
    EXPECT_EQ(Get("B", nullptr), "");
    EXPECT_EQ(Get("missing", nullptr), "");
    EXPECT_EQ(Get(nullptr, nullptr), std::string("A\0B\0", 4));
}

TEST_F(ProfileRead, LongValueIsCutToSizeMinusOne)
{
    Given("[A]\nk=abcdefghij\nu=\xC3\xA4\xC3\xA4\xC3\xA4\n");
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileStringA("A", "k", "", buffer, 5, path.c_str()), 4u);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(GetPrivateProfileStringA("A", "k", "", buffer, 11, path.c_str()), 10u);
    EXPECT_EQ(GetPrivateProfileStringA("A", "k", "", buffer, 1, path.c_str()), 0u);
    EXPECT_STREQ(buffer, "");
    // A character is never split; size - 1 still says the value was cut.
    EXPECT_EQ(GetPrivateProfileStringA("A", "u", "", buffer, 4, path.c_str()), 3u);
    EXPECT_STREQ(buffer, "\xC3\xA4");
    EXPECT_EQ(GetPrivateProfileStringA("A", "missing", "long default", buffer, 5, path.c_str()),
              4u);
    EXPECT_STREQ(buffer, "long");
}

TEST_F(ProfileRead, ListThatDoesNotFitReturnsSizeMinusTwo)
{
    Given("[alpha]\n[beta]\n");
    // "alpha\0beta\0\0" needs 12 characters.
    EXPECT_EQ(Names(12), std::string("alpha\0beta\0", 11));
    std::vector<char> buffer(11, 'x');
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer.data(), 11, path.c_str()), 9u);
    EXPECT_EQ(std::string(buffer.data(), 11), std::string("alpha\0bet\0\0", 11));
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer.data(), 2, path.c_str()), 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '\0');
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer.data(), 0, path.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer.data(), 8, path.c_str()), 6u);
}

TEST_F(ProfileRead, EmptySectionNameIsNotListed)
{
    // An empty name would end the double-NUL list before the names after it.
    Given("[]\nk=1\n[B]\n");
    EXPECT_EQ(Names(), std::string("B\0", 2));
    EXPECT_EQ(Get("", "k"), "1");
}

} // namespace
