// fault_saver PATH FIRST COUNT: saves phonebook entries FIRST .. FIRST+COUNT-1
// into PATH, one after the other, and prints each step once its save is done.
// The kill test SIGKILLs it at random points.
#include "phonebook/IniFile.h"
#include "phonebook/Phonebook.h"
#include "tests/faults/SaverEntries.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    vocamo::CIniFile file;
    file.SetPathName(argv[1]);
    const int first = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    for (int step = first; step < first + count; ++step) {
        vocamo::SaveBookmark(file, vocamo::test::SaverName(step), vocamo::test::SaverNumber(step, 1),
                             vocamo::test::SaverNumber(step, 2), vocamo::test::SaverNumber(step, 3));
        std::printf("%d\n", step);
        std::fflush(stdout);
    }
    return 0;
}
