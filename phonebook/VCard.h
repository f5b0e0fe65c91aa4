#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocamo {

// What an import did, one line per name: the names that were new, those
// whose empty numbers were filled, and those left out, each with the reason.
struct VCardImportReport {
    std::vector<std::string> added, filled, skipped;
};

// Reads a vCard file (2.1, 3.0 or 4.0) into the phonebook: adds the names
// that are new, fills numbers that are empty, never overwrites a number.
// Every change goes in one replacement of the phonebook. Empty, with *error
// set, when the vCard file cannot be read or the phonebook not written.
std::optional<VCardImportReport>
ImportVCardFile(const std::string &vcfPath, const std::string &bookmarkPath, std::string *error);

// Writes every phonebook entry with a number as a vCard 4.0.
bool ExportVCardFile(const std::string &bookmarkPath, const std::string &vcfPath,
                     std::string *error);

// One card as read: its name (FN, else N, else ORG) and telephone numbers,
// dial characters only, with the slot each asks for.
struct VCardContact {
    enum class Slot { Any, Home, Office, Mobile };
    struct Number {
        std::string digits;
        Slot slot = Slot::Any;
    };
    std::string name;
    std::vector<Number> numbers;
    std::vector<std::string> unusable; // TEL values that are no phone number
};

// Every card of a vCard file's text; never fails, a damaged card reads as
// far as it goes.
std::vector<VCardContact> ParseVCards(std::string_view text);

} // namespace vocamo
