#pragma once

#include "phonebook/BookmarkList.h"
#include "phonebook/IniFile.h"

#include <memory>
#include <string>
#include <system_error>

namespace vocamo {

// Bookmark.ini beside the executable (dir without a trailing slash).
std::string BookmarkPathFor(const std::string &exeDir);

// Where the phonebook lives: beside the executable when the user may write
// that folder (a build, a portable copy); otherwise
// $XDG_CONFIG_HOME/vocamo/Bookmark.ini (~/.config/vocamo), made on first use
// from the phonebook beside the executable or else from the installed sample
// <prefix>/share/vocamo/Bookmark.ini, or empty.
std::string BookmarkLocation(const std::string &exeDir);

// Sets the file's path and reads every section into a new list, in file
// order, with the three numbers; first removes the copies a killed save
// left. The caller posts EVT_BOOKMARKS_LOADED.
std::unique_ptr<CBookmarkList> LoadBookmarks(CIniFile &file, const std::string &path);

// The editor's save step: nothing for a blank name; otherwise the section of
// that exact name gets the three keys (created at the end when missing), in
// one replacement of the file. Empty on success (a blank name included),
// else why the file was left as it was.
std::error_code SaveBookmark(CIniFile &file, const std::string &name, const std::string &home,
                             const std::string &office, const std::string &mobile);

std::error_code DeleteBookmark(CIniFile &file, const std::string &name);

} // namespace vocamo
