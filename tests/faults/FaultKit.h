#pragma once

// What the fault tests share: a stall meter for the window thread, and the
// broken folders a phonebook may live in.

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace vocamo::test {

// Above this the window is taken for hung; it allows one 2-second wait of a
// send or an AT command and the work around it.
constexpr std::chrono::milliseconds kHangBound{2500};
// A port that answers nothing, or nonsense, may hold the window no longer
// than this.
constexpr std::chrono::milliseconds kModemStallBound{2000};

// The longest stretch the window thread went without running its timers,
// which is how long a click would have waited. Measures while the test
// pumps events or calls into the window.
class CStallMeter {
public:
    CStallMeter()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Beat(); });
        m_clock.start();
        m_timer.start(5);
    }

    std::chrono::milliseconds Longest()
    {
        Beat(); // a stretch still under way counts too
        return std::chrono::milliseconds(m_longest);
    }
    void Restart()
    {
        m_longest = 0;
        m_clock.restart();
    }

private:
    void Beat() { m_longest = std::max(m_longest, m_clock.restart()); }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// A folder nobody may write into, root included (the immutable attribute),
// while this lives. False from Engaged() where the file system has no such
// attribute.
class CImmutableFolder {
public:
    explicit CImmutableFolder(const std::string &path) : m_fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY))
    {
        if (m_fd < 0 || ::ioctl(m_fd, FS_IOC_GETFLAGS, &m_flags) != 0)
            return;
        int flags = m_flags | FS_IMMUTABLE_FL;
        m_engaged = ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ~CImmutableFolder()
    {
        if (m_engaged)
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &m_flags);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CImmutableFolder(const CImmutableFolder &) = delete;
    CImmutableFolder &operator=(const CImmutableFolder &) = delete;

    bool Engaged() const { return m_engaged; }

private:
    int m_fd = -1;
    int m_flags = 0;
    bool m_engaged = false;
};

// A small tmpfs on a folder, filled to the last byte by Fill(). False from
// Mounted() where mounting is not allowed.
class CSmallTmpfs {
public:
    explicit CSmallTmpfs(std::string path) : m_path(std::move(path))
    {
        m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                            "size=256k,mode=0755") == 0;
    }
    ~CSmallTmpfs()
    {
        if (m_mounted)
            ::umount2(m_path.c_str(), MNT_DETACH);
    }
    CSmallTmpfs(const CSmallTmpfs &) = delete;
    CSmallTmpfs &operator=(const CSmallTmpfs &) = delete;

    bool Mounted() const { return m_mounted; }

    // Takes every free block; true once a write ran out of space.
    bool Fill()
    {
        const std::string filler = m_path + "/filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        char block[4096] = {};
        size_t size = sizeof block;
        bool full = false;
        // Smaller and smaller pieces, so not even a byte is left.
        while (size > 0) {
            const ssize_t n = ::write(fd, block, size);
            if (n < 0 && errno == ENOSPC) {
                full = true;
                size /= 2;
            } else if (n <= 0) {
                break;
            }
        }
        ::close(fd);
        return full;
    }

private:
    std::string m_path;
    bool m_mounted = false;
};

} // namespace vocamo::test
