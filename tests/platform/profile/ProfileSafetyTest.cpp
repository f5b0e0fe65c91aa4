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
#include <vector>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

std::string Get(const std::string &path, const char *section, const char *key)
{
    std::vector<char> buffer(512);
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD n = GetPrivateProfileStringA(section, key, "", buffer.data(), size, path.c_str());
    while (n + 1 >= size) {
        size *= 2;
        buffer.resize(size);
        n = GetPrivateProfileStringA(section, key, "", buffer.data(), size, path.c_str());
    }
    return std::string(buffer.data(), n);
}

std::atomic<int> g_failingStep{-1};

int FailChosenStep(ProfileWriteStep step)
{
    return static_cast<int>(step) == g_failingStep.load() ? ENOSPC : 0;
}

std::string StepName(const ::testing::TestParamInfo<ProfileWriteStep> &info)
{
    switch (info.param) {
    case ProfileWriteStep::Write:
        return "Write";
    case ProfileWriteStep::Fsync:
        return "Fsync";
    case ProfileWriteStep::Rename:
        return "Rename";
    }
    return "Unknown";
}

class ProfileWriteFailure : public ::testing::TestWithParam<ProfileWriteStep> {
protected:
    void SetUp() override
    {
        g_failingStep = static_cast<int>(GetParam());
        SetProfileWriteFault(&FailChosenStep);
    }
    void TearDown() override { SetProfileWriteFault(nullptr); }
};

TEST_P(ProfileWriteFailure, LeavesTheOldFileByteForByte)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    const std::string before = "; kept\r\n[Anna]\r\nPhone_Home=1\r\n";
    TempDir::Write(path, before);
    EXPECT_EQ(Get(path, "Anna", "Phone_Home"), "1"); // now cached

    EXPECT_FALSE(WritePrivateProfileStringA("Anna", "Phone_Home", "2", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("Bob", "Phone_Home", "3", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileSectionA("Anna", nullptr, path.c_str()));
    EXPECT_EQ(TempDir::Read(path), before);
    EXPECT_EQ(dir.EntryCount(), 1u) << "temporary file left behind";
    EXPECT_EQ(Get(path, "Anna", "Phone_Home"), "1");

    SetProfileWriteFault(nullptr);
    EXPECT_TRUE(WritePrivateProfileStringA("Anna", "Phone_Home", "2", path.c_str()));
    EXPECT_EQ(Get(path, "Anna", "Phone_Home"), "2");
}

TEST_P(ProfileWriteFailure, OfANewFileCreatesNothing)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    EXPECT_FALSE(WritePrivateProfileSectionA("#@@#", "", path.c_str()));
    EXPECT_EQ(dir.EntryCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(EachStep, ProfileWriteFailure,
                         ::testing::Values(ProfileWriteStep::Write, ProfileWriteStep::Fsync,
                                           ProfileWriteStep::Rename),
                         StepName);

TEST(ProfileConcurrency, ReadsDuringWritesSeeWholeFiles)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    TempDir::Write(path, "[Fixed]\nk=stays\n[Counter]\nn=0\n");
    constexpr int kWrites = 150;
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};

    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            int last = 0;
            while (!done.load()) {
                if (Get(path, "Fixed", "k") != "stays")
                    ++failures;
                const std::string n = Get(path, "Counter", "n");
                const int value = n.empty() ? -1 : std::stoi(n);
                if (value < last)
                    ++failures; // a reader went back in time or saw a torn file
                last = value;
            }
        });
    }
    std::thread writer([&] {
        for (int i = 1; i <= kWrites; ++i) {
            if (!WritePrivateProfileStringA("Counter", "n", std::to_string(i).c_str(),
                                            path.c_str()))
                ++failures;
            // Sections come and go as with every listing of the names.
            WritePrivateProfileSectionA("#@@#", "", path.c_str());
            WritePrivateProfileStringA("#@@#", nullptr, "", path.c_str());
        }
    });
    writer.join();
    done = true;
    for (std::thread &reader : readers)
        reader.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(Get(path, "Counter", "n"), std::to_string(kWrites));
}

TEST(ProfileConcurrency, WritersOnOneFileLoseNoChange)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < 20; ++i) {
                const std::string key = "k" + std::to_string(w) + "_" + std::to_string(i);
                WritePrivateProfileStringA("S", key.c_str(), "1", path.c_str());
            }
        });
    }
    for (std::thread &writer : writers)
        writer.join();
    for (int w = 0; w < 4; ++w) {
        for (int i = 0; i < 20; ++i) {
            const std::string key = "k" + std::to_string(w) + "_" + std::to_string(i);
            EXPECT_EQ(Get(path, "S", key.c_str()), "1") << key;
        }
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
    TempDir::Write(path, "[A]\nk=longer\n");
    EXPECT_EQ(Get(path, "A", "k"), "longer");
    ASSERT_EQ(unlink(path.c_str()), 0);
    EXPECT_EQ(Get(path, "A", "k"), "");
}

TEST(ProfileBadFile, BinaryBytesReadInADefinedWay)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    std::string bytes = "[A]\nk=ab";
    bytes += std::string("\0cd\n", 4);
    for (int c = 0; c < 256; ++c)
        bytes += static_cast<char>(c);
    bytes += "\n[B]\nk=2\n";
    TempDir::Write(path, bytes);
    EXPECT_EQ(Get(path, "A", "k"), "ab"); // a value ends at a NUL
    EXPECT_EQ(Get(path, "B", "k"), "2");
    EXPECT_TRUE(WritePrivateProfileStringA("B", "k", "3", path.c_str()));
    EXPECT_EQ(TempDir::Read(path).substr(0, bytes.size() - 4), bytes.substr(0, bytes.size() - 4));
}

TEST(ProfileBadFile, TenMegabyteLineAndNoFinalNewline)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    const std::string huge(10 * 1024 * 1024, 'x');
    TempDir::Write(path, "[A]\nbig=" + huge + "\n" + huge + "\n[B]\nk=last");
    EXPECT_EQ(Get(path, "A", "big"), huge);
    EXPECT_EQ(Get(path, "B", "k"), "last");
    char names[16];
    EXPECT_EQ(GetPrivateProfileSectionNamesA(names, sizeof names, path.c_str()), 4u);
}

TEST(ProfileBadFile, UnreadablePathReadsAsDefaultsAndIsNotReplaced)
{
    TempDir dir;
    const std::string path = dir.File("Bookmark.ini");
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    EXPECT_EQ(Get(path, "A", "k"), "");
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "1", path.c_str()));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

} // namespace
