#include "platform/profile/Profile.h"

#include "platform/profile/ProfileText.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <new>
#include <signal.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vocamo {

namespace {

// A copy older than this is left over even when its pid lives: pids are reused.
constexpr time_t kStaleTempSeconds = 10;

// What a cached copy of a file is checked against before each use. The
// inode is there because every write replaces the file by another one.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    time_t mtimeSeconds = 0;
    long mtimeNanoseconds = 0;

    bool operator==(const FileStamp &) const = default;
};

FileStamp StampOf(const struct stat &st)
{
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

using TextPtr = std::shared_ptr<const CProfileText>;

const TextPtr &EmptyText()
{
    static const TextPtr empty = std::make_shared<const CProfileText>();
    return empty;
}

bool ReadAll(int fd, std::string &bytes, off_t sizeHint)
{
    bytes.clear();
    bytes.reserve(sizeHint > 0 ? static_cast<size_t>(sizeHint) : 0);
    char chunk[65536];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        bytes.append(chunk, static_cast<size_t>(got));
    }
}

// Parsed files by path. Reads run beside writes from other threads, so the
// table is guarded; a text, once made, is never changed.
class ProfileCache {
public:
    // The file as it stands: an empty text when it does not exist, null (and
    // errno) when it exists but cannot be read. A fresh load reads the bytes
    // even when the stamp matches: the stamp can miss a replacement by another
    // process, when the new file reuses the inode and the size within one
    // tick of the file clock.
    TextPtr Load(const char *path, bool fresh = false)
    {
        struct stat st {};
        if (stat(path, &st) != 0)
            return (errno == ENOENT || errno == ENOTDIR) ? EmptyText() : nullptr;
        if (S_ISDIR(st.st_mode) || static_cast<size_t>(st.st_size) > CProfileText::kMaxBytes)
            return Refuse(S_ISDIR(st.st_mode) ? EISDIR : EFBIG);
        TextPtr known = Find(path, fresh ? nullptr : &st);
        if (known && !fresh)
            return known;
        const int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return errno == ENOENT ? EmptyText() : nullptr;
        std::string bytes;
        const bool read = fstat(fd, &st) == 0 && ReadAll(fd, bytes, st.st_size);
        const int error = errno;
        close(fd);
        if (!read || bytes.size() > CProfileText::kMaxBytes)
            return Refuse(read ? EFBIG : error);
        TextPtr text = known && known->Bytes() == bytes
                           ? known
                           : std::make_shared<const CProfileText>(std::move(bytes));
        Store(path, StampOf(st), text);
        return text;
    }

    // The cached text of path; with a stat, only while the file matches it.
    TextPtr Find(const char *path, const struct stat *st)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (Entry &entry : m_entries) {
            if (entry.path == path && (!st || entry.stamp == StampOf(*st))) {
                entry.lastUse = ++m_clock;
                return entry.text;
            }
        }
        return nullptr;
    }

    void Forget(const char *path)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        std::erase_if(m_entries, [&](const Entry &entry) { return entry.path == path; });
    }

    void Store(const std::string &path, const FileStamp &stamp, TextPtr text)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Entry *slot = nullptr;
        for (Entry &entry : m_entries) {
            if (entry.path == path)
                slot = &entry;
        }
        if (!slot && m_entries.size() < kMaxFiles) {
            m_entries.push_back({});
            slot = &m_entries.back();
        }
        if (!slot) {
            slot = &m_entries.front();
            for (Entry &entry : m_entries) {
                if (entry.lastUse < slot->lastUse)
                    slot = &entry;
            }
        }
        *slot = {path, stamp, std::move(text), ++m_clock};
    }

    // Held through each read-change-replace, so that two threads writing the
    // same file do not lose each other's change.
    std::mutex &WriteLock() { return m_writeLock; }

private:
    static TextPtr Refuse(int error)
    {
        errno = error;
        return nullptr;
    }

    static constexpr size_t kMaxFiles = 8;
    struct Entry {
        std::string path;
        FileStamp stamp;
        TextPtr text;
        uint64_t lastUse = 0;
    };

    std::mutex m_lock;
    std::vector<Entry> m_entries;
    uint64_t m_clock = 0;
    std::mutex m_writeLock;
};

ProfileCache &Cache()
{
    static ProfileCache cache;
    return cache;
}

bool WriteAll(int fd, const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            errno = put ? errno : EIO;
            return false;
        }
        done += static_cast<size_t>(put);
    }
    return true;
}

BOOL Fail(int error)
{
    errno = error;
    return 0;
}

// The file a path names: a link is followed, so that its target is the file
// replaced and locked, not the link.
std::string TargetOf(const char *path)
{
    struct stat st {};
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char *real = realpath(path, nullptr)) {
            std::string target = real;
            std::free(real);
            return target;
        }
    }
    return path;
}

// The folder and the name of a file, for the files made beside it.
std::pair<std::string, std::string> SplitPath(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {path.substr(0, slash ? slash : 1), path.substr(slash + 1)};
}

// Copies being written are ".<name>.tmp<pid>-<n>" beside the file.
std::string TempPrefix(const std::string &name)
{
    return "." + name + ".tmp";
}

// An advisory lock on ".<name>.lock" beside the file, held through a
// read-change-replace, so that writers in every process take turns. The
// lock file stays: removing it would let two writers lock different files.
class CFileLock {
public:
    explicit CFileLock(const std::string &target)
    {
        const auto [dir, name] = SplitPath(target);
        m_fd = open((dir + "/." + name + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        int taken = -1;
        while (m_fd >= 0 && (taken = flock(m_fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        m_error = m_fd < 0 || taken != 0 ? errno : 0;
        if (m_error && m_fd >= 0)
            close(m_fd);
        if (m_error)
            m_fd = -1;
    }
    ~CFileLock()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    CFileLock(const CFileLock &) = delete;
    CFileLock &operator=(const CFileLock &) = delete;

    int Error() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
};

// Writes the new contents beside the file and renames them over it, so the
// file is always either the old one or the new one, whole.
bool ReplaceFile(const std::string &target, const std::string &bytes, FileStamp &stamp,
                 bool &stamped)
{
    stamped = false;
    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    // The rename would go round the file's own permission. Without any write
    // bit the file is read-only by intent, for root too.
    if (exists && access(target.c_str(), W_OK) != 0)
        return false;
    if (exists && (st.st_mode & 0222) == 0)
        return Fail(EACCES);
    const auto [dir, name] = SplitPath(target);

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir + "/" + TempPrefix(name) + std::to_string(getpid()) + "-" +
               std::to_string(counter.fetch_add(1));
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    if (exists) {
        // The replacement keeps the file's mode and, where allowed, its owner;
        // neither is worth failing the write for.
        [[maybe_unused]] const int modeKept = fchmod(fd, st.st_mode & 07777);
        [[maybe_unused]] const int ownerKept = fchown(fd, st.st_uid, st.st_gid);
    }
    int error = WriteAll(fd, bytes) && fsync(fd) == 0 ? 0 : errno;
    // The stamp of the file written, not of whatever the path names later.
    struct stat written {};
    stamped = !error && fstat(fd, &written) == 0;
    if (close(fd) != 0 && !error)
        error = errno;
    if (!error && rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error) {
        unlink(temp.c_str());
        return Fail(error);
    }
    if (stamped)
        stamp = StampOf(written);
    return true;
}

// Reads the file, applies one change to its bytes and replaces the file,
// unless the change leaves the bytes as they were. On failure errno says why.
template <typename Change> BOOL ChangeFile(const char *path, Change change)
{
    const std::string target = TargetOf(path);
    ProfileCache &cache = Cache();
    std::lock_guard<std::mutex> guard(cache.WriteLock());
    const CFileLock lock(target);
    // Only a folder that takes no lock file goes on without one: it cannot
    // take the replacement either, so just a write that changes nothing succeeds.
    if (lock.Error() && access(SplitPath(target).first.c_str(), W_OK) == 0)
        return Fail(lock.Error());
    // Read again under the lock: another process may have just replaced it.
    const TextPtr text = cache.Load(path, true);
    // A file that exists but cannot be read is not replaced by one without
    // its contents.
    if (!text)
        return 0;
    std::string bytes = change(*text);
    if (bytes == text->Bytes())
        return 1;
    if (bytes.size() > CProfileText::kMaxBytes)
        return Fail(EFBIG);
    FileStamp stamp;
    bool stamped = false;
    if (!ReplaceFile(target, bytes, stamp, stamped))
        return 0;
    if (stamped)
        cache.Store(path, stamp, std::make_shared<const CProfileText>(std::move(bytes)));
    return 1;
}

// The owner of one of our copies, from its name; 0 for any other name.
pid_t TempOwner(std::string_view name, std::string_view prefix)
{
    if (!name.starts_with(prefix))
        return 0;
    name.remove_prefix(prefix.size());
    const size_t dash = name.find('-');
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == text.npos;
    };
    pid_t pid = 0;
    if (dash != name.npos && digits(name.substr(0, dash)) && digits(name.substr(dash + 1)))
        std::from_chars(name.data(), name.data() + dash, pid);
    return pid;
}

// Cuts UTF-8 text to at most length bytes, never inside a character.
size_t CharBoundary(std::string_view text, size_t length)
{
    size_t cut = length;
    for (int back = 0; back < 3 && cut > 0 && cut < text.size() &&
                       (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80;
         ++back)
        --cut;
    return cut;
}

DWORD CopyValue(char *buffer, DWORD size, std::string_view value)
{
    if (value.size() < size) {
        std::memcpy(buffer, value.data(), value.size());
        buffer[value.size()] = '\0';
        return static_cast<DWORD>(value.size());
    }
    // size - 1 tells the caller the value was cut, even when the cut fell a
    // few bytes earlier to keep a character whole.
    const size_t cut = CharBoundary(value, size - 1);
    std::memcpy(buffer, value.data(), cut);
    std::memset(buffer + cut, 0, size - cut);
    return size - 1;
}

// list holds each name followed by its NUL; the final NUL is added here.
DWORD CopyList(char *buffer, DWORD size, std::string_view list)
{
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        if (list.empty() && size >= 2)
            buffer[1] = '\0';
        return static_cast<DWORD>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    const size_t cut = CharBoundary(list, size - 2);
    std::memcpy(buffer, list.data(), cut);
    std::memset(buffer + cut, 0, size - cut);
    return size - 2;
}

std::string_view StripQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view DropLeadingBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != text.npos;
}

// A key that would not read back as itself (a comment, a header, a name cut
// at its "=") would be appended again at every write.
bool IsWritableKey(std::string_view key)
{
    return !key.empty() && key.front() != ';' && key.front() != '[' && key.find('=') == key.npos &&
           !HasLineBreak(key);
}

TextPtr LoadForRead(const char *path)
{
    return path ? Cache().Load(path) : nullptr;
}

DWORD ReadString(const char *section, const char *key, const char *defaultValue, char *buffer,
                 DWORD size, const char *path)
{
    if (!buffer || size == 0)
        return 0;
    const TextPtr text = LoadForRead(path);
    if (!section)
        return CopyList(buffer, size, text ? std::string_view(text->SectionNameList()) : "");
    const CProfileText::Section *found = text ? text->FindSection(section) : nullptr;
    if (!key)
        return CopyList(buffer, size, found ? text->KeyNameList(*found) : std::string());
    const CProfileText::Key *value = found ? text->FindKey(*found, key) : nullptr;
    if (value)
        return CopyValue(buffer, size, StripQuotes(text->Value(*value)));
    std::string_view fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && (fallback.back() == ' ' || fallback.back() == '\t'))
        fallback.remove_suffix(1);
    return CopyValue(buffer, size, fallback);
}

DWORD ReadSectionNames(char *buffer, DWORD size, const char *path)
{
    if (!buffer || size == 0)
        return 0;
    const TextPtr text = LoadForRead(path);
    return CopyList(buffer, size, text ? std::string_view(text->SectionNameList()) : "");
}

BOOL WriteString(const char *section, const char *key, const char *value, const char *path)
{
    if (!section)
        return !key && !value ? 1 : Fail(EINVAL); // the flush request: nothing is held back
    if (!path || HasLineBreak(section))
        return Fail(EINVAL);
    const std::string_view name = DropLeadingBlanks(section);
    if (!key)
        return ChangeFile(path, [&](const CProfileText &t) { return t.WithoutSection(name); });
    const std::string_view keyName = DropLeadingBlanks(key);
    if (!value)
        return ChangeFile(path, [&](const CProfileText &t) { return t.WithoutKey(name, keyName); });
    const std::string_view text = DropLeadingBlanks(value);
    if (!IsWritableKey(keyName) || HasLineBreak(text))
        return Fail(EINVAL);
    const CProfileText::KeyValues values{{keyName, text}};
    return ChangeFile(path, [&](const CProfileText &t) { return t.WithValues(name, values); });
}

BOOL WriteKeys(const char *section, const char *keysAndValues, const char *path)
{
    if (!section || !keysAndValues || !path || HasLineBreak(section))
        return Fail(EINVAL);
    CProfileText::KeyValues values;
    for (const char *entry = keysAndValues; *entry; entry += std::strlen(entry) + 1) {
        const std::string_view line = DropLeadingBlanks(entry);
        const size_t equals = line.find('=');
        if (equals == line.npos || !IsWritableKey(line.substr(0, equals)) || HasLineBreak(line))
            return Fail(EINVAL);
        values.emplace_back(line.substr(0, equals), DropLeadingBlanks(line.substr(equals + 1)));
    }
    const std::string_view name = DropLeadingBlanks(section);
    return ChangeFile(path, [&](const CProfileText &t) { return t.WithValues(name, values); });
}

BOOL ChangeSections(const char *path, const ProfileSectionPlan &plan)
{
    if (!path || !plan)
        return Fail(EINVAL);
    int invalid = 0;
    const BOOL changed = ChangeFile(path, [&](const CProfileText &t) {
        const std::vector<ProfileSectionKeys> planned = plan(t);
        CProfileText::SectionValues sections;
        sections.reserve(planned.size());
        for (const ProfileSectionKeys &entry : planned) {
            CProfileText::KeyValues values;
            for (const auto &[key, value] : entry.keys) {
                const std::string_view name = DropLeadingBlanks(key);
                const std::string_view text = DropLeadingBlanks(value);
                if (!IsWritableKey(name) || HasLineBreak(text) ||
                    (name.find('\0') != name.npos || text.find('\0') != text.npos))
                    invalid = EINVAL;
                values.emplace_back(name, text);
            }
            const std::string_view name = DropLeadingBlanks(entry.section);
            if (name.empty() || HasLineBreak(name) || name.find('\0') != name.npos)
                invalid = EINVAL;
            sections.emplace_back(name, std::move(values));
        }
        // Nothing of a plan with a bad name or value is written.
        return invalid ? t.Bytes() : t.WithSectionValues(sections);
    });
    return invalid ? Fail(invalid) : changed;
}

BOOL WriteSection(const char *section, const char *keysAndValues, const char *path)
{
    if (!section || !path || HasLineBreak(section))
        return Fail(EINVAL);
    const std::string_view name = DropLeadingBlanks(section);
    if (!keysAndValues)
        return ChangeFile(path, [&](const CProfileText &t) { return t.WithoutSection(name); });
    std::vector<std::string> lines;
    for (const char *entry = keysAndValues; *entry; entry += std::strlen(entry) + 1) {
        const std::string_view line = DropLeadingBlanks(entry);
        if (HasLineBreak(line))
            return Fail(EINVAL);
        if (!line.empty())
            lines.emplace_back(line);
    }
    return ChangeFile(path, [&](const CProfileText &t) { return t.WithSection(name, lines); });
}

} // namespace

// A file too large for memory is a failure of the call, not of the program.

DWORD GetPrivateProfileStringA(const char *section, const char *key, const char *defaultValue,
                               char *buffer, DWORD size, const char *path)
{
    try {
        return ReadString(section, key, defaultValue, buffer, size, path);
    } catch (const std::bad_alloc &) {
        if (buffer && size)
            buffer[0] = '\0';
        return 0;
    }
}

DWORD GetPrivateProfileSectionNamesA(char *buffer, DWORD size, const char *path)
{
    try {
        return ReadSectionNames(buffer, size, path);
    } catch (const std::bad_alloc &) {
        if (buffer && size)
            buffer[0] = '\0';
        return 0;
    }
}

BOOL WritePrivateProfileStringA(const char *section, const char *key, const char *value,
                                const char *path)
{
    try {
        return WriteString(section, key, value, path);
    } catch (const std::bad_alloc &) {
        return Fail(ENOMEM);
    }
}

BOOL WritePrivateProfileSectionA(const char *section, const char *keysAndValues, const char *path)
{
    try {
        return WriteSection(section, keysAndValues, path);
    } catch (const std::bad_alloc &) {
        return Fail(ENOMEM);
    }
}

BOOL WriteProfileKeys(const char *section, const char *keysAndValues, const char *path)
{
    try {
        return WriteKeys(section, keysAndValues, path);
    } catch (const std::bad_alloc &) {
        return Fail(ENOMEM);
    }
}

BOOL ChangeProfileSections(const char *path, const ProfileSectionPlan &plan)
{
    try {
        return ChangeSections(path, plan);
    } catch (const std::bad_alloc &) {
        return Fail(ENOMEM);
    }
}

void ForgetProfile(const char *path)
{
    Cache().Forget(path);
}

void RemoveStaleProfileTemps(const char *path)
{
    if (!path)
        return;
    const auto [dir, name] = SplitPath(TargetOf(path));
    DIR *folder = opendir(dir.c_str());
    if (!folder)
        return;
    const std::string prefix = TempPrefix(name);
    while (const dirent *entry = readdir(folder)) {
        const pid_t owner = TempOwner(entry->d_name, prefix);
        struct stat st {};
        if (owner <= 0 || fstatat(dirfd(folder), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        // A live writer holds its copy for a moment; a pid may be reused.
        const bool ownerGone = kill(owner, 0) != 0 && errno == ESRCH;
        if (ownerGone || time(nullptr) - st.st_mtime > kStaleTempSeconds)
            unlinkat(dirfd(folder), entry->d_name, 0);
    }
    closedir(folder);
}

} // namespace vocamo
