#include "phonebook/Phonebook.h"

#include <string_view>

namespace vocamo {

namespace {

bool IsBlankName(std::string_view name)
{
    return name.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

} // namespace

std::string BookmarkPathFor(const std::string &exeDir)
{
    return exeDir + "/Bookmark.ini";
}

std::unique_ptr<CBookmarkList> LoadBookmarks(CIniFile &file, const std::string &path)
{
    file.SetPathName(path.c_str());
    std::vector<std::string> names;
    file.GetSectionNames(names);
    auto list = std::make_unique<CBookmarkList>();
    for (size_t i = 0; i < names.size(); ++i) {
        auto *entry = new CBookmark(names[i], static_cast<uint32_t>(i));
        const char *name = names[i].c_str();
        entry->home = file.GetString(name, "Phone_Home", "");
        entry->office = file.GetString(name, "Phone_Office", "");
        entry->mobile = file.GetString(name, "Phone_Mobile", "");
        list->Append(entry);
    }
    return list;
}

void SaveBookmark(CIniFile &file, const std::string &name, const std::string &home,
                  const std::string &office, const std::string &mobile)
{
    if (IsBlankName(name))
        return;
    // The section keeps the name exactly as typed, blanks included.
    const char *section = name.c_str();
    if (!file.SectionExists(section))
        file.AddSection(section, true);
    file.WriteString(section, "Phone_Home", home.c_str());
    file.WriteString(section, "Phone_Office", office.c_str());
    file.WriteString(section, "Phone_Mobile", mobile.c_str());
}

void DeleteBookmark(CIniFile &file, const std::string &name)
{
    file.DeleteSection(name.c_str());
}

} // namespace vocamo
