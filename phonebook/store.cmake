add_library(vocamo_phonebook STATIC
    Bookmark.h
    BookmarkList.h BookmarkList.cpp
    IniFile.h IniFile.cpp
    Phonebook.h Phonebook.cpp)
target_include_directories(vocamo_phonebook PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_phonebook PUBLIC vocamo_profile)
