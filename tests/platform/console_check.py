#!/usr/bin/env python3
"""Runs a menu program the way a user or a script meets its console, and
checks what the console layer promises there:

  prompts      driven over pipes one line at a time: after each line the
               text the program prints before it waits (its prompt) arrives,
               in time, although nothing ends its output yet
  terminal     the same at a terminal (a pseudo-terminal, POSIX only)
  full         stdout on a full device: a stderr line and status 1
  closed-pipe  the reader of stdout goes away: the program ends, quietly
               and soon, as SIGPIPE ends it, even with SIGPIPE ignored
  no-converter the GBK converter cannot be had (the PRELOAD shim makes
               iconv_open fail): a stderr line and status 1 before anything
               is printed
  no-memory-for-converter  allocations failing at start (ALLOC_SHIM, that
               of tests/alloc), iconv_open's among them: the program runs,
               or says it is out of memory (status 254), never that the
               converter is missing
  write-error-midway  one write in the middle of a long piped session fails
               (the PRELOAD shim): a stderr line and status 1
  unreadable-input  standard input that cannot be read (a folder, a
               terminal that hung up): a stderr line and status 1, not the
               quiet end of input
  reason-line  (queue_menu) a failed save's stderr reason follows the stdout
               text it explains when both go to one pipe, stdout's bytes as
               they are, and starts a line of its own at a terminal
  utf8-arguments  an argument outside ASCII reaches the program as the
               UTF-8 bytes the user typed (in a UTF-8 locale), not as the
               ANSI code page's '?': --tree "中##" is refused at its first
               byte, 0xE4; queue_menu --file 中文.dat saves to that name
  wine-console a Windows program at a Wine console (tmux runs it in a
               terminal; the emulator is Wine): the Chinese texts, element
               characters and numbers show as they should, not as mojibake

Usage: console_check.py [--emulator CMD] [--crlf] [--preload LIB]
                        [--alloc-shim LIB]
                        CHECK PROGRAM
--crlf expects every newline of stdout as CR LF (Windows text mode).
Exit status 0 when the check passes; otherwise 1 with the reason on stderr.
"""
import argparse
import errno
import os
import pty
import select
import shlex
import signal
import subprocess
import sys
import tempfile
import threading
import time
import tty

from tmux_screen import Screen

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import menus  # noqa: E402
from menus import program_name as name_of  # noqa: E402

# Each step: the line to send, then the text that must arrive before the
# program waits again (None: the program waits without printing anything,
# as in the middle of a pause). "PROMPT" is the menu's prompt. The first
# step sends nothing and waits for the first menu.
STEPS = {
    "tree_menu": [
        (None, "PROMPT"),
        ("3\n", "二叉树构造成功\n"),
        ("\n", None),
        ("\n", "PROMPT"),
        ("9\n", "请输入要赋值的位置的要赋的值："),
        ("5Z\n", "赋值成功\n"),
        ("\n", None),
        ("\n", None),
        ("\n", "PROMPT"),
        ("8\n", "请输入要查找的结点在满二叉树中的对应位置："),
        ("5\n", "第5个结点的数据是Z"),
        ("\n", None),
        ("\n", "PROMPT"),
        ("17\n", "--------The End-------"),
        ("\n", None),
        ("\n", "PROMPT"),
    ],
    "queue_menu": [
        (None, "PROMPT"),
        ("1\n", "队列创建成功！\n"),
        ("\n", "PROMPT"),
        ("7\n", "请输入要入队列的值:"),
        ("42\n", "42入队列成功\n"),
        ("\n", "PROMPT"),
        ("9\n", "------------------ end ------------------------\n"),
        ("\n", "PROMPT"),
    ],
}

WAIT = 30.0  # seconds for each prompt (Wine starts slowly)


class Failed(Exception):
    pass


def expected_bytes(program, text, encoding, crlf):
    if text == "PROMPT":
        text = menus.PROMPTS[name_of(program)]
    if crlf:
        text = text.replace("\n", "\r\n")
    return text.encode(encoding)


def wait_for(fd, want, seen, deadline):
    """Reads fd until the output after position seen[0] holds want."""
    out = seen[1]
    while want not in out[seen[0]:]:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise Failed("waited %.0f s for %r; the output ends with %r"
                         % (WAIT, want, bytes(out[-80:])))
        chunk = os.read(fd, 65536)
        if not chunk:
            raise Failed("the output ended before %r" % want)
        out += chunk
    seen[0] = out.index(want, seen[0]) + len(want)


def drive(program, write, read_fd, encoding, crlf):
    """Sends each step's line and waits for its text, then option 0."""
    seen = [0, bytearray()]
    for line, text in STEPS[name_of(program)]:
        if line is not None:
            write(line.encode())
        if text is not None:
            want = expected_bytes(program, text, encoding, crlf)
            wait_for(read_fd, want, seen, time.monotonic() + WAIT)
    write(b"0\n")


def finish(proc):
    try:
        status = proc.wait(timeout=WAIT)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise Failed("the program did not end after option 0")
    if status != 0:
        raise Failed("exit status %d after option 0" % status)


def check_prompts(cmd, args):
    proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE)

    def write(data):
        proc.stdin.write(data)
        proc.stdin.flush()

    try:
        drive(args.program, write, proc.stdout.fileno(), "gbk", args.crlf)
        proc.stdin.close()
        finish(proc)
    finally:
        if proc.poll() is None:
            proc.kill()


def check_terminal(cmd, args):
    # A raw terminal: no echo and no newline translation, so the output is
    # exactly what the program writes. Its charset is not GBK: UTF-8 comes.
    master, slave = pty.openpty()
    tty.setraw(slave)
    env = dict(os.environ, LC_ALL="C.UTF-8")
    proc = subprocess.Popen(cmd, stdin=slave, stdout=slave, env=env)
    os.close(slave)
    try:
        drive(args.program, lambda data: os.write(master, data), master, "utf-8", False)
        finish(proc)
    finally:
        if proc.poll() is None:
            proc.kill()
        os.close(master)


def run(cmd, **kwargs):
    """menus.run within WAIT seconds; env adds to the environment."""
    try:
        return menus.run(cmd, timeout=WAIT, **kwargs)
    except menus.Timeout:
        raise Failed("the program did not end")


def expect_complaint(result, program, what):
    if result.returncode != 1:
        raise Failed("exit status %d, not 1" % result.returncode)
    err = result.stderr.decode(errors="replace")
    if not (err.startswith(name_of(program) + ": " + what) and err.count("\n") == 1):
        raise Failed("stderr %r is not one line '%s: %s...'" % (err, name_of(program), what))


def check_full(cmd, args):
    with open("/dev/full", "wb") as full:
        result = run(cmd, input=b"0\n", stdout=full)
    expect_complaint(result, args.program, "write error")


def check_closed_pipe(cmd, args):
    # A long session; the reader takes 100 bytes and goes. With SIGPIPE at
    # its default and ignored by the parent alike, the program must end by
    # SIGPIPE (status 1 where there are no signals), soon and silently.
    session = b"3\n\n\n" + b"17\n\n\n" * 100000 + b"0\n"
    for ignored in (False, True):
        handler = signal.SIG_IGN if ignored else signal.SIG_DFL
        proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE,
                                preexec_fn=lambda: signal.signal(signal.SIGPIPE, handler))

        def feed():
            try:
                proc.stdin.write(session)
                proc.stdin.close()
            except (BrokenPipeError, OSError):
                pass

        writer = threading.Thread(target=feed)
        writer.start()
        proc.stdout.read(100)
        proc.stdout.close()
        try:
            status = proc.wait(timeout=WAIT)
        except subprocess.TimeoutExpired:
            proc.kill()
            raise Failed("SIGPIPE %s: the program ran on" % handler.name)
        writer.join()
        err = proc.stderr.read()
        proc.stderr.close()
        ends = -signal.SIGPIPE if not args.emulator else 1
        if status != ends or err:
            raise Failed("SIGPIPE %s: status %d, stderr %r" % (handler.name, status, err))


def shim_env(args, **settings):
    return dict(LD_PRELOAD=args.preload, ASAN_OPTIONS="verify_asan_link_order=0",
                **{name: str(value) for name, value in settings.items()})


def check_no_converter(cmd, args):
    result = run(cmd, input=b"3\n\n\n0\n", env=shim_env(args, SHIM_ICONV_ERRNO=errno.EINVAL))
    if result.stdout:
        raise Failed("printed %r" % result.stdout[:80])
    expect_complaint(result, args.program, "cannot convert texts to GBK")


def check_no_memory_for_converter(cmd, args):
    # Each of the first allocations fails, once or from then on (the
    # FAIL_ALLOC shim), those of iconv_open among them, which glibc reports
    # as a missing converter (EINVAL): the program must either run or say
    # that it is out of memory, never that GBK is missing.
    for fail_at in range(40):
        for mode in ("once", "always"):
            env = dict(LD_PRELOAD=args.alloc_shim, FAIL_ALLOC_AT=str(fail_at),
                       FAIL_ALLOC_MODE=mode)
            result = run(cmd, input=b"0\n", env=env)
            err = result.stderr.decode(errors="replace")
            if (result.returncode, err) not in ((0, ""), (254, name_of(args.program) + ": out of memory\n")):
                raise Failed("allocation %d failing %s: status %d, stderr %r"
                             % (fail_at, mode, result.returncode, err))


def check_unreadable_input(cmd, args):
    for what in ("folder", "hang-up"):
        if what == "folder":
            stdin = os.open(".", os.O_RDONLY)
        else:
            master, stdin = pty.openpty()
            os.close(master)
        try:
            result = run(cmd, stdin=stdin)
        finally:
            os.close(stdin)
        try:
            expect_complaint(result, args.program, "cannot read standard input")
        except Failed as e:
            raise Failed("%s: %s" % (what, e))


def check_reason_line(cmd, args):
    session = b"1\n\n10\n\n0\n"
    failed = "文件保存失败！"
    reason = name_of(args.program) + ": .: "
    result = run(cmd + ["--file", "."], input=session, stderr=subprocess.STDOUT)
    out = menus.from_gbk(result.stdout)
    if failed + reason not in out:
        raise Failed("one pipe: %r holds no %r" % (out, failed + reason))
    # At a raw terminal (no newline translation, UTF-8 charset), stdout and
    # stderr the same: the reason on a line of its own.
    master, slave = pty.openpty()
    tty.setraw(slave)
    proc = subprocess.Popen(cmd + ["--file", "."], stdin=slave, stdout=slave, stderr=slave,
                            env=dict(os.environ, LC_ALL="C.UTF-8"))
    os.close(slave)
    os.write(master, session)
    seen = [0, bytearray()]
    try:
        wait_for(master, (failed + "\n" + reason).encode(), seen, time.monotonic() + WAIT)
        finish(proc)
    finally:
        if proc.poll() is None:
            proc.kill()
        os.close(master)


def check_utf8_arguments(cmd, args):
    env = dict(LC_ALL="C.UTF-8")
    if name_of(args.program) == "queue_menu":  # a save to the name typed
        with tempfile.TemporaryDirectory() as folder:
            run(cmd + ["--file", "中文.dat"], input=b"1\n\n10\n\n0\n", env=env, cwd=folder)
            if os.listdir(folder) != ["中文.dat"]:
                raise Failed("--file 中文.dat saved %r" % os.listdir(folder))
        return
    result = run(cmd + ["--tree", "中##"], input=b"0\n", env=env)
    err = result.stderr.decode(errors="replace")
    want = "tree_menu: --tree: bad character (byte 0xE4) at position 1"
    if result.returncode != 2 or not err.startswith(want):
        raise Failed("status %d, stderr %r" % (result.returncode, err))


def check_write_error_midway(cmd, args):
    # A long piped session whose second write of stdout fails (ENOSPC) while
    # every other write succeeds: the program must notice and say so.
    session = b"3\n\n\n" + b"17\n\n\n" * 100000 + b"0\n"
    if name_of(args.program) == "queue_menu":
        session = b"1\n\n" + b"7\n5\n\n9\n\n" * 50000 + b"0\n"
    result = run(cmd, input=session, env=shim_env(args, SHIM_FAIL_WRITE=2))
    expect_complaint(result, args.program, "write error")


# Keys typed at the console (tmux key names), and the text that must then
# show on the screen. Each text is new on the screen when it is awaited. A
# third text must then be gone: the menu drawn again has cleared the screen.
CONSOLE_STEPS = {
    "tree_menu": [
        ([], menus.PROMPTS["tree_menu"].strip()),
        (["3", "Enter"], "二叉树构造成功"),
        (["Enter", "Enter", "6", "Enter"], "树的深度是5"),
        (["Enter", "Enter"], menus.PROMPTS["tree_menu"].strip(), "树的深度是5"),
        (["9", "Enter"], "请输入要赋值的位置的要赋的值："),
        (["5Z", "Enter"], "赋值成功"),
        (["Enter", "Enter", "Enter", "8", "Enter", "5", "Enter"], "第5个结点的数据是Z"),
        (["Enter", "Enter", "17", "Enter"], "树T前序遍历为："),
        ([], "A B D H K Z C F I G J"),
        (["Enter", "Enter", "0", "Enter"], "status 0"),
    ],
    "queue_menu": [
        ([], menus.PROMPTS["queue_menu"].strip()),
        (["1", "Enter"], "队列创建成功！"),
        (["Enter", "7", "Enter"], "请输入要入队列的值:"),
        (["42", "Enter"], "42入队列成功"),
        (["Enter", "0", "Enter"], "status 0"),
    ],
}


def check_wine_console(cmd, args):
    with Screen(cmd, 120, 50) as s:
        for keys, want, *gone in CONSOLE_STEPS[name_of(args.program)]:
            s.send(keys)
            held, screen = s.wait_until(
                lambda screen: want in screen and not any(text in screen for text in gone),
                2 * WAIT)
            if not held:
                raise Failed("%r not on the screen, or %r still on it:\n%s"
                             % (want, gone, screen))


CHECKS = {
    "prompts": check_prompts,
    "terminal": check_terminal,
    "full": check_full,
    "closed-pipe": check_closed_pipe,
    "no-converter": check_no_converter,
    "no-memory-for-converter": check_no_memory_for_converter,
    "write-error-midway": check_write_error_midway,
    "wine-console": check_wine_console,
    "unreadable-input": check_unreadable_input,
    "reason-line": check_reason_line,
    "utf8-arguments": check_utf8_arguments,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--emulator", default="")
    parser.add_argument("--crlf", action="store_true")
    parser.add_argument("--preload", default="")
    parser.add_argument("--alloc-shim", default="")
    parser.add_argument("check", choices=sorted(CHECKS))
    parser.add_argument("program")
    args = parser.parse_args()
    cmd = shlex.split(args.emulator) + [args.program]
    try:
        CHECKS[args.check](cmd, args)
    except Failed as e:
        print("%s %s: %s" % (args.check, name_of(args.program), e), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
