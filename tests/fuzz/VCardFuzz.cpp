// Arbitrary bytes as a vCard file: the cards read never carry a line break
// or a control character into a name, numbers hold dial characters only,
// and every name imported into an empty phonebook reads back with a number.
#include "phonebook/IniFile.h"
#include "phonebook/VCard.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace vocamo;

namespace {

std::string g_dir;

void RemoveDir()
{
    for (const char *name : {"/in.vcf", "/Bookmark.ini", "/.Bookmark.ini.lock"})
        unlink((g_dir + name).c_str());
    rmdir(g_dir.c_str());
}

const std::string &Dir()
{
    static const std::string dir = [] {
        g_dir =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm/vocamo-vcf-XXXXXX" : "/tmp/vocamo-vcf-XXXXXX";
        if (!mkdtemp(g_dir.data()))
            std::abort();
        std::atexit(RemoveDir);
        return g_dir;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::vector<VCardContact> cards = ParseVCards(text);
    for (const VCardContact &card : cards) {
        for (const char c : card.name) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                std::abort();
        }
        for (const VCardContact::Number &number : card.numbers) {
            if (number.digits.empty() ||
                number.digits.find_first_not_of("+0123456789*#,") != std::string::npos ||
                number.digits.find('+', 1) != std::string::npos)
                std::abort();
        }
    }

    const std::string vcf = Dir() + "/in.vcf";
    const std::string book = Dir() + "/Bookmark.ini";
    std::ofstream(vcf, std::ios::binary | std::ios::trunc) << text;
    unlink(book.c_str());
    std::string error;
    const auto report = ImportVCardFile(vcf, book, &error);
    if (!report)
        return 0;
    CIniFile file;
    file.SetPathName(book.c_str());
    for (const std::string &name : report->added) {
        if (file.GetString(name.c_str(), "Phone_Home", "").empty() &&
            file.GetString(name.c_str(), "Phone_Office", "").empty() &&
            file.GetString(name.c_str(), "Phone_Mobile", "").empty())
            std::abort();
    }
    return 0;
}
