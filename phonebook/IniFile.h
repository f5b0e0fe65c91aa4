#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vocamo {

// The one way the program touches Bookmark.ini: the file's path and thin,
// null-safe wrappers over the profile functions. No state but the path. A
// write that fails returns false with errno saying why; reads never write.
class CIniFile {
public:
    CIniFile() = default;
    virtual ~CIniFile() = default;

    void SetPathName(const char *path);
    const std::string &GetPathName() const { return m_path; }

    bool WriteString(const char *section, const char *key, const char *value);
    std::string GetString(const char *section, const char *key, const char *defaultValue);
    void GetSectionNames(std::vector<std::string> &names);
    bool SectionExists(const char *name);
    bool AddSection(const char *name, bool failIfExists);
    bool DeleteSection(const char *name);
    // Sets the keys of one section together, in one replacement of the file.
    using KeyValue = std::pair<std::string, std::string>;
    bool WriteKeys(const char *section, const std::vector<KeyValue> &keys);

    // Walks a double-NUL list; stops (false) when the callback returns 0.
    using StringCallback = int (*)(const char *string, void *context);
    static bool ForEachString(const char *list, StringCallback callback, void *context);

private:
    std::vector<char> ListSectionNames();

    std::string m_path;
};

} // namespace vocamo
