#pragma once

// What the saver child writes at each step, so the test can tell what a
// complete save left behind. Steps wrap round a set of names, so later steps
// overwrite earlier entries as well as adding new ones.

#include <string>

namespace vocamo::test {

constexpr int kSaverNames = 150;

inline std::string SaverName(int step)
{
    return "Entry " + std::to_string(step % kSaverNames);
}

inline std::string SaverNumber(int step, int which)
{
    return "0" + std::to_string(which) + "0 " + std::to_string(step);
}

} // namespace vocamo::test
