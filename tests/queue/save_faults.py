#!/usr/bin/env python3
"""The save of queue_menu when the system fails under it, seen from outside:
strace makes one system call of a save fail or kills the program there,
without changing the program.

  faults  one run per line of FAULTS: the call made to fail, what the user
          is told (stdout and stderr), and what the folder holds afterwards.
  kills   SIGKILL at every system call of a save, with and without an old
          data.dat, and with one hard-linked (rewritten in place): afterwards
          data.dat is the old file or the complete new one (absent instead of
          old when there was none), or a copy beside it holds the old bytes
          whole; a stranded new file holds the new bytes or nothing.
  turns   two savers of a hard-linked data.dat at once, the first held 1 s
          inside its rewrite: data.dat ends as one of the two new queues.
  races   one run per line of RACES: a call of the save slowed while
          another program changes data.dat or loads it.

Where strace is missing or cannot trace, says so and exits with 77 (skipped).

Usage: save_faults.py --program QUEUE_MENU (faults | kills | turns | races)
"""
import argparse
import errno
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import menus  # noqa: E402

SKIPPED = 77
TIME_LIMIT = 20  # seconds per run

# Options 1, 7 (7), 7 (-2), 10, 0: the queue 7, -2 saved over 1, 2, 3.
SESSION = b"1\n\n7\n7\n\n7\n-2\n\n10\n\n0\n"
OLD = struct.pack("<3i", 1, 2, 3)
NEW = struct.pack("<2i", 7, -2)
SAVED = menus.gbk("文件保存成功")
FAILED = menus.gbk("文件保存失败！")
OPEN_FAILED = b"File open error\n" + FAILED
STRANDED = re.compile(r"^\.data\.dat\.queue_menu-[A-Za-z0-9]{6}$")
COPY = re.compile(r"^\.data\.dat\.queue_menu-old-[A-Za-z0-9]{6}$")
# The other saver of "turns": options 1, 7 (777) three times, 10, 0.
SESSION_B = b"1\n\n7\n777\n\n7\n777\n\n7\n777\n\n10\n\n0\n"
NEW_B = struct.pack("<3i", 777, 777, 777)

# One line per case: name, whether data.dat exists before ("linked": with a
# second name, "other"), the system call to fail, a pattern ({work} the
# folder) for the first call of the save to fail among those (None: every
# call), the failure strace injects, then what the user sees after the save
# (the tail of stdout) and on stderr, and data.dat afterwards (None: absent).
# No other file may be left, but for "copy" rows the copy of the old bytes.
# "xattr" rows set user.origin on data.dat before and expect it afterwards.
FAULTS = [
    # The first fsync is of the new bytes: without it the new file would
    # replace the old one unsynced.
    ("new bytes not synced", True, "fsync", r".", "error=EIO",
     FAILED, b"queue_menu: data.dat: Input/output error\n", OLD),
    ("folder not synced after the rename", True, "fsync", r"\({n}<{work}>\)", "error=EIO",
     SAVED, b"", NEW),
    ("no descriptor for the new file", True, "openat", r"O_TMPFILE", "error=EMFILE",
     FAILED, b"queue_menu: data.dat: Too many open files\n", OLD),
    ("no descriptor for a new data.dat", False, "openat", r"O_TMPFILE", "error=EMFILE",
     OPEN_FAILED, b"queue_menu: data.dat: Too many open files\n", None),
    ("disk full while writing", True, "pwrite64", r"\(deleted\)", "error=ENOSPC",
     FAILED, b"queue_menu: data.dat: No space left on device\n", OLD),
    ("rename refused: the named new file goes", True, "rename", r".", "error=EIO",
     FAILED, b"queue_menu: data.dat: Input/output error\n", OLD),
    # Another program took the new file's name first: the save tries another.
    ("new file's name taken", True, "linkat", r"queue_menu-", "error=EEXIST",
     SAVED, b"", NEW),
    # A kernel without unnamed files (EISDIR): the new file is named at once.
    ("no unnamed files: a named new file", True, "openat", r"O_TMPFILE", "error=EISDIR",
     SAVED, b"", NEW),
    ("old descriptor's close fails", True, "close", r"data\.dat>", "error=EIO",
     SAVED, b"", NEW),
    ("extended attributes kept", True, None, None, None, SAVED, b"", NEW, "xattr"),
    # A failing F_GETFL must not turn into flags set on data.dat.
    ("flags of data.dat unknown", True, "fcntl", r"F_GETFL", "error=EIO",
     OPEN_FAILED, b"queue_menu: data.dat: Input/output error\n", OLD),
    # A file system without hard links (Emscripten's): a first save renames.
    ("no hard links: a new data.dat by rename", False, "linkat", None, "error=EMLINK",
     SAVED, b"", NEW),
    # In place: the old bytes are put back, or stay whole in the copy.
    ("in place: disk full", "linked", "pwrite64", r"/data\.dat>", "error=ENOSPC",
     FAILED, b"queue_menu: data.dat: No space left on device\n", OLD),
    ("in place: sync fails", "linked", "fsync", r"/data\.dat>", "error=EIO",
     FAILED, b"queue_menu: data.dat: Input/output error\n", OLD),
    # The close that reports the file's write-back: the old bytes go back.
    ("in place: close fails", "linked", "close", r"/data\.dat>", "error=EIO",
     FAILED, b"queue_menu: data.dat: Input/output error\n", OLD),
    ("in place: the copy cannot be made", "linked", "openat", r"O_TMPFILE", "error=ENOSPC",
     FAILED, b"queue_menu: data.dat: No space left on device\n", OLD),
    # A folder that refuses the rename (append-only, sticky): in place.
    ("rename refused: rewritten in place", True, "rename", r".", "error=EPERM",
     SAVED, b"", NEW),
    ("in place, no copy: close fails", "linked", "close", r"/data\.dat>", "error=EIO",
     FAILED, b"queue_menu: data.dat: Input/output error\n", OLD, "nocopy"),
]


def strace_problem():
    """Why strace cannot be used here, or None."""
    if not shutil.which("strace"):
        return "strace not found (Debian package strace)"
    done = subprocess.run(["strace", "-qq", "-o", os.devnull, "true"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if done.returncode != 0:
        return "strace cannot trace here: " + done.stderr.decode(errors="replace").strip()
    return None


def run(program, work, strace_args):
    """Runs the session in work under strace; returns (status, stdout, stderr).
    The leak check of a sanitizer build cannot run under ptrace: it is off."""
    asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    done = menus.run(["strace", "-qq"] + strace_args + ["--", program], input=SESSION,
                     cwd=work, env=dict(ASAN_OPTIONS=asan), timeout=TIME_LIMIT)
    return done.returncode, done.stdout, done.stderr


def prepare(work, old):
    """Empties work and puts the old data.dat there when old, with a second
    name "other" when old is "linked"."""
    for name in os.listdir(work):
        os.unlink(os.path.join(work, name))
    if old:
        with open(os.path.join(work, "data.dat"), "wb") as f:
            f.write(OLD)
    if old == "linked":
        os.link(os.path.join(work, "data.dat"), os.path.join(work, "other"))


def save_calls(program, work, old):
    """The system calls of a save, from the first that names data.dat to the
    last before the program writes its output: a list of (name, K, line), K
    counting the calls of that name from the start (strace's when=K)."""
    prepare(work, old)
    log = os.path.join(work, "..", os.path.basename(work) + ".log")
    run(program, work, ["-y", "-o", log])
    counts, calls, inside = {}, [], False
    with open(log, errors="replace") as f:
        for line in f:
            m = re.match(r"(\w+)\(", line)
            if not m:
                continue
            name = m.group(1)
            counts[name] = counts.get(name, 0) + 1
            inside = inside or "data.dat" in line
            if inside and name == "write" and line.startswith("write(1<"):
                break
            if inside:
                calls.append((name, counts[name], line))
    os.unlink(log)
    return calls


def leftovers(work):
    """The names in work other than data.dat and other."""
    return sorted(n for n in os.listdir(work) if n not in ("data.dat", "other"))


def read(work, name):
    with open(os.path.join(work, name), "rb") as f:
        return f.read()


def data(work):
    path = os.path.join(work, "data.dat")
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def outcome_problems(work, out, stderr, shown, err, after):
    """What differs from the outcome a case expects: the stdout text shown,
    the exact stderr err, and data.dat's bytes after (None: absent)."""
    problems = []
    if shown not in out:
        problems.append("stdout lacks %r" % menus.from_gbk(shown))
    if stderr != err:
        problems.append("stderr %r, expected %r" % (stderr, err))
    if data(work) != after:
        problems.append("data.dat holds %r, expected %r" % (data(work), after))
    return problems


def fault_case(program, work, case):
    """What is wrong with one line of FAULTS (empty: nothing)."""
    name, old, call, pattern, inject, shown, err, after = case[:8]
    xattr, copy = len(case) > 8 and case[8] == "xattr", len(case) > 8 and case[8] == "copy"
    args = []
    if call and not pattern:
        args = ["-o", os.devnull, "-e", "trace=" + call, "-e", "inject=%s:%s" % (call, inject)]
    elif call:
        calls = save_calls(program, work, old)
        where = re.compile(pattern.format(work=re.escape(work), n=r"\d+"))
        hits = [k for c, k, line in calls if c == call and where.search(line)]
        if not hits:
            return ["no %s call matching %r in the save" % (call, pattern)]
        args = ["-o", os.devnull, "-e", "trace=%s,openat" % call,
                "-e", "inject=%s:%s:when=%d" % (call, inject, hits[0])]
        if len(case) > 8 and case[8] == "nocopy":  # the folder refuses the copy
            copies = [k for c, k, line in calls if c == "openat" and "O_TMPFILE" in line]
            args += ["-e", "inject=openat:error=EACCES:when=%d" % copies[0]]
    prepare(work, old)
    if xattr:
        try:
            os.setxattr(os.path.join(work, "data.dat"), "user.origin", b"kept")
        except OSError as e:
            if e.errno in (errno.ENOTSUP, errno.EOPNOTSUPP, errno.EPERM):
                print("%s: skipped, no user xattrs here (%s)" % (name, e.strerror))
                return []
            raise
    status, out, stderr = run(program, work, args or ["-o", os.devnull])
    problems = []
    if status != 0:
        problems.append("exit status %d" % status)
    problems += outcome_problems(work, out, stderr, shown, err, after)
    mask = os.umask(0)
    os.umask(mask)
    mode = 0o666 & ~mask | (0 if old else 0o600)  # the old file's, or a new file's
    if data(work) is not None and os.stat(os.path.join(work, "data.dat")).st_mode & 0o777 != mode:
        problems.append("data.dat has mode %o, expected %o" % (
            os.stat(os.path.join(work, "data.dat")).st_mode & 0o777, mode))
    left = leftovers(work)
    if copy and (len(left) != 1 or not COPY.match(left[0]) or read(work, left[0]) != OLD):
        problems.append("no copy of the old bytes beside: %s" % left)
    elif left and not copy:
        problems.append("left behind: %s" % left)
    if xattr and data(work) is not None:
        try:
            kept = os.getxattr(os.path.join(work, "data.dat"), "user.origin")
        except OSError:
            kept = None
        if kept != b"kept":
            problems.append("user.origin lost")
    return problems


# Calls that touch no file: a kill there is a kill at the file call before
# it, and how many of them a run makes depends on the allocator (a sanitizer
# build's runtime makes some of its own, not always at the same moment).
MEMORY_CALLS = {"getrandom", "brk", "mmap", "munmap", "mremap", "madvise", "mprotect"}


def kill_sweep(program, work, old):
    """Kills the save at each of its system calls; returns (runs, kill points
    that strand a new file, problems)."""
    calls = [c for c in save_calls(program, work, old) if c[0] not in MEMORY_CALLS]
    problems, stranded = [], 0
    for call, k, line in calls:
        prepare(work, old)
        status, _, _ = run(program, work, ["-o", os.devnull, "-e", "trace=" + call,
                                           "-e", "inject=%s:signal=KILL:when=%d" % (call, k)])
        where = "%s data.dat, killed at %s #%d (%s)" % (
            {True: "old", False: "no"}.get(old, old), call, k, line.strip()[:80])
        after, left = data(work), leftovers(work)
        if status != -9 and status != 128 + 9:
            problems.append("%s: not killed (status %d)" % (where, status))
        copied = any(COPY.match(n) and read(work, n) == OLD for n in left)
        if after not in ((OLD if old else None), NEW) and not copied:
            problems.append("%s: data.dat holds %r" % (where, after))
        links = 2 if old == "linked" else 1
        if after is not None and os.stat(os.path.join(work, "data.dat")).st_nlink != links:
            problems.append("%s: data.dat has a name more" % where)
        for name in left:  # a copy is whole, never half written
            if not (STRANDED.match(name) and read(work, name) in (NEW, b"") or
                    COPY.match(name) and read(work, name) == OLD):
                problems.append("%s: left %s" % (where, name))
        stranded += any(STRANDED.match(n) for n in left)
    return len(calls), stranded, problems


def turns(program, work):
    """Two savers of a hard-linked data.dat, the first held 1 s after its
    first write to it: the problems found."""
    calls = save_calls(program, work, "linked")
    hits = [k for c, k, line in calls if c == "pwrite64" and "/data.dat>" in line]
    if not hits:
        return ["turns: no write to data.dat in the save"]
    prepare(work, "linked")
    asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    env = dict(ASAN_OPTIONS=asan)
    held = subprocess.Popen(
        ["strace", "-qq", "-o", os.devnull, "-e", "trace=pwrite64", "-e",
         "inject=pwrite64:delay_exit=1000000:when=%d" % hits[0], "--", program],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, cwd=work,
        env=dict(os.environ, LC_ALL="C", **env))
    held.stdin.write(SESSION)
    held.stdin.close()
    time.sleep(0.3)  # the first saver is inside its rewrite by now, or done
    other = menus.run([program], input=SESSION_B, cwd=work, env=env, timeout=TIME_LIMIT)
    out = held.stdout.read()
    held.wait(timeout=TIME_LIMIT)
    problems = ["turns: a save failed"] if SAVED not in out or SAVED not in other.stdout else []
    if data(work) not in (NEW, NEW_B):
        problems.append("turns: data.dat holds %r" % data(work))
    if leftovers(work):
        problems.append("turns: left behind: %s" % leftovers(work))
    print("turns: data.dat holds the %s saver's queue" % ("first" if data(work) == NEW else "other"))
    return problems


OTHER = struct.pack("<i", 42)  # what another program puts in data.dat
# Options 1, 11, 9, 0: a load, and the queue it gave.
LOAD_SESSION = b"1\n\n11\n\n9\n\n0\n"
REPLACED = b"queue_menu: data.dat: Replaced by another program during the save\n"


def put_other(work):
    """Another program writes data.dat whole, by a rename where it exists."""
    with open(os.path.join(work, "other.new"), "wb") as f:
        f.write(OTHER)
    os.replace(os.path.join(work, "other.new"), os.path.join(work, "data.dat"))


def load_queue(program, work):
    """Another queue_menu loads data.dat: the elements it shows."""
    done = menus.run([program], input=LOAD_SESSION, cwd=work, timeout=TIME_LIMIT)
    return re.findall(rb"\n([-\d\t]*)\n-+ end", done.stdout)


# One line per race: name, data.dat before (as in FAULTS), the call slowed
# by 1 s, a pattern for the first such call, delay_enter or delay_exit,
# what happens meanwhile ("other": another program replaces data.dat or
# makes it; "load": another program loads it), the tail of stdout, stderr,
# and data.dat afterwards.
RACES = [
    ("absent data.dat made meanwhile", False, "linkat", r"/proc/self/fd", "delay_enter",
     "other", FAILED, b"queue_menu: data.dat: File exists\n", OTHER),
    ("data.dat replaced before the rename", True, "flock", r"LOCK_EX", "delay_enter",
     "other", FAILED, REPLACED, OTHER),
    ("in place: data.dat replaced once locked", "linked", "flock", r"LOCK_EX", "delay_exit",
     "other", FAILED, REPLACED, OTHER),
    ("in place: a load waits for the rewrite", "linked", "pwrite64", r"/data\.dat>",
     "delay_exit", "load", SAVED, b"", NEW),
]


def race_case(program, work, case):
    """What is wrong with one line of RACES (empty: nothing)."""
    name, old, call, pattern, delay, meanwhile, shown, err, after = case
    calls = save_calls(program, work, old)
    hits = [k for c, k, line in calls if c == call and re.search(pattern, line)]
    if not hits:
        return ["no %s call matching %r in the save" % (call, pattern)]
    prepare(work, old)
    asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    slowed = subprocess.Popen(
        ["strace", "-qq", "-o", os.devnull, "-e", "trace=" + call, "-e",
         "inject=%s:%s=1000000:when=%d" % (call, delay, hits[0]), "--", program],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=work,
        env=dict(os.environ, LC_ALL="C", ASAN_OPTIONS=asan))
    slowed.stdin.write(SESSION)
    slowed.stdin.close()
    time.sleep(0.4)  # the save is inside the slowed call by now
    loaded = put_other(work) if meanwhile == "other" else load_queue(program, work)
    out, stderr = slowed.stdout.read(), slowed.stderr.read()
    slowed.wait(timeout=TIME_LIMIT)
    problems = []
    problems += outcome_problems(work, out, stderr, shown, err, after)
    if meanwhile == "load" and loaded != [b"7\t-2\t"]:
        problems.append("the load showed %r, expected the new queue" % loaded)
    if leftovers(work):
        problems.append("left behind: %s" % leftovers(work))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("what", choices=["faults", "kills", "turns", "races"])
    args = parser.parse_args()
    why = strace_problem()
    if why:
        print("skipped: " + why)
        return SKIPPED
    program = os.path.abspath(args.program)
    problems = []
    with tempfile.TemporaryDirectory() as top:
        work = os.path.join(top, "work")
        os.mkdir(work)
        if args.what == "faults":
            for case in FAULTS:
                problems += ["%s: %s" % (case[0], p) for p in fault_case(program, work, case)]
            print("%d cases; %d problems" % (len(FAULTS), len(problems)))
        elif args.what == "kills":
            strands = 0
            for old in (True, False, "linked"):
                runs, stranded, found = kill_sweep(program, work, old)
                problems += found
                strands += stranded
                print("%s data.dat: %d kill points, %d strand a new file" % (
                    {True: "old", False: "no"}.get(old, old), runs, stranded))
            if strands > 2:
                problems.append("%d kill points strand a new file, at most 2 may" % strands)
        elif args.what == "races":
            for case in RACES:
                problems += ["%s: %s" % (case[0], p) for p in race_case(program, work, case)]
            print("%d cases; %d problems" % (len(RACES), len(problems)))
        else:
            problems += turns(program, work)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
