#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vocamo {

// One phonebook entry: a section of Bookmark.ini.
class CBookmark {
public:
    CBookmark(std::string name, uint32_t index) : index(index), name(std::move(name)) {}
    virtual ~CBookmark() = default;

    uint32_t index;
    std::string name;
    std::string home;
    std::string office;
    std::string mobile;
};

} // namespace vocamo
