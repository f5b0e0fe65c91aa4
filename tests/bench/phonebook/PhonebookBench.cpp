#include "phonebook/Phonebook.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

std::string ContactName(int i)
{
    char name[32];
    std::snprintf(name, sizeof name, "Contact %05d", i);
    return name;
}

// A Bookmark.ini as the editor writes it, with `count` entries.
std::string PhonebookOf(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char entry[160];
        std::snprintf(entry, sizeof entry,
                      "[%s]\nPhone_Home=0221 55 %05d\nPhone_Office=\nPhone_Mobile=0171 555 %05d\n",
                      ContactName(i).c_str(), i, 20000 + i);
        text += entry;
    }
    return text;
}

void BM_PhonebookLoad(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    TempDir dir;
    const std::string path = BookmarkPathFor(dir.Path());
    TempDir::Write(path, PhonebookOf(count));
    CIniFile file;
    for (auto _ : state) {
        auto list = LoadBookmarks(file, path);
        if (list->GetCount() != count)
            state.SkipWithError("wrong number of entries");
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_PhonebookLoad)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PhonebookSaveEntry(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    TempDir dir;
    const std::string path = BookmarkPathFor(dir.Path());
    TempDir::Write(path, PhonebookOf(count));
    CIniFile file;
    file.SetPathName(path.c_str());
    const std::string name = ContactName(count / 2);
    int round = 0;
    for (auto _ : state) {
        // Other numbers every time, so that each save replaces the file.
        const std::string suffix = std::to_string(round++);
        if (SaveBookmark(file, name, "0221 " + suffix, "0228 " + suffix, "0171 " + suffix))
            state.SkipWithError("save failed");
    }
    if (file.GetString(name.c_str(), "Phone_Mobile", "") != "0171 " + std::to_string(round - 1))
        state.SkipWithError("entry not saved");
}
BENCHMARK(BM_PhonebookSaveEntry)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
