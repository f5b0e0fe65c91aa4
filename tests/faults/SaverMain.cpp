// fault_saver PATH FIRST COUNT [PREFIX]: saves phonebook entries FIRST ..
// FIRST+COUNT-1 into PATH, one after the other, and prints each step once its
// save is done. The kill test SIGKILLs it at random points. With PREFIX, step
// n saves the entry PREFIX<n>, so that writers side by side share no name.
#include "phonebook/IniFile.h"
#include "phonebook/Phonebook.h"
#include "tests/faults/SaverEntries.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 4 && argc != 5)
        return 2;
    vocamo::CIniFile file;
    file.SetPathName(argv[1]);
    const int first = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    for (int step = first; step < first + count; ++step) {
        using namespace vocamo::test;
        const std::string name = argc == 5 ? argv[4] + std::to_string(step) : SaverName(step);
        if (const std::error_code error = vocamo::SaveBookmark(
                file, name, SaverNumber(step, 1), SaverNumber(step, 2), SaverNumber(step, 3))) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), error.message().c_str());
            return 1;
        }
        std::printf("%d\n", step);
        std::fflush(stdout);
    }
    return 0;
}
