#!/usr/bin/env python3
"""Runs sessions of each menu program (without options, and with --draw,
--tree and --file) again and again, with allocation number N (0 to 200)
made to fail, once or from then on, by the LD_PRELOAD library fail_alloc,
and checks that every run ends soundly:

  - no signal, and the run ends within the time limit;
  - stdout is GBK: it decodes as GBK and holds none of the session's Chinese
    texts as UTF-8;
  - the run either gives the normal output (that of a run where nothing
    fails) with status 0, or says that it failed: a failure text of the menu
    with status 0, or a non-zero status with a "<program>: ..." line on
    stderr;
  - for the queue, its data file holds afterwards either its old bytes or
    the full new file.

Usage: alloc_sweep.py --shim LIB --tree TREE_MENU --queue QUEUE_MENU [--last N]
"""
import argparse
import concurrent.futures
import os
import re
import struct
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import menus  # noqa: E402

TIME_LIMIT = 10  # seconds per run

# Options 3, 15 (side 0), 17, 19, 20, 16 (side 0), 6, each with its pause.
TREE_STDIN = b"3\n\n\n15\n0\n\n\n\n17\n\n\n19\n\n\n20\n\n\n16\n0\n\n\n\n6\n\n\n0\n"
# Options 1, 7 (5), 7 (6), 9, 10, 11, 9, each with its pause.
QUEUE_STDIN = b"1\n\n7\n5\n\n7\n6\n\n9\n\n10\n\n11\n\n9\n\n0\n"

OLD_FILE = struct.pack("<3i", 1, 2, 3)
NEW_FILE = struct.pack("<2i", 5, 6)
# The queue 5, -3 saved to a file whose long name the save builds names on.
FILE_STDIN = b"1\n\n7\n5\n\n7\n-3\n\n9\n\n10\n\n11\n\n5\n\n2\n\n0\n"
LONG_FILE = "saves/" + "queue-data-" * 8 + ".dat"

TREE_FAILURES = ["二叉树构造失败", "二叉树P构造失败", "空二叉树创建失败", "树P插入失败", "删除失败"]
QUEUE_FAILURES = ["队列创建失败！", "文件保存失败！", "文件读取失败！"]

# Each session: its name, the program, its options, its stdin, the texts
# that report a failure, and the queue's data file with its old bytes and
# the bytes it may hold afterwards (None: no file), then "linked" for a data
# file with a second name.
SESSIONS = [
    ("tree_menu", "tree_menu", [], TREE_STDIN, TREE_FAILURES, None),
    ("tree_menu --draw", "tree_menu", ["--draw"], TREE_STDIN, TREE_FAILURES, None),
    ("tree_menu --tree", "tree_menu", ["--tree", "AB#D##CE##F##"], TREE_STDIN, TREE_FAILURES,
     None),
    ("queue_menu", "queue_menu", [], QUEUE_STDIN, QUEUE_FAILURES,
     ("data.dat", OLD_FILE, [OLD_FILE, NEW_FILE])),
    ("queue_menu --draw", "queue_menu", ["--draw"], QUEUE_STDIN, QUEUE_FAILURES,
     ("data.dat", OLD_FILE, [OLD_FILE, NEW_FILE])),
    ("queue_menu --file", "queue_menu", ["--file", LONG_FILE], FILE_STDIN, QUEUE_FAILURES,
     (LONG_FILE, OLD_FILE, [OLD_FILE, struct.pack("<2i", 5, -3)])),
    # A hard-linked data file: rewritten in place, beside a copy of its old bytes.
    ("queue_menu, hard-linked file", "queue_menu", [], QUEUE_STDIN, QUEUE_FAILURES,
     ("data.dat", OLD_FILE, [OLD_FILE, NEW_FILE], "linked")),
]


def run(session, path, shim, fail_at, mode):
    """Runs one session in a fresh folder; returns (status, stdout, stderr,
    the data file after, or None). status is None when the time ran out."""
    _, _, args, stdin, _, files = session
    env = dict(LD_PRELOAD=shim)
    if fail_at is not None:
        env["FAIL_ALLOC_AT"] = str(fail_at)
        env["FAIL_ALLOC_MODE"] = mode
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, files[0]) if files else None
        if files:
            os.makedirs(os.path.dirname(data), exist_ok=True)
            with open(data, "wb") as f:
                f.write(files[1])
            if len(files) > 3:
                os.link(data, data + ".link")
        try:
            done = menus.run([path] + args, input=stdin, cwd=work, env=env, timeout=TIME_LIMIT)
        except menus.Timeout as e:
            return None, e.stdout, e.stderr, None
        after = None
        if files and os.path.exists(data):
            with open(data, "rb") as f:
                after = f.read()
        return done.returncode, done.stdout, done.stderr, after


def chinese_texts(output):
    """The runs of non-ASCII characters of a GBK output, as text."""
    return set(re.findall(r"[^\x00-\x7f]+", menus.from_gbk(output)))


def problems(session, result, normal, texts):
    """What is wrong with one run (empty when nothing)."""
    status, out, err, after = result
    _, program, _, _, failures, files = session
    found = []
    if status is None:
        return ["did not end within %d s" % TIME_LIMIT]
    if status < 0:
        found.append("killed by signal %d" % -status)
    try:
        out.decode("gbk")
    except UnicodeDecodeError as e:
        found.append("stdout is not GBK (%s)" % e.reason)
    utf8 = sorted(t for t in texts if t.encode("utf-8") in out)
    if utf8:
        found.append("stdout holds UTF-8 text: " + ", ".join(utf8))
    failure_text = any(menus.gbk(t) in out for t in failures)
    stderr_line = re.match(rb"%s: [^\n]+\n" % program.encode(), err) is not None
    if status == 0 and out != normal and not failure_text:
        found.append("status 0 without the normal output or a failure text")
    if status > 0 and not stderr_line:
        found.append("status %d without a line on stderr" % status)
    if files and after not in files[2]:
        found.append("%s is neither the old nor the new file: %r" % (files[0], after))
    return found


def sweep(session, path, shim, last):
    """Every run of the session: a line for each problem found."""
    name = session[0]
    status, normal, err, after = run(session, path, shim, None, "")
    if status != 0 or err:
        return ["%s: the run without failures ended with status %s: %r" % (name, status, err)]
    texts = chinese_texts(normal) | set(session[4])
    jobs = [(n, mode) for mode in ("once", "always") for n in range(last + 1)]
    failed = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        results = pool.map(lambda job: run(session, path, shim, *job), jobs)
        for (n, mode), result in zip(jobs, results):
            run_name = "%s N=%d %s" % (name, n, mode)
            failed += [run_name + ": " + p for p in problems(session, result, normal, texts)]
    return failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--shim", required=True)
    parser.add_argument("--tree", required=True)
    parser.add_argument("--queue", required=True)
    parser.add_argument("--last", type=int, default=200)
    args = parser.parse_args()
    shim = os.path.abspath(args.shim)
    failed = []
    paths = {"tree_menu": os.path.abspath(args.tree), "queue_menu": os.path.abspath(args.queue)}
    for session in SESSIONS:
        failed += sweep(session, paths[session[1]], shim, args.last)
    for line in failed:
        print(line)
    print("%d runs; %d problems" % (len(SESSIONS) * 2 * (args.last + 1), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
