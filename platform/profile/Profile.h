#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The private profile functions, with their Windows contracts, over the
// program's INI files. Text is 8-bit (UTF-8).
namespace vocamo {

using DWORD = uint32_t;
using BOOL = int;

// Copies the value of key in section (quotes stripped) into buffer, or
// default when missing. A null section lists the section names, a null key
// the section's keys, double-NUL terminated. Returns the characters copied,
// without the final NUL: size - 1 when a value was cut, size - 2 when a list
// did not fit.
DWORD GetPrivateProfileStringA(const char *section, const char *key, const char *defaultValue,
                               char *buffer, DWORD size, const char *path);

// Every section name, in file order, as a double-NUL terminated list. Reads
// never write.
DWORD GetPrivateProfileSectionNamesA(char *buffer, DWORD size, const char *path);

// A null key deletes the section, a null value deletes the key. Non-zero on
// success; on failure errno says why. The file is replaced atomically, under
// an advisory lock (flock) on ".<name>.lock" beside it, and never when the
// user may not write it.
BOOL WritePrivateProfileStringA(const char *section, const char *key, const char *value,
                                const char *path);

// Replaces the section's keys with the double-NUL list "key=value\0...\0";
// "" empties an existing section or creates a bare header.
BOOL WritePrivateProfileSectionA(const char *section, const char *keysAndValues, const char *path);

// Sets the keys of the double-NUL list "key=value\0...\0" in one replacement
// of the file, as WritePrivateProfileStringA would one by one: the section's
// other keys and its comments stay.
BOOL WriteProfileKeys(const char *section, const char *keysAndValues, const char *path);

class CProfileText;

// One section's keys, for ChangeProfileSections.
struct ProfileSectionKeys {
    std::string section;
    std::vector<std::pair<std::string, std::string>> keys;
};
using ProfileSectionPlan = std::function<std::vector<ProfileSectionKeys>(const CProfileText &)>;

// Hands the file as it stands to plan and sets the keys plan returns, in one
// replacement of the file, as WriteProfileKeys would section by section. The
// file stays locked from that read to the replacement, so plan decides on
// what it replaces. Non-zero on success (nothing to set included); on
// failure errno says why.
BOOL ChangeProfileSections(const char *path, const ProfileSectionPlan &plan);

// Lets go of the file's text kept for quick reads; the next read reads the
// file again. For a big file read once, e.g. a phonebook just loaded.
void ForgetProfile(const char *path);

// Removes the copies a killed writer left beside the file: those whose
// writer is gone, or that are older than any write takes.
void RemoveStaleProfileTemps(const char *path);

} // namespace vocamo
