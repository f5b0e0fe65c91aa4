#pragma once

#include <functional>

namespace vocamo {

// The steps of replacing a profile file, in order.
enum class ProfileWriteStep { Write, Fsync, Rename };

// Makes one step of the profile writes fail: the hook returns an errno value
// to fail the step with, or 0 to let it run. Null runs every step. Works in
// test programs linked with vocamo_test_support, which wraps write, fsync and
// rename at link time; only writes to regular files are touched.
using ProfileWriteFault = int (*)(ProfileWriteStep step);
void SetProfileWriteFault(ProfileWriteFault fault);

// How often f replaced a file, counted at the renames.
int ProfileReplacements(const std::function<void()> &f);

} // namespace vocamo
