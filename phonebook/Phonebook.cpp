#include "phonebook/Phonebook.h"

#include "platform/profile/Profile.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <string_view>
#include <unistd.h>

namespace vocamo {

namespace {

bool IsBlankName(std::string_view name)
{
    return name.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

std::error_code LastError()
{
    return {errno ? errno : EIO, std::generic_category()};
}

std::filesystem::path ConfigHome()
{
    // The base directory standard: a relative XDG_CONFIG_HOME is ignored.
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return config;
    const char *home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd *user = getpwuid(getuid());
        home = user ? user->pw_dir : "/";
    }
    return std::filesystem::path(home) / ".config";
}

} // namespace

std::string BookmarkPathFor(const std::string &exeDir)
{
    return exeDir + "/Bookmark.ini";
}

std::string BookmarkLocation(const std::string &exeDir)
{
    namespace fs = std::filesystem;
    const std::string beside = BookmarkPathFor(exeDir);
    // Every save replaces the file, so it is the folder that must be writable.
    if (access(exeDir.c_str(), W_OK) == 0)
        return beside;
    const fs::path folder = ConfigHome() / "vocamo";
    const fs::path path = folder / "Bookmark.ini";
    std::error_code error;
    fs::create_directories(folder, error);
    // Installed as <prefix>/lib/vocamo/vocamo beside <prefix>/share/vocamo.
    const fs::path sample =
        (fs::path(exeDir) / "../../share/vocamo/Bookmark.ini").lexically_normal();
    // copy_file and the append never touch a phonebook that is there.
    for (const fs::path &source : {fs::path(beside), sample}) {
        if (fs::copy_file(source, path, error)) {
            // An installed file may be read-only; the user's copy is not.
            fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
            return path;
        }
    }
    std::ofstream(path, std::ios::app);
    return path;
}

std::unique_ptr<CBookmarkList> LoadBookmarks(CIniFile &file, const std::string &path)
{
    RemoveStaleProfileTemps(path.c_str());
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
    // The entries hold what the phone needs; the parsed file would only
    // double a big phonebook's memory until the next load.
    ForgetProfile(path.c_str());
    return list;
}

std::error_code SaveBookmark(CIniFile &file, const std::string &name, const std::string &home,
                             const std::string &office, const std::string &mobile)
{
    if (IsBlankName(name))
        return {};
    // The section keeps the name exactly as typed, blanks included. The three
    // numbers go in together: no reader or kill sees a name without them.
    const bool saved = file.WriteKeys(
        name.c_str(), {{"Phone_Home", home}, {"Phone_Office", office}, {"Phone_Mobile", mobile}});
    return saved ? std::error_code() : LastError();
}

std::error_code DeleteBookmark(CIniFile &file, const std::string &name)
{
    return file.DeleteSection(name.c_str()) ? std::error_code() : LastError();
}

} // namespace vocamo
