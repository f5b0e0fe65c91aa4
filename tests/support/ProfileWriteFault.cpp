#include "tests/support/ProfileWriteFault.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <sys/stat.h>
#include <sys/types.h>

namespace vocamo {
namespace {

std::atomic<ProfileWriteFault> g_fault{nullptr};

// The errno to fail this step with, or 0.
int FaultAt(ProfileWriteStep step)
{
    const ProfileWriteFault fault = g_fault.load();
    return fault ? fault(step) : 0;
}

// Serial ports, pipes and sockets of the same program go on working.
bool IsRegularFile(int fd)
{
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

void SetProfileWriteFault(ProfileWriteFault fault)
{
    g_fault.store(fault);
}

int ProfileReplacements(const std::function<void()> &f)
{
    static std::atomic<int> renames;
    renames = 0;
    SetProfileWriteFault([](ProfileWriteStep step) {
        renames += step == ProfileWriteStep::Rename;
        return 0;
    });
    f();
    SetProfileWriteFault(nullptr);
    return renames;
}

} // namespace vocamo

using vocamo::ProfileWriteStep;

extern "C" {
ssize_t __real_write(int fd, const void *data, size_t size);
int __real_fsync(int fd);
int __real_rename(const char *from, const char *to);

ssize_t __wrap_write(int fd, const void *data, size_t size)
{
    if (const int error = vocamo::FaultAt(ProfileWriteStep::Write);
        error && vocamo::IsRegularFile(fd)) {
        errno = error;
        return -1;
    }
    return __real_write(fd, data, size);
}

int __wrap_fsync(int fd)
{
    if (const int error = vocamo::FaultAt(ProfileWriteStep::Fsync);
        error && vocamo::IsRegularFile(fd)) {
        errno = error;
        return -1;
    }
    return __real_fsync(fd);
}

int __wrap_rename(const char *from, const char *to)
{
    if (const int error = vocamo::FaultAt(ProfileWriteStep::Rename)) {
        errno = error;
        return -1;
    }
    return __real_rename(from, to);
}
}
