// A profile file is replaced whole or not at all; a killed writer's copy is cleared away.
#include "platform/profile/Profile.h"
#include "tests/support/ProfileWriteFault.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

std::string Get(const std::string &path, const char *section, const char *key)
{
    char buffer[64];
    const DWORD n = GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, path.c_str());
    return std::string(buffer, n);
}

std::atomic<int> g_failingStep{-1};
const char *const kStepNames[] = {"Write", "Fsync", "Rename"};

class ProfileWriteFailure : public ::testing::TestWithParam<ProfileWriteStep> {
protected:
    void SetUp() override
    {
        g_failingStep = static_cast<int>(GetParam());
        SetProfileWriteFault([](ProfileWriteStep step) {
            return static_cast<int>(step) == g_failingStep.load() ? ENOSPC : 0;
        });
    }
    void TearDown() override { SetProfileWriteFault(nullptr); }
};

TEST_P(ProfileWriteFailure, LeavesTheOldFileByteForByteAndNoLitter)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    const std::string before = "; kept\r\n[Anna]\r\nPhone_Home=1\r\n";
    TempDir::Write(path, before);
    EXPECT_EQ(Get(path, "Anna", "Phone_Home"), "1"); // now cached

    EXPECT_FALSE(WritePrivateProfileStringA("Anna", "Phone_Home", "2", path.c_str()));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_FALSE(WritePrivateProfileSectionA("New", "", dir.File("new.ini").c_str()));
    EXPECT_EQ(TempDir::Read(path), before);
    // Bookmark.ini and the two lock files.
    EXPECT_EQ(dir.EntryCount(), 3u) << "a temporary or new file left behind";
    EXPECT_EQ(Get(path, "Anna", "Phone_Home"), "1"); // nor does the cache believe it

    SetProfileWriteFault(nullptr);
    EXPECT_TRUE(WritePrivateProfileStringA("Anna", "Phone_Home", "2", path.c_str()));
    EXPECT_EQ(Get(path, "Anna", "Phone_Home"), "2");
}

INSTANTIATE_TEST_SUITE_P(EachStep, ProfileWriteFailure,
                         ::testing::Values(ProfileWriteStep::Write, ProfileWriteStep::Fsync,
                                           ProfileWriteStep::Rename),
                         [](const auto &info) { return kStepNames[static_cast<int>(info.param)]; });

// Copies a killed writer left go; a live writer's copy, and other files, stay.
TEST(ProfileTemps, OnlyLeftoversOfThisProgramAreRemoved)
{
    TempDir dir;
    const std::string mine = std::to_string(getpid());
    const std::pair<std::string, bool> files[] = {
        {".Bookmark.ini.tmp2147483646-0", false}, // no such process
        {".Bookmark.ini.tmp" + mine + "-7", true},
        {".Bookmark.ini.tmp" + mine + "-8", false}, // older than any write
        {".Bookmark.ini.tmp2147483646-x", true},
        {".Other.ini.tmp2147483646-0", true},
    };
    for (const auto &[name, kept] : files)
        TempDir::Write(dir.File(name), "[A]\n");
    const timespec old[2] = {{0, UTIME_OMIT}, {1234567890, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, dir.File(files[2].first).c_str(), old, 0), 0);
    RemoveStaleProfileTemps(dir.File("Bookmark.ini").c_str());
    for (const auto &[name, kept] : files)
        EXPECT_EQ(access(dir.File(name).c_str(), F_OK) == 0, kept) << name;
}

TEST(ProfileCache, ChangesByOthersAreSeen)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    TempDir::Write(path, "[A]\nk=1\n");
    EXPECT_EQ(Get(path, "A", "k"), "1");
    // Same size, rewritten in place: only the modification time tells.
    TempDir::Write(path, "[A]\nk=2\n");
    const timespec times[2] = {{0, UTIME_OMIT}, {1234567890, 123}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(Get(path, "A", "k"), "2");
    ASSERT_EQ(unlink(path.c_str()), 0);
    EXPECT_EQ(Get(path, "A", "k"), "");
}

} // namespace
