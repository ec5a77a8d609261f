// Saving over files of the real file system: permissions, owners and groups, links, long
// names and saves killed on the way. Permission bits do not count for root, so the saves of
// those cases run in a child process that has become an unprivileged user.

#include "workspace/graph_document.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace linoveta {
namespace {

const std::string kOld = "old contents\r\n";
const std::string kNew = "new contents\r\n";

QByteArray Native(const QString &path) { return QFile::encodeName(path); }

std::string Contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
}

void Write(const QString &path, const std::string &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

struct stat Stat(const QString &path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(Native(path).constData(), &info), 0) << path.toStdString();
    return info;
}

// Every name under `folder`, hidden ones too, links not followed, sorted.
std::vector<std::string> Entries(const QString &folder)
{
    std::vector<std::string> names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names.push_back(QDir(folder).relativeFilePath(it.next()).toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

struct ChildEnd {
    bool exited = false;
    int code = -1;
    int signal = 0;
};

ChildEnd Wait(pid_t pid, int options = 0)
{
    int status = 0;
    while (::waitpid(pid, &status, options) < 0 && errno == EINTR) {
    }
    ChildEnd end;
    end.exited = WIFEXITED(status);
    end.code = end.exited ? WEXITSTATUS(status) : -1;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : WIFSTOPPED(status) ? WSTOPSIG(status) : 0;
    return end;
}

// Runs `body` in a child process; its result is the child's exit code.
template <typename Body>
pid_t StartChild(Body body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const struct rlimit noCore {0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::umask(022);
        ::_exit(body());
    }
    return pid;
}

// Ends a child that a failed check would otherwise leave behind, stopped or running.
class ChildGuard {
public:
    explicit ChildGuard(pid_t pid) : m_pid(pid) {}
    ~ChildGuard()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            Wait(m_pid);
        }
    }
    void release() { m_pid = -1; }

private:
    pid_t m_pid;
};

template <typename Body>
ChildEnd InChild(Body body)
{
    return Wait(StartChild(body));
}

constexpr int kSaved = 0;
constexpr int kRefused = 1;
constexpr int kCannotBecomeSaver = 70;

// Numbers of no account on any machine: set-up needs no users or groups made by hand.
constexpr uid_t kSaverUid = 64101;
constexpr uid_t kOtherUid = 64102;
constexpr gid_t kPrimaryGid = 64101;
constexpr gid_t kSecondGid = 64103;
constexpr gid_t kForeignGid = 64104;

enum class Owner { Saver, Other };
enum class Group { Primary, Second, Foreign };

// The user the permission cases save as. Under root it is kSaverUid with the groups kPrimaryGid
// and kSecondGid, taken on in the child, and root prepares files of other owners and groups.
// Any other user saves as itself; the cases that need a file it cannot make are skipped.
struct Saver {
    bool root = false;
    uid_t uid = 0;
    gid_t primary = 0;
    std::optional<gid_t> second;

    static Saver Find()
    {
        Saver saver;
        if (::geteuid() == 0) {
            saver = {true, kSaverUid, kPrimaryGid, kSecondGid};
            return saver;
        }
        saver.uid = ::geteuid();
        saver.primary = ::getegid();
        std::array<gid_t, 256> groups {};
        const int n = ::getgroups(int(groups.size()), groups.data());
        for (int i = 0; i < n; ++i)
            if (groups[std::size_t(i)] != saver.primary)
                saver.second = groups[std::size_t(i)];
        return saver;
    }
    std::optional<uid_t> owner(Owner o) const
    {
        if (o == Owner::Saver)
            return uid;
        return root ? std::optional<uid_t>(kOtherUid) : std::nullopt;
    }
    std::optional<gid_t> group(Group g) const
    {
        switch (g) {
        case Group::Primary: return primary;
        case Group::Second: return second;
        case Group::Foreign: return root ? std::optional<gid_t>(kForeignGid) : std::nullopt;
        }
        return std::nullopt;
    }
    // In the child: from root to the saver, for good.
    bool become() const
    {
        if (!root)
            return true;
        const std::array<gid_t, 2> groups = {primary, *second};
        return ::setgroups(groups.size(), groups.data()) == 0 && ::setgid(primary) == 0 &&
               ::setuid(uid) == 0 && ::geteuid() == uid;
    }
    ChildEnd save(const QString &path, const std::string &bytes) const
    {
        return InChild([&] {
            if (!become())
                return kCannotBecomeSaver;
            return WriteFileAtomically(path, bytes) ? kSaved : kRefused;
        });
    }
};

struct PermissionCase {
    const char *what;
    mode_t folderMode;
    Owner folderOwner;
    Group folderGroup;
    mode_t fileMode;
    Owner fileOwner;
    Group fileGroup;
    bool saved;
};

// Whether saved or refused, the file keeps its mode, owner and group.
constexpr std::array<PermissionCase, 9> kPermissionCases = {{
    {"a read-only file in the user's own folder", 0755, Owner::Saver, Group::Primary,
     0444, Owner::Saver, Group::Primary, false},
    {"another user's file in a shared group folder", 02775, Owner::Other, Group::Second,
     0644, Owner::Other, Group::Second, false},
    {"another user's group-writable file, whose owner a new file cannot keep", 02775,
     Owner::Other, Group::Second, 0664, Owner::Other, Group::Second, false},
    {"the user's own file in a shared group folder", 02775, Owner::Other, Group::Second,
     0664, Owner::Saver, Group::Second, true},
    {"a private file", 0755, Owner::Saver, Group::Primary,
     0600, Owner::Saver, Group::Primary, true},
    {"a file of the user's second group", 0755, Owner::Saver, Group::Primary,
     0640, Owner::Saver, Group::Second, true},
    {"a file of a group the user is not in", 0755, Owner::Saver, Group::Primary,
     0640, Owner::Saver, Group::Foreign, false},
    {"a file in a folder the user may not write", 0555, Owner::Saver, Group::Primary,
     0644, Owner::Saver, Group::Primary, false},
    {"a writable file", 0755, Owner::Saver, Group::Primary,
     0664, Owner::Saver, Group::Primary, true},
}};

TEST(AtomicSavePermissions, OnlyFilesTheUserMayWriteAreReplacedAndKeepWhoMayUseThem)
{
    const Saver saver = Saver::Find();
    std::printf("Saving as uid %u%s\n", unsigned(saver.uid),
                saver.root ? " (root's child become unprivileged)" : "");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(::chmod(Native(dir.path()).constData(), 0755), 0);
    int tried = 0;
    for (std::size_t i = 0; i < kPermissionCases.size(); ++i) {
        const PermissionCase &c = kPermissionCases[i];
        SCOPED_TRACE(c.what);
        const auto folderOwner = saver.owner(c.folderOwner), fileOwner = saver.owner(c.fileOwner);
        const auto folderGroup = saver.group(c.folderGroup), fileGroup = saver.group(c.fileGroup);
        if (!folderOwner || !fileOwner || !folderGroup || !fileGroup) {
            std::printf("Not tried (its set-up needs root or a second group): %s\n", c.what);
            continue;
        }
        const QString folder = dir.filePath(QString::number(i));
        const QString file = folder + QStringLiteral("/doc.wqz");
        ASSERT_TRUE(QDir().mkdir(folder));
        Write(file, kOld);
        if (::chown(Native(file).constData(), *fileOwner, *fileGroup) != 0 ||
            ::chown(Native(folder).constData(), *folderOwner, *folderGroup) != 0) {
            std::printf("Not tried: files cannot be given to other users or groups here\n");
            GTEST_SKIP() << "chown refused";
        }
        ASSERT_EQ(::chmod(Native(file).constData(), c.fileMode), 0);
        ASSERT_EQ(::chmod(Native(folder).constData(), c.folderMode), 0);
        const struct stat before = Stat(file);

        const ChildEnd end = saver.save(file, kNew);
        if (end.exited && end.code == kCannotBecomeSaver)
            GTEST_SKIP() << "cannot become an unprivileged user here";
        ++tried;
        ASSERT_TRUE(end.exited);
        EXPECT_EQ(end.code, c.saved ? kSaved : kRefused);
        EXPECT_EQ(Contents(file), c.saved ? kNew : kOld);
        const struct stat after = Stat(file);
        EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(Entries(folder), std::vector<std::string>{"doc.wqz"});
        ::chmod(Native(folder).constData(), 0755);
    }
    EXPECT_GT(tried, 0);
}

// Root may replace anyone's file, and the file stays theirs.
TEST(AtomicSavePermissions, RootSavingAUsersFileLeavesItTheirs)
{
    if (::geteuid() != 0) {
        std::printf("Not tried: needs root\n");
        GTEST_SKIP() << "needs root";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("doc.wqz"));
    Write(file, kOld);
    if (::chown(Native(file).constData(), kOtherUid, kForeignGid) != 0) {
        std::printf("Not tried: files cannot be given to other users here\n");
        GTEST_SKIP() << "chown refused";
    }
    ASSERT_EQ(::chmod(Native(file).constData(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(file, kNew));
    EXPECT_EQ(Contents(file), kNew);
    const struct stat after = Stat(file);
    EXPECT_EQ(after.st_uid, kOtherUid);
    EXPECT_EQ(after.st_gid, kForeignGid);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
}

// In the child: the system kills the process at its first change of a file's mode, the moment
// a save gives its new file the old file's mode.
bool KillAtFirstModeChange()
{
#if defined(__x86_64__)
    constexpr std::uint32_t arch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    constexpr std::uint32_t arch = AUDIT_ARCH_AARCH64;
#else
    return false;
#endif
    std::vector<int> calls = {__NR_fchmod, __NR_fchmodat};
#ifdef __NR_chmod
    calls.push_back(__NR_chmod);
#endif
#ifdef __NR_fchmodat2
    calls.push_back(__NR_fchmodat2);
#endif
    std::vector<sock_filter> filter = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, arch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    for (std::size_t i = 0; i < calls.size(); ++i)
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, std::uint32_t(calls[i]),
                                  std::uint8_t(calls.size() - i), 0));
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
    const sock_fprog program {static_cast<unsigned short>(filter.size()), filter.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// While a document is saved, its new file is readable by no one but the user: whatever a save
// stopped at that point leaves is private.
TEST(AtomicSavePrivacy, TheNewFileIsPrivateUntilWritten)
{
    constexpr int kNoFilter = 71;
    struct Case {
        const char *what;
        mode_t mode;
    };
    const std::array<Case, 2> cases = {{{"a private document", 0600},
                                        {"a document its group may read", 0640}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("doc.wqz"));
        Write(file, kOld);
        ASSERT_EQ(::chmod(Native(file).constData(), c.mode), 0);
        const ChildEnd end = InChild([&] {
            if (!KillAtFirstModeChange())
                return kNoFilter;
            return WriteFileAtomically(file, std::string(100000, 'x')) ? kSaved : kRefused;
        });
        if (end.exited && end.code == kNoFilter) {
            std::printf("Not tried: no system-call filter here\n");
            GTEST_SKIP() << "no system-call filter here";
        }
        EXPECT_EQ(end.signal, SIGSYS) << "the save changed no mode";
        EXPECT_EQ(Contents(file), kOld);
        const std::vector<std::string> entries = Entries(dir.path());
        EXPECT_EQ(entries.size(), 2u);
        for (const std::string &name : entries) {
            if (name == "doc.wqz")
                continue;
            SCOPED_TRACE(name);
            EXPECT_EQ(Stat(dir.filePath(QString::fromStdString(name))).st_mode & 077, 0u);
        }
    }
}

void KillNow(int) { ::raise(SIGKILL); }

void PauseThenGoOn(int)
{
    ::raise(SIGSTOP);
    const struct rlimit unlimited {RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
}

// In a child: saves `bytes` with room for only 4 KiB in any file, so the save meets `handler`
// part way through its writes.
pid_t StartSaveThatRunsOutOfRoom(const QString &file, const std::string &bytes,
                                 void (*handler)(int))
{
    return StartChild([&] {
        std::signal(SIGXFSZ, handler);
        const struct rlimit small {4096, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &small);
        return WriteFileAtomically(file, bytes) ? kSaved : kRefused;
    });
}

// A save killed part way (as by kill -9) leaves its unfinished file, and the next save of the
// same document removes it: nothing piles up.
TEST(AtomicSaveKilled, TheNextSaveRemovesWhatKilledSavesLeft)
{
    struct Case {
        const char *what;
        bool oldFile;
        int kills;
    };
    const std::array<Case, 3> cases = {{{"killed over an old file", true, 1},
                                        {"killed saving a new name", false, 1},
                                        {"killed three times", true, 3}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("doc.wqz"));
        if (c.oldFile)
            Write(file, kOld);
        for (int k = 0; k < c.kills; ++k) {
            const ChildEnd end = Wait(StartSaveThatRunsOutOfRoom(file, std::string(65536, 'x'),
                                                                 KillNow));
            ASSERT_EQ(end.signal, SIGKILL);
        }
        EXPECT_EQ(Contents(file), c.oldFile ? kOld : "<missing>");
        EXPECT_GT(Entries(dir.path()).size(), c.oldFile ? 1 : 0) << "the kill left nothing";
        ASSERT_TRUE(WriteFileAtomically(file, kNew));
        EXPECT_EQ(Contents(file), kNew);
        EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.wqz"});
    }
}

// The clean-up takes only what no running save holds: a save paused half way is not robbed of
// its file by another save of the same document.
TEST(AtomicSaveKilled, ASaveUnderWayKeepsItsFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("doc.wqz"));
    Write(file, kOld);
    const pid_t paused = StartSaveThatRunsOutOfRoom(file, std::string(65536, 'x'), PauseThenGoOn);
    ChildGuard guard(paused);
    ASSERT_EQ(Wait(paused, WUNTRACED).signal, SIGSTOP);
    const std::vector<std::string> during = Entries(dir.path());
    ASSERT_EQ(during.size(), 2u);

    ASSERT_TRUE(WriteFileAtomically(file, kNew));
    EXPECT_EQ(Contents(file), kNew);
    EXPECT_EQ(Entries(dir.path()), during);

    ::kill(paused, SIGCONT);
    const ChildEnd end = Wait(paused);
    guard.release();
    EXPECT_TRUE(end.exited);
    const std::string now = Contents(file);
    EXPECT_TRUE(now == kNew || now == std::string(65536, 'x')) << "a mixed or partial file";
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.wqz"});
}

struct LinkCase {
    const char *what;
    std::vector<const char *> folders;
    std::vector<std::pair<const char *, const char *>> links;  // name, its text
    std::vector<const char *> files;                           // each holding kOld
    std::vector<const char *> pipes;
    const char *saveTo;
    const char *written;  // the file that holds the new bytes; none when refused
};

// Saving through links writes the file the system itself reaches through them; the links stay
// links, every other file stays as it was, and nothing else is left.
TEST(AtomicSaveLinks, WriteTheFileTheLinksLeadTo)
{
    const std::vector<LinkCase> cases = {
        {"a chain of two links", {}, {{"top.wqz", "mid.wqz"}, {"mid.wqz", "real.wqz"}},
         {"real.wqz"}, {}, "top.wqz", "real.wqz"},
        {"a chain to a file not made yet", {}, {{"top.wqz", "mid.wqz"}, {"mid.wqz", "real.wqz"}},
         {}, {}, "top.wqz", "real.wqz"},
        {"a \"..\" after a linked folder", {"a", "a/b"},
         {{"linked", "a/b"}, {"via.wqz", "linked/../doc.wqz"}}, {"doc.wqz", "a/doc.wqz"}, {},
         "via.wqz", "a/doc.wqz"},
        {"a link met inside a linked folder", {"a", "a/b"},
         {{"deep", "a/b"}, {"a/b/doc.wqz", "../doc.wqz"}}, {"doc.wqz", "a/doc.wqz"}, {},
         "deep/doc.wqz", "a/doc.wqz"},
        {"a link into a folder of links", {"a"}, {{"to.wqz", "b/doc.wqz"}, {"b", "a"}},
         {"a/doc.wqz"}, {}, "to.wqz", "a/doc.wqz"},
        {"a loop of links", {}, {{"a.wqz", "b.wqz"}, {"b.wqz", "a.wqz"}}, {}, {}, "a.wqz",
         nullptr},
        {"a link to a folder that does not exist", {}, {{"to.wqz", "none/doc.wqz"}}, {}, {},
         "to.wqz", nullptr},
        {"a link to a named pipe", {}, {{"to.wqz", "pipe.wqz"}}, {}, {"pipe.wqz"}, "to.wqz",
         nullptr},
        {"a named pipe", {}, {}, {}, {"pipe.wqz"}, "pipe.wqz", nullptr},
        {"a folder", {"doc.wqz"}, {}, {}, {}, "doc.wqz", nullptr},
    };
    for (const LinkCase &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const auto at = [&](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
        std::vector<std::string> expected;
        for (const char *f : c.folders) {
            ASSERT_TRUE(QDir().mkdir(at(f)));
            expected.push_back(f);
        }
        for (const auto &[name, text] : c.links) {
            ASSERT_EQ(::symlink(text, Native(at(name)).constData()), 0);
            expected.push_back(name);
        }
        for (const char *f : c.files) {
            Write(at(f), kOld);
            expected.push_back(f);
        }
        for (const char *p : c.pipes) {
            ASSERT_EQ(::mkfifo(Native(at(p)).constData(), 0600), 0);
            expected.push_back(p);
        }
        if (c.written && std::find(expected.begin(), expected.end(), c.written) == expected.end())
            expected.push_back(c.written);
        std::sort(expected.begin(), expected.end());

        EXPECT_EQ(WriteFileAtomically(at(c.saveTo), kNew), c.written != nullptr);
        if (c.written) {
            EXPECT_EQ(Contents(at(c.written)), kNew);
        }
        for (const char *f : c.files) {
            if (!c.written || std::string(f) != c.written) {
                EXPECT_EQ(Contents(at(f)), kOld) << f;
            }
        }
        for (const auto &[name, text] : c.links) {
            char back[PATH_MAX] = {};
            EXPECT_GT(::readlink(Native(at(name)).constData(), back, sizeof back - 1), 0)
                << name << " is no longer a link";
            EXPECT_STREQ(back, text);
        }
        for (const char *p : c.pipes)
            EXPECT_TRUE(S_ISFIFO(Stat(at(p)).st_mode)) << p;
        EXPECT_EQ(Entries(dir.path()), expected);
    }
}

// Every name the file system allows can be saved, and saved again over itself; a longer one
// is refused and leaves nothing.
TEST(AtomicSaveNames, EveryNameTheFileSystemAllowsCanBeSaved)
{
    const auto name = [](std::size_t bytes) {
        return std::string(bytes - 4, 'n') + ".wqz";
    };
    std::string umlauts;
    for (int i = 0; i < 125; ++i)
        umlauts += "\xC3\xA4";  // 250 bytes of two-byte characters
    struct Case {
        const char *what;
        std::string name;
        bool saved;
    };
    const std::array<Case, 6> cases = {{
        {"a name of 246 bytes", name(246), true},
        {"a name of 247 bytes", name(247), true},
        {"a name of 250 bytes", name(250), true},
        {"a name of 255 bytes, the longest", name(NAME_MAX), true},
        {"a name of 254 bytes in two-byte characters", umlauts + ".wqz", true},
        {"a name of 256 bytes", name(NAME_MAX + 1), false},
    }};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString file = dir.filePath(QString::fromUtf8(c.name));
        for (const std::string &bytes : {kOld, kNew}) {
            EXPECT_EQ(WriteFileAtomically(file, bytes), c.saved);
            EXPECT_EQ(Contents(file), c.saved ? bytes : "<missing>");
        }
        EXPECT_EQ(Entries(dir.path()),
                  c.saved ? std::vector<std::string>{c.name} : std::vector<std::string>{});
    }
}

} // namespace
} // namespace linoveta
