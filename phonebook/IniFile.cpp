#include "phonebook/IniFile.h"

#include "platform/profile/Profile.h"

#include <cstring>

namespace vocamo {

namespace {

// Listings and values are read with buffers grown 512 characters at a time;
// past 64 KiB the step doubles, so that a huge value or listing in a damaged
// file costs a few reads instead of thousands. Past 256 MiB it is cut.
constexpr DWORD kStep = 512;
constexpr DWORD kLinearLimit = 64 * 1024;
constexpr DWORD kLargest = 256 * 1024 * 1024;

// Section names compare without regard to ASCII case; other bytes, such as
// those of UTF-8 characters, compare as they are.
bool SameName(const char *a, const char *b)
{
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; };
    for (; *a && *b; ++a, ++b) {
        if (lower(static_cast<unsigned char>(*a)) != lower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

DWORD Grow(DWORD size)
{
    return size < kLinearLimit ? size + kStep : size * 2;
}

// A section the program once wrote and removed again around each listing; a
// copy left behind by a kill is no entry.
constexpr const char *kProbeSection = "#@@#";

} // namespace

void CIniFile::SetPathName(const char *path)
{
    if (path)
        m_path = path;
    else
        m_path.clear();
}

bool CIniFile::WriteString(const char *section, const char *key, const char *value)
{
    if (!section || !key)
        return false;
    return WritePrivateProfileStringA(section, key, value ? value : "", m_path.c_str()) != 0;
}

std::string CIniFile::GetString(const char *section, const char *key, const char *defaultValue)
{
    const char *fallback = defaultValue ? defaultValue : "";
    if (!section || !key)
        return fallback;
    DWORD size = kStep;
    char first[kStep + 1];
    DWORD length = GetPrivateProfileStringA(section, key, fallback, first, size, m_path.c_str());
    if (length + 1 < size)
        return std::string(first, length);
    std::vector<char> buffer;
    while (length + 1 >= size && size < kLargest) {
        size = Grow(size);
        buffer.assign(size + 1, '\0');
        length =
            GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, m_path.c_str());
    }
    return buffer.data();
}

std::vector<char> CIniFile::ListSectionNames()
{
    const char *path = m_path.c_str();
    DWORD size = kStep;
    std::vector<char> buffer(size);
    DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), size, path);
    while (length + 2 >= size && size < kLargest) {
        size = Grow(size);
        buffer.assign(size, '\0');
        length = GetPrivateProfileSectionNamesA(buffer.data(), size, path);
    }
    const DWORD needed = length + 2;

    std::vector<char> names(needed + 1, '\0');
    GetPrivateProfileSectionNamesA(names.data(), needed, path);
    return names;
}

void CIniFile::GetSectionNames(std::vector<std::string> &names)
{
    names.clear();
    const std::vector<char> list = ListSectionNames();
    ForEachString(
        list.data(),
        [](const char *name, void *context) {
            if (std::strcmp(name, kProbeSection) != 0)
                static_cast<std::vector<std::string> *>(context)->emplace_back(name);
            return 1;
        },
        &names);
}

bool CIniFile::SectionExists(const char *name)
{
    if (!name)
        return false;
    const std::vector<char> list = ListSectionNames();
    // The walk stops at the first name equal to the sought one.
    return !ForEachString(
        list.data(),
        [](const char *listed, void *context) {
            const bool found = SameName(listed, static_cast<const char *>(context));
            return found && std::strcmp(listed, kProbeSection) != 0 ? 0 : 1;
        },
        const_cast<char *>(name));
}

bool CIniFile::AddSection(const char *name, bool failIfExists)
{
    if (!name)
        return false;
    if (failIfExists && SectionExists(name))
        return false;
    WritePrivateProfileStringA(name, nullptr, "", m_path.c_str());
    return WritePrivateProfileSectionA(name, "", m_path.c_str()) != 0;
}

bool CIniFile::WriteKeys(const char *section, const std::vector<KeyValue> &keys)
{
    if (!section)
        return false;
    std::string list;
    for (const auto &[key, value] : keys) {
        list.append(key).append("=").append(value);
        list.push_back('\0');
    }
    list.push_back('\0');
    return WriteProfileKeys(section, list.c_str(), m_path.c_str()) != 0;
}

bool CIniFile::DeleteSection(const char *name)
{
    return name && WritePrivateProfileStringA(name, nullptr, "", m_path.c_str()) != 0;
}

bool CIniFile::ForEachString(const char *list, StringCallback callback, void *context)
{
    if (!list || !callback)
        return false;
    for (const char *item = list; *item; item += std::char_traits<char>::length(item) + 1) {
        if (callback(item, context) == 0)
            return false;
    }
    return true;
}

} // namespace vocamo
