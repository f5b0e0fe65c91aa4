#include "phonebook/Phonebook.h"
#include "phonebook/VCard.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

// An address book as a phone exports it: 2.1 cards with quoted-printable
// names and three typed numbers each, every fourth one folded.
std::string AddressBookOf(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char card[400];
        std::snprintf(card, sizeof card,
                      "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
                      "M=C3=BCller %05d;J=C3=B6rg;;;\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
                      "J=C3=B6rg M=C3=BCller=\r\n %05d\r\nTEL;CELL:+49 171 555%05d\r\n"
                      "TEL;HOME;VOICE:0221 55 %05d\r\nTEL;WORK:089 555 %05d\r\n%sEND:VCARD\r\n",
                      i, i, i, i, i, i % 4 ? "" : "NOTE:a long note that is folded\r\n  here\r\n");
        text += card;
    }
    return text;
}

// Every card into the three-entry sample phonebook, as `vocamo --import` does.
void BM_ImportVcf(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    TempDir dir;
    const std::string vcf = dir.File("contacts.vcf");
    const std::string book = BookmarkPathFor(dir.Path());
    TempDir::Write(vcf, AddressBookOf(count));
    const std::string sample = "[Anna Berger]\nPhone_Home=02215550123\nPhone_Office=\n"
                               "Phone_Mobile=01715550199\n";
    std::string error;
    for (auto _ : state) {
        state.PauseTiming();
        TempDir::Write(book, sample);
        state.ResumeTiming();
        const auto report = ImportVCardFile(vcf, book, &error);
        if (!report || static_cast<int>(report->added.size()) != count)
            state.SkipWithError("the import did not add every card");
    }
}
BENCHMARK(BM_ImportVcf)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
