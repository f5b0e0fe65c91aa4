#pragma once

#include "phonebook/BookmarkList.h"
#include "phonebook/IniFile.h"

#include <memory>
#include <string>

namespace vocamo {

// Bookmark.ini beside the executable (dir without a trailing slash).
std::string BookmarkPathFor(const std::string &exeDir);

// Sets the file's path and reads every section into a new list, in file
// order, with the three numbers. The caller posts EVT_BOOKMARKS_LOADED.
std::unique_ptr<CBookmarkList> LoadBookmarks(CIniFile &file, const std::string &path);

// The editor's save step: nothing for a blank name; otherwise the section of
// that exact name gets the three keys (created at the end when missing).
void SaveBookmark(CIniFile &file, const std::string &name, const std::string &home,
                  const std::string &office, const std::string &mobile);

void DeleteBookmark(CIniFile &file, const std::string &name);

} // namespace vocamo
