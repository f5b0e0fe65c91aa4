// A profile file is replaced whole or not at all, by any number of writers.
#include "platform/profile/Profile.h"
#include "tests/support/ProfileWriteFault.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

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
    EXPECT_FALSE(WritePrivateProfileSectionA("New", "", dir.File("new.ini").c_str()));
    EXPECT_EQ(TempDir::Read(path), before);
    EXPECT_EQ(dir.EntryCount(), 1u) << "a temporary or new file left behind";
    EXPECT_EQ(Get(path, "Anna", "Phone_Home"), "1"); // nor does the cache believe it

    SetProfileWriteFault(nullptr);
    EXPECT_TRUE(WritePrivateProfileStringA("Anna", "Phone_Home", "2", path.c_str()));
    EXPECT_EQ(Get(path, "Anna", "Phone_Home"), "2");
}

INSTANTIATE_TEST_SUITE_P(EachStep, ProfileWriteFailure,
                         ::testing::Values(ProfileWriteStep::Write, ProfileWriteStep::Fsync,
                                           ProfileWriteStep::Rename),
                         [](const auto &info) { return kStepNames[static_cast<int>(info.param)]; });

TEST(ProfileConcurrency, WritersLoseNoChangeAndReadersSeeWholeFiles)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    TempDir::Write(path, "[Fixed]\nk=stays\n");
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done)
            torn += Get(path, "Fixed", "k") != "stays";
    });
    const auto key = [](int w, int i) { return "k" + std::to_string(w) + "_" + std::to_string(i); };
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < 20; ++i)
                WritePrivateProfileStringA("S", key(w, i).c_str(), "1", path.c_str());
        });
    }
    for (std::thread &writer : writers)
        writer.join();
    done = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    for (int w = 0; w < 4; ++w) {
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(Get(path, "S", key(w, i).c_str()), "1") << key(w, i);
    }
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
