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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
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
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#endif
#include <sys/wait.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

#include "SqQueue.h"
#include "queue_file.h"
#include "capture.h"

namespace fs = std::filesystem;

namespace {

const std::string OLD("\x01\x00\x00\x00\x02\x00\x00\x00\x03\x00\x00\x00", 12);
const std::string NEW("\x07\x00\x00\x00\xfe\xff\xff\xff", 8); // the queue 7, -2

enum Flags {
    LOAD = 1,         // ReadF instead of SaveFile
    UNPRIVILEGED = 2, // about permissions: needs a user that is not root
    SIZE_LIMIT = 4,   // run under a file-size limit of 0 bytes
    SMALL_LIMIT = 8,  // run under a file-size limit of 4 bytes: half the new file
    AS_ROOT = 16,     // stays root, who may make files in an append-only folder
};

struct Case {
    const char *name;
    const char *setup; // the folder before the operation (see Make)
    const char *path;  // the data file; "@" before it: made absolute
    int flags;
    Status result;
    const char *output;             // stdout, then the reason of a failure (see Operate)
    std::vector<std::string> after; // the folder's listing afterwards
};

// A case shows as its name in messages.
void PrintTo(const Case &c, std::ostream *os) {
    *os << c.name;
}

#ifdef _WIN32
HANDLE held = INVALID_HANDLE_VALUE; // a file held open without sharing during a case
#endif

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
// On Windows mode 1 stands for the hidden attribute.
std::string F(const std::string &name, unsigned mode, const std::string &bytes) {
#ifdef _WIN32
    return name + (mode == 1 ? " hidden" : "") + " =" + Hex(bytes);
#else
    char buf[8];
    snprintf(buf, sizeof buf, " %03o", mode);
    return name + buf + " =" + Hex(bytes);
#endif
}

// The owner of p, when it is not the owner of root: " uid N"; else "".
std::string Owner(const fs::path &p, const fs::path &root) {
#ifndef _WIN32
    struct stat a, b;
    if (lstat(p.c_str(), &a) == 0 && lstat(root.c_str(), &b) == 0 && a.st_uid != b.st_uid)
        return " uid " + std::to_string(a.st_uid);
#endif
    (void)p, (void)root;
    return "";
}

// Every entry under root, sorted: "dir/", "name -> target", "name fifo", and
// F() lines for regular files, followed by the owner when it is not root's.
std::vector<std::string> Listing(const fs::path &root) {
    std::vector<std::string> out;
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(root)) {
        std::string name = e.path().lexically_relative(root).generic_u8string();
        fs::file_status st = e.symlink_status();
        if (fs::is_symlink(st)) {
            out.push_back(name + " -> " + fs::read_symlink(e.path()).generic_u8string());
        } else if (fs::is_directory(st)) {
            out.push_back(name + "/");
        } else if (fs::is_fifo(st)) {
            out.push_back(name + " fifo");
        } else if (fs::is_character_file(st)) {
            out.push_back(name + " device");
        } else {
            std::ifstream in(e.path(), std::ios::binary);
            std::string bytes(std::istreambuf_iterator<char>(in), {});
#ifdef _WIN32
            unsigned mode = (GetFileAttributesW(e.path().c_str()) & FILE_ATTRIBUTE_HIDDEN) ? 1 : 0;
#else
            unsigned mode = (unsigned)st.permissions() & 0777;
#endif
            out.push_back(F(name, mode, bytes) + Owner(e.path(), root));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

#ifndef _WIN32
const uid_t kNobody = 65534; // the unprivileged user the cases run as under root
const uid_t kOther = 1234;   // a user who is neither
int held_fd = -1;            // a reader kept open on a FIFO during a case
fs::path append_only;        // a folder given the append-only attribute

// Gives the folder dir Linux's append-only attribute, or takes it away.
bool SetAppendOnly(const fs::path &dir, bool on) {
#ifdef __linux__
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY), flags = 0;
    bool ok = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_APPEND_FL : flags & ~FS_APPEND_FL;
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) close(fd);
    return ok;
#else
    (void)dir, (void)on;
    return false;
#endif
}
#endif

// Makes the folder the steps describe, one per ';': "f NAME [MODE [TEXT]]" a
// file holding OLD (or TEXT), "d NAME [MODE]" a folder, "m NAME MODE" a mode
// change (modes octal; 644 for files and 755 for folders unless given),
// "p NAME" a FIFO, "r NAME" a FIFO with a reader held open, "l NAME TARGET" a
// symbolic link, "h NAME FILE" a hard link, "o NAME" a file given to kOther,
// "c NAME" a device without a driver, "a NAME" a folder made append-only, "cd NAME" a change of
// folder, "hide NAME" the hidden attribute, "hold NAME" the file held open without sharing and
// "share NAME" held open by another program that shares reading and writing (Windows). Names are
// UTF-8. Returns why it cannot be made here, or "".
std::string Make(const std::string &steps) {
    std::istringstream all(steps);
    for (std::string step; std::getline(all, step, ';');) {
        std::istringstream in(step);
        std::string op, name, arg, text = OLD;
        in >> op >> name >> arg >> text;
        fs::path path = fs::u8path(name);
        std::error_code ec;
        if (op == "f") std::ofstream(path, std::ios::binary) << text;
        if (op == "d") fs::create_directory(path);
        const char *mode = !arg.empty() ? arg.c_str() : op == "d" ? "755" : "644";
        if (op == "f" || op == "d" || op == "m")
            fs::permissions(path, fs::perms(std::strtoul(mode, nullptr, 8)));
        if (op == "h") fs::create_hard_link(fs::u8path(arg), path);
        if (op == "cd") fs::current_path(path);
        if (op == "l") fs::create_symlink(fs::u8path(arg), path, ec);
        if (ec) return "no symbolic links here: " + ec.message();
#ifdef _WIN32
        if (op == "hide") SetFileAttributesW(fs::path(name).c_str(), FILE_ATTRIBUTE_HIDDEN);
        if (op == "hold" || op == "share") /* open as another program may */
            held = CreateFileW(path.c_str(), GENERIC_READ,
                               op == "share" ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
#endif
#ifndef _WIN32
        if ((op == "p" || op == "r") && mkfifo(name.c_str(), 0644) != 0) return "no FIFO";
        if (op == "r") held_fd = open(name.c_str(), O_RDONLY | O_NONBLOCK);
        if (op == "c" && mknod(name.c_str(), S_IFCHR | 0644, makedev(240, 0)) != 0)
            return "needs root to make a device";
        if (op == "a" && !SetAppendOnly(path, true))
            return "needs root and a file system with the append-only attribute";
        if (op == "a") append_only = fs::absolute(path);
        if (op == "o" && (geteuid() != 0 || lchown(name.c_str(), kOther, kOther) != 0))
            return "needs root to give a file to another user";
#endif
    }
    return "";
}

// ---- The cases ---------------------------------------------------------------

// A file name of 250 bytes: the names of the files made beside it are cut.
#define NAME50 "queue-data-queue-data-queue-data-queue-data-queue-"
#define LONG_NAME NAME50 NAME50 NAME50 NAME50 NAME50

// clang-format off
const Case kCases[] = {
    {"AbsentFileCreated", "", "data.dat", 0, OK, "", {F("data.dat", 0644, NEW)}},
    {"OldContentsReplaced", "f data.dat", "data.dat", 0, OK, "", {F("data.dat", 0644, NEW)}},
    {"FolderRefused", "d data.dat", "data.dat", 0, ERROR,
     "File open error\n(Is a directory)", {"data.dat/"}},
    {"HardLinkedFileRewrittenInPlace", "f data.dat; h other data.dat", "data.dat", 0, OK, "",
     {F("data.dat", 0644, NEW), F("other", 0644, NEW)}},
    {"FileInOtherFolderByDotDot", "d run; d x; f x/y.dat; cd run", "../x/y.dat", 0, OK, "",
     {"run/", "x/", F("x/y.dat", 0644, NEW)}},
    {"AbsentFileInOtherFolderByAbsolutePath", "d abs", "@abs/q.dat", 0, OK, "",
     {"abs/", F("abs/q.dat", 0644, NEW)}},
    {"LongNameCreated", "", LONG_NAME, 0, OK, "", {F(LONG_NAME, 0644, NEW)}},
    {"LongNameReplaced", "f " LONG_NAME, LONG_NAME, 0, OK, "", {F(LONG_NAME, 0644, NEW)}},
    {"LoadOfFolderRefused", "d data.dat", "data.dat", LOAD, ERROR,
     "FILE OPEN ERROR\n(Is a directory)",
     {"data.dat/"}},
#ifdef _WIN32
    {"DeviceRefused", "", "NUL", 0, ERROR, "File open error\n(Not a regular file)", {}},
    {"LoadOfDeviceRefused", "", "NUL", LOAD, ERROR, "FILE OPEN ERROR\n(Not a regular file)", {}},
    {"ReadOnlyFileRefused", "f data.dat 444", "data.dat", 0, ERROR,
     "File open error\n(Permission denied)",
     {F("data.dat", 0444, OLD)}},
    // MoveFileExW keeps no attributes of the file it replaces: the save sets them.
    {"HiddenAttributeKept", "f data.dat; hide data.dat", "data.dat", 0, OK, "",
     {F("data.dat", 1, NEW)}},
    {"FileInUseRefused", "f data.dat; hold data.dat", "data.dat", 0, ERROR,
     "File open error\n(In use by another program)", {F("data.dat", 0644, OLD)}},
    // The move cannot replace a file another program holds: rewritten in place.
    {"FileSharedByOtherProgramInPlace", "f data.dat; share data.dat", "data.dat", 0, OK, "",
     {F("data.dat", 0644, NEW)}},
    {"LinkToNonAsciiPathKept", "d 目录; f 目录/q.dat; l data.dat 目录/q.dat", "data.dat", 0, OK, "",
     {"data.dat -> 目录/q.dat", "目录/", F("目录/q.dat", 0, NEW)}},
#else
    {"ModeKept", "f data.dat 600", "data.dat", 0, OK, "", {F("data.dat", 0600, NEW)}},
    {"WriteProtectedFileRefused", "f data.dat 444", "data.dat", UNPRIVILEGED, ERROR,
     "File open error\n(Permission denied)", {F("data.dat", 0444, OLD)}},
    {"OtherUsersFileKeepsOwner", "f data.dat 666; o data.dat", "data.dat", 0, OK, "",
     {F("data.dat", 0666, NEW) + " uid 1234"}},
    {"FifoWithoutReaderRefused", "p data.dat", "data.dat", 0, ERROR,
     "File open error\n(Not a regular file)",
     {"data.dat fifo"}},
    {"FifoWithReaderRefused", "r data.dat", "data.dat", 0, ERROR,
     "File open error\n(Not a regular file)",
     {"data.dat fifo"}},
    {"DeviceBehindLinkRefused", "l data.dat /dev/null", "data.dat", 0, ERROR,
     "File open error\n(Not a regular file)", {"data.dat -> /dev/null"}},
    {"DeviceWithoutDriverRefused", "c data.dat", "data.dat", 0, ERROR,
     "File open error\n(Not a regular file)", {"data.dat device"}},
    {"LoadOfDeviceWithoutDriverRefused", "c data.dat", "data.dat", LOAD, ERROR,
     "FILE OPEN ERROR\n(Not a regular file)", {"data.dat device"}},
    {"DanglingLinkRefused", "l data.dat nowhere", "data.dat", 0, ERROR,
     "File open error\n(No such file or directory)",
     {"data.dat -> nowhere"}},
    {"LinkKeptAndTargetInOtherFolderReplaced", "d real; f real/q.dat 640; l data.dat real/q.dat",
     "data.dat", 0, OK, "", {"data.dat -> real/q.dat", "real/", F("real/q.dat", 0640, NEW)}},
    {"ReadOnlyFolderWritableFileInPlace", "d ro; f ro/q.dat; m ro 555", "ro/q.dat",
     UNPRIVILEGED, OK, "", {"ro/", F("ro/q.dat", 0644, NEW)}},
    // A rename there would strand the new file: rewritten in place.
    {"AppendOnlyFolderInPlace", "d ao; f ao/q.dat; a ao", "ao/q.dat", AS_ROOT, OK, "",
     {"ao/", F("ao/q.dat", 0644, NEW)}},
    {"ReadOnlyFolderAbsentFileRefused", "d ro 555", "ro/q.dat", UNPRIVILEGED, ERROR,
     "File open error\n(Permission denied)", {"ro/"}},
    {"SizeLimitKeepsOldFile", "f data.dat", "data.dat", SIZE_LIMIT, ERROR, "(File too large)",
     {F("data.dat", 0644, OLD)}},
    {"SizeLimitLeavesNoFile", "", "data.dat", SIZE_LIMIT, ERROR, "(File too large)", {}},
    // A rewrite in place would leave the first new element over the old ones.
    {"SizeLimitMidWriteKeepsOldFile", "f data.dat", "data.dat", SMALL_LIMIT, ERROR,
     "(File too large)",
     {F("data.dat", 0644, OLD)}},
    {"SizeLimitInPlaceKeepsOldFile", "d ro; f ro/q.dat; m ro 555", "ro/q.dat",
     UNPRIVILEGED | SIZE_LIMIT, ERROR, "(File too large)", {"ro/", F("ro/q.dat", 0644, OLD)}},
    {"LoadOfFifoNoHang", "p data.dat", "data.dat", LOAD, ERROR,
     "FILE OPEN ERROR\n(Not a regular file)",
     {"data.dat fifo"}},
    {"LoadOfDeviceRefused", "l data.dat /dev/zero", "data.dat", LOAD, ERROR,
     "FILE OPEN ERROR\n(Not a regular file)", {"data.dat -> /dev/zero"}},
    {"LoadOfUnreadableFileRefused", "f data.dat 0", "data.dat", LOAD | UNPRIVILEGED, ERROR,
     "FILE OPEN ERROR\n(Permission denied)", {F("data.dat", 0, OLD)}},
#endif
};
// clang-format on

// ---- Running one case ----------------------------------------------------------

struct Outcome {
    Status result = 0;
    std::string output;
    std::string skip; // why the case could not run, when it could not
};

// Runs the case's operation. A failure adds its reason to the output, as
// "(reason)", the text the program's stderr line ends with.
Status Operate(SqQueue &Q, int flags) {
    Status r = (flags & LOAD) ? ReadF(Q) : SaveFile(Q);
    if (r == ERROR) Print("(%s)", QueueFileError());
    return r;
}

#ifdef _WIN32
Outcome RunCase(SqQueue &Q, const Case &c) {
    Outcome o;
    if (c.flags & (UNPRIVILEGED | SIZE_LIMIT | SMALL_LIMIT))
        o.skip = "not on Windows";
    else
        o.output = Output([&] { o.result = Operate(Q, c.flags); });
    return o;
}
#else
const int kCannotDrop = 77; // the child's exit status when it cannot run as kNobody

// Gives every entry under root (root included) that root owns to kNobody.
void GiveAway(const fs::path &root) {
    lchown(root.c_str(), kNobody, kNobody);
    struct stat st;
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(root))
        if (lstat(e.path().c_str(), &st) == 0 && st.st_uid == 0)
            lchown(e.path().c_str(), kNobody, kNobody);
}

// In the child: becomes uid/gid 65534 when root, sets the limit, runs the
// operation with stdout going to out, and exits with the result + 10.
[[noreturn]] void Child(SqQueue &Q, const Case &c, int out) {
    if (geteuid() == 0 && !(c.flags & AS_ROOT)) {
        bool dropped = setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
        char cwd[4096]; /* the folder must be within reach of the new user */
        if (dropped && (!getcwd(cwd, sizeof cwd) || access(cwd, X_OK) != 0)) _exit(kCannotDrop);
        if (!dropped && (c.flags & UNPRIVILEGED)) _exit(kCannotDrop);
    }
    if (c.flags & (SIZE_LIMIT | SMALL_LIMIT)) {
        struct rlimit rl;
        getrlimit(RLIMIT_FSIZE, &rl);
        rl.rlim_cur = (c.flags & SMALL_LIMIT) ? 4 : 0;
        setrlimit(RLIMIT_FSIZE, &rl);
        signal(SIGXFSZ, SIG_IGN); /* as the programs do at start: a failed write */
    }
    if (dup2(out, 1) < 0) _exit(1);
    Status r = Operate(Q, c.flags);
    FlushOutput();
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
        if (!append_only.empty()) SetAppendOnly(append_only, false);
        append_only.clear();
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
    std::string why = Make(c.setup);
    if (!why.empty()) GTEST_SKIP() << why;
    std::string path = c.path[0] == '@' ? fs::absolute(c.path + 1).string() : c.path;
    queue_file = path.c_str();
#ifndef _WIN32
    if (geteuid() == 0) GiveAway(dir_);
#endif
    Outcome o = RunCase(Q, c);
#ifdef _WIN32
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held); /* to be listed */
    held = INVALID_HANDLE_VALUE;
#endif
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
