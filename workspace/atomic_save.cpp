#include "workspace/atomic_save.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linoveta {

bool WriteReplacement(ReplacementFile &file, std::string_view bytes)
{
    QIODevice &device = file.device();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const qint64 wrote = device.write(bytes.data() + done, qint64(bytes.size() - done));
        if (wrote <= 0) {
            file.discard();
            return false;
        }
        done += std::size_t(wrote);
    }
    if (!file.flush() || !file.replaceTarget()) {
        file.discard();
        return false;
    }
    return true;
}

namespace {

// The kernel's own limit on the links met while following one path.
constexpr int kMaxLinkHops = 40;

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    ~Descriptor() { reset(); }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

struct Target {
    Descriptor folder;  // the real folder that holds the file
    std::string name;   // the file's name in it
    std::optional<struct stat> existing;
};

// The file a save to `path` really writes, found as the system follows the path: its folders
// through realpath, then each link of the last name from the real folder holding that link, so
// a ".." in a link's text climbs out of the folder a linked folder leads to.
std::optional<Target> ResolveTarget(std::string path)
{
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string(".")
                                   : slash == 0               ? std::string("/")
                                                              : path.substr(0, slash);
        std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (name.empty() || name == "." || name == "..")
            return std::nullopt;
        char *resolved = ::realpath(folder.c_str(), nullptr);
        if (!resolved)
            return std::nullopt;
        const std::string realFolder = resolved;
        std::free(resolved);

        Target target;
        target.folder.reset(::open(realFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!target.folder.valid())
            return std::nullopt;
        struct stat info {};
        if (::fstatat(target.folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return std::nullopt;
            target.name = std::move(name);
            return target;
        }
        if (!S_ISLNK(info.st_mode)) {
            target.name = std::move(name);
            target.existing = info;
            return target;
        }
        char text[PATH_MAX];
        const ssize_t length = ::readlinkat(target.folder.get(), name.c_str(), text, sizeof text);
        if (length <= 0 || std::size_t(length) >= sizeof text)
            return std::nullopt;
        const std::string link(text, std::size_t(length));
        path = link.front() == '/' ? link : realFolder + '/' + link;
    }
    return std::nullopt;  // a loop of links
}

// Temporary names: "." + the target's name (shortened where needed) + kMark + random letters.
constexpr std::string_view kMark = ".~";
constexpr std::size_t kRandomLetters = 8;
constexpr std::string_view kLetters = "0123456789abcdefghijklmnopqrstuvwxyz";

// The start shared by the temporary names of one target. The target's name is cut where the
// whole would not fit the folder's longest name, so the longest names can be saved too.
std::string TemporaryPrefix(int folder, const std::string &name)
{
    long longest = ::fpathconf(folder, _PC_NAME_MAX);
    if (longest <= 0)
        longest = NAME_MAX;
    const long room = longest - long(1 + kMark.size() + kRandomLetters);
    std::size_t keep = std::min(name.size(), std::size_t(std::max(room, 0L)));
    // Never inside a character of a UTF-8 name, so the file dialogs show the name whole.
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return '.' + name.substr(0, keep) + std::string(kMark);
}

bool IsTemporaryName(std::string_view entry, std::string_view prefix)
{
    if (entry.size() != prefix.size() + kRandomLetters || entry.substr(0, prefix.size()) != prefix)
        return false;
    return std::all_of(entry.begin() + std::ptrdiff_t(prefix.size()), entry.end(),
                       [](char c) { return kLetters.find(c) != std::string_view::npos; });
}

std::string RandomLetters()
{
    std::string letters;
    for (std::size_t i = 0; i < kRandomLetters; ++i)
        letters += kLetters[QRandomGenerator::system()->bounded(quint32(kLetters.size()))];
    return letters;
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A save keeps its temporary file locked from creation to rename, so one of ours that can be
// locked was left by a save that was killed, and is removed.
void RemoveStaleTemporaries(int folder, const std::string &prefix)
{
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    DIR *dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    std::vector<std::string> found;
    while (const dirent *entry = ::readdir(dir))
        if (IsTemporaryName(entry->d_name, prefix))
            found.emplace_back(entry->d_name);
    ::closedir(dir);

    for (const std::string &name : found) {
        const Descriptor file(::openat(folder, name.c_str(),
                                       O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat opened {}, named {};
        if (!file.valid() || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
            opened.st_uid != ::geteuid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            SameFile(opened, named))
            ::unlinkat(folder, name.c_str(), 0);
    }
}

// A new file beside the target. QSaveFile is not used: it renames its file over the target
// even when the last flush failed for want of space, leaving a truncated file.
class DiskReplacementFile final : public ReplacementFile {
public:
    explicit DiskReplacementFile(const QString &path)
    {
        std::optional<Target> target = ResolveTarget(QFile::encodeName(path).toStdString());
        if (!target)
            return;
        // The rename asks only the folder's permission: the file's own is checked here.
        if (target->existing &&
            (!S_ISREG(target->existing->st_mode) ||
             ::faccessat(target->folder.get(), target->name.c_str(), W_OK, AT_EACCESS) != 0))
            return;
        m_folder = std::move(target->folder);
        m_name = std::move(target->name);
        m_old = target->existing;

        const std::string prefix = TemporaryPrefix(m_folder.get(), m_name);
        RemoveStaleTemporaries(m_folder.get(), prefix);
        // Over an old file the new one stays private until it has the old mode; a file of a
        // new name is made as any other, under the user's mask.
        const mode_t mode = m_old ? 0600 : 0666;
        for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
            const std::string temp = prefix + RandomLetters();
            const int fd = ::openat(m_folder.get(), temp.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd < 0 && errno != EEXIST)
                return;
            if (fd < 0)
                continue;
            if (!holdAsLive(fd, temp)) {
                ::close(fd);
                continue;
            }
            m_fd = fd;
            m_temp = temp;
        }
        if (m_fd >= 0)
            m_file.open(m_fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                        QFileDevice::DontCloseHandle);
    }
    ~DiskReplacementFile() override { discard(); }

    bool isOpen() const { return m_file.isOpen(); }
    QIODevice &device() override { return m_file; }
    bool flush() override
    {
        if (m_fd < 0 || !m_file.flush() || m_file.error() != QFileDevice::NoError)
            return false;
        m_file.close();
        const bool settled = takeOverOldFile();
        const bool synced = settled && ::fsync(m_fd) == 0;
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        return settled && synced && closed;
    }
    bool replaceTarget() override
    {
        if (m_fd >= 0 || m_temp.empty() ||
            ::renameat(m_folder.get(), m_temp.c_str(), m_folder.get(), m_name.c_str()) != 0)
            return false;
        m_temp.clear();
        m_lock.reset();
        return true;
    }
    void discard() override
    {
        m_file.close();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        if (!m_temp.empty())
            ::unlinkat(m_folder.get(), m_temp.c_str(), 0);
        m_temp.clear();
        m_lock.reset();
    }

private:
    // Locks the new file until it is renamed or removed, through a second descriptor that
    // outlives the checked close. A cleaner may have taken the name between the creation and
    // the lock; then it is no longer ours and another name is tried. Where the file system has
    // no locks, no cleaner can lock a file either, so the save goes on unlocked.
    bool holdAsLive(int fd, const std::string &temp)
    {
        Descriptor lock(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
        if (lock.valid())
            while (::flock(lock.get(), LOCK_EX) != 0 && errno == EINTR) {
            }
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) != 0 ||
            ::fstatat(m_folder.get(), temp.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !SameFile(opened, named))
            return false;
        m_lock = std::move(lock);
        return true;
    }

    // The old file's owner, group and mode, in that order: a change of owner or group clears
    // the set-id bits, and until the mode is set no one else can read the file.
    bool takeOverOldFile()
    {
        if (!m_old)
            return true;
        struct stat now {};
        if (::fstat(m_fd, &now) != 0)
            return false;
        if ((now.st_uid != m_old->st_uid || now.st_gid != m_old->st_gid) &&
            ::fchown(m_fd, m_old->st_uid, m_old->st_gid) != 0)
            return false;
        return ::fchmod(m_fd, m_old->st_mode & 07777) == 0;
    }

    Descriptor m_folder;
    std::string m_name;
    std::optional<struct stat> m_old;
    std::string m_temp;
    int m_fd = -1;
    Descriptor m_lock;
    QFile m_file;
};

} // namespace

bool WriteFileAtomically(const QString &path, std::string_view bytes)
{
    DiskReplacementFile file(path);
    if (!file.isOpen())
        return false;
    return WriteReplacement(file, bytes);
}

} // namespace linoveta
