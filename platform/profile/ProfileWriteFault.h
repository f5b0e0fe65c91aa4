#pragma once

namespace vocamo {

// The steps of replacing a profile file, in order.
enum class ProfileWriteStep { Write, Fsync, Rename };

// Lets tests make one step of a profile write fail: the hook returns an errno
// value to fail the step with, or 0 to let it run. Null (the default) runs
// every step.
using ProfileWriteFault = int (*)(ProfileWriteStep step);
void SetProfileWriteFault(ProfileWriteFault fault);

} // namespace vocamo
