#include "phonebook/IniFile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override { file.SetPathName(path.c_str()); }
    void Given(const std::string &bytes) { TempDir::Write(path, bytes); }
    std::vector<std::string> Names()
    {
        std::vector<std::string> names{"stale"};
        file.GetSectionNames(names);
        return names;
    }
    // Writes sections whose names and their NULs fill exactly `bytes`
    // characters of the listing, and returns the names.
    std::vector<std::string> GivenNamesFilling(size_t bytes)
    {
        std::vector<std::string> names;
        std::string text;
        for (size_t used = 0; used < bytes;) {
            const size_t left = bytes - used - 1;
            std::string name = std::to_string(names.size());
            name.resize(left >= 19 ? 9 : left, 'n');
            text += "[" + name + "]\n";
            used += name.size() + 1;
            names.push_back(name);
        }
        Given(text);
        return names;
    }

    TempDir dir;
    std::string path = dir.File("Bookmark.ini");
    CIniFile file;
};

TEST_F(IniFile, ListingThatFillsTheFirstBufferGrowsIt)
{
    // 600 characters of names: the first call is cut and returns 510.
    std::vector<std::string> expected = GivenNamesFilling(600);
    EXPECT_EQ(Names(), expected);
    // Listings that fill the first buffer to the last few characters.
    for (const size_t bytes : {509u, 510u, 511u, 512u, 1022u}) {
        expected = GivenNamesFilling(bytes);
        EXPECT_EQ(Names(), expected) << bytes;
    }
}

TEST_F(IniFile, LongListingsAreReadWhole)
{
    const std::vector<std::string> expected = GivenNamesFilling(200000);
    ASSERT_EQ(expected.size(), 20000u);
    EXPECT_EQ(Names(), expected);
}

TEST_F(IniFile, ValuesLongerThanTheFirstBufferAreReadWhole)
{
    for (const size_t length : {510u, 511u, 512u, 600u, 1023u, 1024u, 70000u}) {
        const std::string value(length, 'v');
        Given("[A]\nk=" + value + "\n");
        EXPECT_EQ(file.GetString("A", "k", ""), value) << length;
    }
}

TEST_F(IniFile, ProbeSectionIsGoneAfterEveryListing)
{
    Given("[#@@#]\nk=1\n[Anna]\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"Anna"});
    EXPECT_TRUE(file.SectionExists("anna"));
    EXPECT_EQ(TempDir::Read(path), "[Anna]\n");
}

TEST_F(IniFile, SectionExistsIgnoresCaseButNotBlanks)
{
    Given("[Anna Smith]\n[Bob]\n");
    EXPECT_TRUE(file.SectionExists("ANNA smith"));
    EXPECT_TRUE(file.SectionExists("bob"));
    EXPECT_FALSE(file.SectionExists("Bo"));
    EXPECT_FALSE(file.SectionExists(" Bob"));
    EXPECT_FALSE(file.SectionExists(nullptr));
}

TEST_F(IniFile, AddSectionRefusesOrRecreates)
{
    Given("[Anna]\nPhone_Home=1\n[Bob]\n");
    EXPECT_FALSE(file.AddSection("ANNA", true));
    EXPECT_EQ(file.GetString("Anna", "Phone_Home", ""), "1");
    EXPECT_TRUE(file.AddSection("anna", false));
    EXPECT_EQ(TempDir::Read(path), "[Bob]\n[anna]\n");
    EXPECT_TRUE(file.AddSection("Carl", true));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bob", "anna", "Carl"}));
}

TEST_F(IniFile, NullArgumentsTouchNoFile)
{
    EXPECT_FALSE(file.WriteString(nullptr, "k", "v"));
    EXPECT_FALSE(file.WriteString("A", nullptr, "v"));
    EXPECT_FALSE(file.AddSection(nullptr, false));
    file.DeleteSection(nullptr);
    EXPECT_EQ(file.GetString(nullptr, "k", "def"), "def");
    EXPECT_EQ(file.GetString("A", nullptr, nullptr), "");
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    // A null value is written as an empty one, not a deletion.
    EXPECT_TRUE(file.WriteString("A", "k", nullptr));
    EXPECT_EQ(TempDir::Read(path), "[A]\nk=\n");
}

TEST_F(IniFile, NullPathEmptiesThePath)
{
    file.SetPathName(nullptr);
    EXPECT_EQ(file.GetPathName(), "");
}

int CountUntil(const char *item, void *context)
{
    auto *seen = static_cast<std::vector<std::string> *>(context);
    seen->push_back(item);
    return std::string(item) == "stop" ? 0 : 1;
}

TEST(IniFileForEachString, WalksUntilTheCallbackStops)
{
    std::vector<std::string> seen;
    EXPECT_FALSE(CIniFile::ForEachString("a\0stop\0c\0", CountUntil, &seen));
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "stop"}));
    seen.clear();
    EXPECT_TRUE(CIniFile::ForEachString("a\0b\0", CountUntil, &seen));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(CIniFile::ForEachString("", CountUntil, &seen));
    EXPECT_FALSE(CIniFile::ForEachString(nullptr, CountUntil, &seen));
    EXPECT_FALSE(CIniFile::ForEachString("a\0", nullptr, &seen));
}

} // namespace
