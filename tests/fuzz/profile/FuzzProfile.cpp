// Arbitrary bytes as a profile file: every read must stay inside its buffer,
// and a write must land where a read finds it without disturbing the rest.
#include "platform/profile/Profile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace vocamo;

namespace {

std::string g_dir;

void RemoveDir()
{
    unlink((g_dir + "/Bookmark.ini").c_str());
    rmdir(g_dir.c_str());
}

const std::string &FilePath()
{
    static const std::string path = [] {
        // tmpfs where there is one: every write syncs the file.
        g_dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm/vocamo-fuzz-XXXXXX"
                                              : "/tmp/vocamo-fuzz-XXXXXX";
        if (!mkdtemp(g_dir.data()))
            std::abort();
        std::atexit(RemoveDir);
        return g_dir + "/Bookmark.ini";
    }();
    return path;
}

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "profile invariant broken: %s\n", what);
        std::abort();
    }
}

std::vector<std::string> Split(const char *list, DWORD length)
{
    std::vector<std::string> items;
    for (DWORD at = 0; at < length; at += static_cast<DWORD>(std::strlen(list + at)) + 1)
        items.emplace_back(list + at);
    return items;
}

std::vector<std::string> SectionNames(const char *path)
{
    std::vector<char> buffer(1 << 17);
    const DWORD n = GetPrivateProfileSectionNamesA(buffer.data(), buffer.size(), path);
    Check(n + 2 < buffer.size() || n == 0, "listing fits the big buffer");
    Check(buffer[n] == '\0', "listing ends with NUL");
    return Split(buffer.data(), n);
}

std::string Value(const char *path, const char *section, const char *key, DWORD size)
{
    std::vector<char> buffer(size + 8, '#');
    const DWORD n = GetPrivateProfileStringA(section, key, "default", buffer.data(), size, path);
    Check(n < size, "value within buffer");
    Check(buffer[size] == '#', "nothing written past the buffer");
    return std::string(buffer.data(), std::strlen(buffer.data()));
}

std::string ReadFile(const char *path)
{
    std::string bytes;
    if (FILE *f = std::fopen(path, "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            bytes.append(chunk, got);
        std::fclose(f);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *path = FilePath().c_str();
    {
        FILE *f = std::fopen(path, "wb");
        if (!f)
            return 0;
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        // A stamp of its own, so the cache never mistakes this input for the last.
        static long tick = 0;
        const timespec times[2] = {{0, UTIME_OMIT}, {1, ++tick % 1000000000}};
        utimensat(AT_FDCWD, path, times, 0);
    }

    const std::vector<std::string> names = SectionNames(path);
    char tiny[7];
    const DWORD cut = GetPrivateProfileSectionNamesA(tiny, sizeof tiny, path);
    size_t listLength = 0;
    for (const std::string &name : names)
        listLength += name.size() + 1;
    Check(listLength + 1 <= sizeof tiny ? cut == listLength : cut == sizeof tiny - 2,
          "a listing that does not fit returns size - 2");

    for (size_t i = 0; i < names.size() && i < 8; ++i) {
        const char *section = names[i].c_str();
        std::vector<char> keyList(1 << 16);
        const DWORD n =
            GetPrivateProfileStringA(section, nullptr, "", keyList.data(), keyList.size(), path);
        const std::vector<std::string> keys = Split(keyList.data(), n);
        for (size_t k = 0; k < keys.size() && k < 8; ++k) {
            const std::string whole = Value(path, section, keys[k].c_str(), 1 << 16);
            const std::string part = Value(path, section, keys[k].c_str(), 5);
            Check(whole.compare(0, part.size(), part) == 0, "a cut value is a prefix");
        }
    }

    std::string section = names.empty() ? "Fuzz" : names.front();
    if (section.find('\r') != std::string::npos)
        section = "Fuzz";
    Check(WritePrivateProfileStringA(section.c_str(), "FuzzKey", "fuzz value", path) != 0,
          "write succeeds");
    Check(Value(path, section.c_str(), "FuzzKey", 64) == "fuzz value", "written value reads back");
    std::vector<std::string> after = SectionNames(path);
    if (after.size() == names.size() + 1 && after.back() == section)
        after.pop_back();
    Check(after == names, "other sections unchanged");

    const std::string written = ReadFile(path);
    Check(WritePrivateProfileStringA(section.c_str(), "fuzzkey", " fuzz value ", path) != 0,
          "repeated write succeeds");
    Check(ReadFile(path) == written, "a write that changes nothing leaves the file");
    return 0;
}
