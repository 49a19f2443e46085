// Saving and loading against every kind of folder a user may have: the
// result, the printed line, and afterwards exactly the files that should be
// there (never a temporary file left behind, never a foreign file touched).
//
// On POSIX each case runs in a child process, so that a save that blocks
// fails the case instead of hanging the run, and a file-size limit stays in
// the child. When the tests run as root the child becomes uid/gid 65534,
// since root passes every permission check; cases about permissions are
// skipped where that is impossible.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "SqQueue.h"
#include "capture.h"

namespace fs = std::filesystem;

namespace {

const std::string OLD("\x01\x00\x00\x00\x02\x00\x00\x00\x03\x00\x00\x00", 12);
const std::string NEW("\x07\x00\x00\x00\xfe\xff\xff\xff", 8); // the queue 7, -2

enum Flags {
    LOAD = 1,         // ReadF instead of SaveFile
    UNPRIVILEGED = 2, // about permissions: needs a user that is not root
    SIZE_LIMIT = 4,   // run under a file-size limit of 0 bytes
    OTHER_OWNER = 8,  // the file belongs to kOther (needs root to set up)
};

struct Case {
    const char *name;
    // Makes the files in the (current, empty) test folder; returns the path
    // the queue is saved to or loaded from.
    std::function<std::string()> setup;
    int flags;
    Status result;
    const char *output;
    std::vector<std::string> after; // the folder's listing afterwards
};

// A case shows as its name in messages.
void PrintTo(const Case &c, std::ostream *os) {
    *os << c.name;
}

// ---- Building a folder, and listing it --------------------------------------

std::string Hex(const std::string &bytes) {
    std::string s;
    char buf[3];
    for (unsigned char c : bytes) {
        snprintf(buf, sizeof buf, "%02x", c);
        s += buf;
    }
    return s;
}

// One listing line for a regular file; POSIX lines carry its permission bits.
std::string F(const std::string &name, unsigned mode, const std::string &bytes) {
#ifdef _WIN32
    (void)mode;
    return name + " =" + Hex(bytes);
#else
    char buf[8];
    snprintf(buf, sizeof buf, " %03o", mode);
    return name + buf + " =" + Hex(bytes);
#endif
}

std::string Contents(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

#ifndef _WIN32
const uid_t kOther = 1234; // a user who is neither root nor the test's own
#endif

// The owner of p, when it is not the owner of root: " uid N"; else "".
std::string Owner(const fs::path &p, const fs::path &root) {
#ifdef _WIN32
    (void)p, (void)root;
#else
    struct stat a, b;
    if (lstat(p.c_str(), &a) == 0 && lstat(root.c_str(), &b) == 0 && a.st_uid != b.st_uid)
        return " uid " + std::to_string(a.st_uid);
#endif
    return "";
}

// Every entry under root, sorted: "dir/", "name -> target", "name fifo", and
// F() lines for regular files, followed by the owner when it is not root's.
std::vector<std::string> Listing(const fs::path &root) {
    std::vector<std::string> out;
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(root)) {
        std::string name = e.path().lexically_relative(root).generic_string();
        fs::file_status st = e.symlink_status();
        if (fs::is_symlink(st))
            out.push_back(name + " -> " + fs::read_symlink(e.path()).generic_string());
        else if (fs::is_directory(st))
            out.push_back(name + "/");
        else if (fs::is_fifo(st))
            out.push_back(name + " fifo");
        else
            out.push_back(F(name, (unsigned)st.permissions() & 0777, Contents(e.path())) +
                          Owner(e.path(), root));
    }
    std::sort(out.begin(), out.end());
    return out;
}

void File(const char *name, const std::string &bytes, fs::perms mode = fs::perms(0644)) {
    std::ofstream(name, std::ios::binary) << bytes;
    fs::permissions(name, mode);
}

void Folder(const char *name, fs::perms mode = fs::perms(0755)) {
    fs::create_directory(name);
    fs::permissions(name, mode);
}

#ifndef _WIN32
int held_fd = -1; // a reader kept open on a FIFO during a case

void Fifo(const char *name) {
    ASSERT_EQ(mkfifo(name, 0644), 0);
}
void Link(const char *name, const char *target) {
    fs::create_symlink(target, name);
}
#endif

// ---- The cases ---------------------------------------------------------------

const Case kCases[] = {
    {"AbsentFileCreated",
     [] { return std::string("data.dat"); },
     0,
     OK,
     "",
     {F("data.dat", 0644, NEW)}},
    {"OldContentsReplaced",
     [] {
         File("data.dat", OLD);
         return std::string("data.dat");
     },
     0,
     OK,
     "",
     {F("data.dat", 0644, NEW)}},
    {"FolderRefused",
     [] {
         Folder("data.dat");
         return std::string("data.dat");
     },
     0,
     ERROR,
     "File open error\n",
     {"data.dat/"}},
    {"UsersTmpFileKept",
     [] {
         File("data.dat.tmp", "abc");
         return std::string("data.dat");
     },
     0,
     OK,
     "",
     {F("data.dat", 0644, NEW), F("data.dat.tmp", 0644, "abc")}},
    {"FileInOtherFolderByDotDot",
     [] {
         Folder("run");
         Folder("x");
         File("x/y.dat", OLD);
         fs::current_path("run");
         return std::string("../x/y.dat");
     },
     0,
     OK,
     "",
     {"run/", "x/", F("x/y.dat", 0644, NEW)}},
    {"AbsentFileInOtherFolderByAbsolutePath",
     [] {
         Folder("abs");
         return fs::absolute("abs/q.dat").string();
     },
     0,
     OK,
     "",
     {"abs/", F("abs/q.dat", 0644, NEW)}},
    {"LoadOfFolderRefused",
     [] {
         Folder("data.dat");
         return std::string("data.dat");
     },
     LOAD,
     ERROR,
     "FILE OPEN ERROR\n",
     {"data.dat/"}},
    {"HardLinkedFileRewrittenInPlace",
     [] {
         File("data.dat", OLD);
         fs::create_hard_link("data.dat", "other");
         return std::string("data.dat");
     },
     0,
     OK,
     "",
     {F("data.dat", 0644, NEW), F("other", 0644, NEW)}},
#ifdef _WIN32
    {"DeviceRefused", [] { return std::string("NUL"); }, 0, ERROR, "File open error\n", {}},
    {"LoadOfDeviceRefused",
     [] { return std::string("NUL"); },
     LOAD,
     ERROR,
     "FILE OPEN ERROR\n",
     {}},
    {"ReadOnlyFileRefused",
     [] {
         File("data.dat", OLD, fs::perms(0444));
         return std::string("data.dat");
     },
     0,
     ERROR,
     "File open error\n",
     {F("data.dat", 0444, OLD)}},
#else
    {"ModeKept",
     [] {
         File("data.dat", OLD, fs::perms(0600));
         return std::string("data.dat");
     },
     0,
     OK,
     "",
     {F("data.dat", 0600, NEW)}},
    {"WriteProtectedFileRefused",
     [] {
         File("data.dat", OLD, fs::perms(0444));
         return std::string("data.dat");
     },
     UNPRIVILEGED,
     ERROR,
     "File open error\n",
     {F("data.dat", 0444, OLD)}},
    {"FifoWithoutReaderRefused",
     [] {
         Fifo("data.dat");
         return std::string("data.dat");
     },
     0,
     ERROR,
     "File open error\n",
     {"data.dat fifo"}},
    {"FifoWithReaderRefused",
     [] {
         Fifo("data.dat");
         held_fd = open("data.dat", O_RDONLY | O_NONBLOCK);
         return std::string("data.dat");
     },
     0,
     ERROR,
     "File open error\n",
     {"data.dat fifo"}},
    {"DeviceBehindLinkRefused",
     [] {
         Link("data.dat", "/dev/null");
         return std::string("data.dat");
     },
     0,
     ERROR,
     "File open error\n",
     {"data.dat -> /dev/null"}},
    {"DanglingLinkRefused",
     [] {
         Link("data.dat", "nowhere");
         return std::string("data.dat");
     },
     0,
     ERROR,
     "File open error\n",
     {"data.dat -> nowhere"}},
    {"LinkKeptAndTargetInOtherFolderReplaced",
     [] {
         Folder("real");
         File("real/q.dat", OLD, fs::perms(0640));
         Link("data.dat", "real/q.dat");
         return std::string("data.dat");
     },
     0,
     OK,
     "",
     {"data.dat -> real/q.dat", "real/", F("real/q.dat", 0640, NEW)}},
    {"TmpLinkNotFollowed",
     [] {
         File("victim", OLD);
         Link("data.dat.tmp", "victim");
         return std::string("data.dat");
     },
     0,
     OK,
     "",
     {F("data.dat", 0644, NEW), "data.dat.tmp -> victim", F("victim", 0644, OLD)}},
    {"TmpFifoNoHang",
     [] {
         Fifo("data.dat.tmp");
         return std::string("data.dat");
     },
     0,
     OK,
     "",
     {F("data.dat", 0644, NEW), "data.dat.tmp fifo"}},
    {"OtherUsersFileKeepsOwner",
     [] {
         File("data.dat", OLD, fs::perms(0666));
         return std::string("data.dat");
     },
     OTHER_OWNER,
     OK,
     "",
     {F("data.dat", 0666, NEW) + " uid 1234"}},
    {"ReadOnlyFolderWritableFileInPlace",
     [] {
         Folder("ro");
         File("ro/q.dat", OLD);
         fs::permissions("ro", fs::perms(0555));
         return std::string("ro/q.dat");
     },
     UNPRIVILEGED,
     OK,
     "",
     {"ro/", F("ro/q.dat", 0644, NEW)}},
    {"ReadOnlyFolderAbsentFileRefused",
     [] {
         Folder("ro", fs::perms(0555));
         return std::string("ro/q.dat");
     },
     UNPRIVILEGED,
     ERROR,
     "File open error\n",
     {"ro/"}},
    {"SizeLimitKeepsOldFile",
     [] {
         File("data.dat", OLD);
         return std::string("data.dat");
     },
     SIZE_LIMIT,
     ERROR,
     "",
     {F("data.dat", 0644, OLD)}},
    {"SizeLimitRemovesFileItCreated",
     [] { return std::string("data.dat"); },
     SIZE_LIMIT,
     ERROR,
     "",
     {}},
    {"SizeLimitInPlaceKeepsOldFile",
     [] {
         Folder("ro");
         File("ro/q.dat", OLD);
         fs::permissions("ro", fs::perms(0555));
         return std::string("ro/q.dat");
     },
     UNPRIVILEGED | SIZE_LIMIT,
     ERROR,
     "",
     {"ro/", F("ro/q.dat", 0644, OLD)}},
    {"LoadOfFifoNoHang",
     [] {
         Fifo("data.dat");
         return std::string("data.dat");
     },
     LOAD,
     ERROR,
     "FILE OPEN ERROR\n",
     {"data.dat fifo"}},
    {"LoadOfDeviceRefused",
     [] {
         Link("data.dat", "/dev/zero");
         return std::string("data.dat");
     },
     LOAD,
     ERROR,
     "FILE OPEN ERROR\n",
     {"data.dat -> /dev/zero"}},
    {"LoadOfUnreadableFileRefused",
     [] {
         File("data.dat", OLD, fs::perms(0));
         return std::string("data.dat");
     },
     LOAD | UNPRIVILEGED,
     ERROR,
     "FILE OPEN ERROR\n",
     {F("data.dat", 0, OLD)}},
#endif
};

// ---- Running one case ----------------------------------------------------------

struct Outcome {
    Status result = 0;
    std::string output;
    std::string skip; // why the case could not run, when it could not
};

Status Operate(SqQueue &Q, int flags) {
    return (flags & LOAD) ? ReadF(Q) : SaveFile(Q);
}

#ifdef _WIN32
Outcome RunCase(SqQueue &Q, const Case &c) {
    Outcome o;
    if (c.flags & (UNPRIVILEGED | SIZE_LIMIT))
        o.skip = "not on Windows";
    else
        o.output = Output([&] { o.result = Operate(Q, c.flags); });
    return o;
}
#else
const uid_t kNobody = 65534;
const int kCannotDrop = 77; // the child's exit status when it cannot run as kNobody

// Gives every entry under root (root included) to the unprivileged user.
void GiveAway(const fs::path &root) {
    lchown(root.c_str(), kNobody, kNobody);
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(root))
        lchown(e.path().c_str(), kNobody, kNobody);
}

// In the child: becomes uid/gid 65534 when root, sets the limit, runs the
// operation with stdout going to out, and exits with the result + 10.
[[noreturn]] void Child(SqQueue &Q, const Case &c, int out) {
    if (geteuid() == 0) {
        bool dropped = setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
        char cwd[4096]; /* the folder must be within reach of the new user */
        if (dropped && (!getcwd(cwd, sizeof cwd) || access(cwd, X_OK) != 0)) _exit(kCannotDrop);
        if (!dropped && (c.flags & UNPRIVILEGED)) _exit(kCannotDrop);
    }
    if (c.flags & SIZE_LIMIT) {
        struct rlimit rl;
        getrlimit(RLIMIT_FSIZE, &rl);
        rl.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &rl);
    }
    if (dup2(out, 1) < 0) _exit(1);
    Status r = Operate(Q, c.flags);
    fflush(stdout);
    _exit(r + 10);
}

// Runs the case in a child process; one that does not finish within 10
// seconds is killed and the case fails.
Outcome RunCase(SqQueue &Q, const Case &c) {
    Outcome o;
    int fds[2];
    fflush(stdout);
    pid_t pid = pipe(fds) == 0 ? fork() : -1;
    if (pid < 0) {
        o.skip = "cannot start a child process";
        return o;
    }
    if (pid == 0) {
        close(fds[0]);
        Child(Q, c, fds[1]);
    }
    close(fds[1]);
    struct pollfd p = {fds[0], POLLIN, 0};
    char buf[256];
    ssize_t n = 1;
    while (n > 0 && poll(&p, 1, 10000) == 1)
        if ((n = read(fds[0], buf, sizeof buf)) > 0) o.output.append(buf, (size_t)n);
    close(fds[0]);
    if (n > 0) kill(pid, SIGKILL); /* still writing or blocked: hung */
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "the operation did not finish";
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDrop)
        o.skip = "cannot run as uid/gid 65534 in the test folder";
    o.result = WEXITSTATUS(status) - 10;
    return o;
}
#endif

class FolderCase : public testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        old_cwd_ = fs::current_path();
#ifndef _WIN32
        old_umask_ = umask(022);
#endif
        std::random_device rd;
        do /* a name no other test run holds */
            dir_ = fs::temp_directory_path() / ("queue_save_test_" + std::to_string(rd()));
        while (!fs::create_directory(dir_));
        fs::permissions(dir_, fs::perms(0755));
        fs::current_path(dir_);
        ASSERT_EQ(InitQueue(Q), OK);
        ASSERT_EQ(EnQueue(Q, 7), OK);
        ASSERT_EQ(EnQueue(Q, -2), OK);
    }
    void TearDown() override {
        DestroyQueue(Q);
        queue_file = QUEUE_FILE;
        fs::current_path(old_cwd_);
#ifndef _WIN32
        if (held_fd >= 0) close(held_fd);
        held_fd = -1;
        umask(old_umask_);
#endif
        std::error_code ec; /* read-only entries must become writable to go */
        for (const fs::directory_entry &e : fs::recursive_directory_iterator(dir_, ec))
            if (!e.is_symlink(ec))
                fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    SqQueue Q = {nullptr, 0, 0};
    fs::path old_cwd_, dir_;
#ifndef _WIN32
    mode_t old_umask_ = 0;
#endif
};

TEST_P(FolderCase, LeavesExactlyTheExpectedFiles) {
    const Case &c = GetParam();
    std::string path = c.setup();
    queue_file = path.c_str();
#ifndef _WIN32
    if (geteuid() == 0) GiveAway(dir_);
    if (c.flags & OTHER_OWNER) {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
        ASSERT_EQ(lchown(path.c_str(), kOther, kOther), 0);
    }
#endif
    Outcome o = RunCase(Q, c);
    if (!o.skip.empty()) GTEST_SKIP() << o.skip;
    EXPECT_EQ(o.result, c.result);
    EXPECT_EQ(o.output, c.output);
    EXPECT_EQ(Listing(dir_), c.after);
}

INSTANTIATE_TEST_SUITE_P(Save, FolderCase, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
