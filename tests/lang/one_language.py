#!/usr/bin/env python3
"""A learner's session is in one language: with --lang en not one Chinese
character; with --lang zh (the default) no English sentence that the learner
options add (the menus, the specified English lines and the names of the
code, such as front, rear and MAXQSIZE, stay as they are).

Each program runs with --learn and a session that visits every picture,
trace and hint, and tree_menu with --step through its keys: the output is
read as UTF-8.

Usage: one_language.py TREE_MENU QUEUE_MENU
"""
import os
import re
import subprocess
import sys
import tempfile

TREE = ("3\n\n\n25\nx\n6\n\n\n9\n5Z\n\n\n\n15\n1\n\n\n\n16\n0\n\n\n\n"
        "17\n\n\n18\n\n\n19\n\n\n20\n\n\n4\n\n\n2\n\n\n0\n")
STEP = "3\n\n\n17\n\nn\nb\n3\nq\n\n\n19\n\nq\n\n\n20\n\nq\n\n\n0\n"
QUEUE = ("9\n\n1\n\n" + "".join("7\n%d\n\n" % (i * 37 - 500) for i in range(99)) +
         "7\n1\n\n" + "8\n\n" * 60 + "".join("7\n%d\n\n" % i for i in range(30)) +
         "10\n\n11\n\n3\n\n2\n\n12\n0\n")
CJK = re.compile("[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]")
SENTENCE = re.compile(r"[A-Za-z]{2,}(?:[ ,;:]+[A-Za-z]{2,}){2,}")
# Lines whose English is the system's own: the menus, the traversal's
# rules and the file's error line.
OWN = re.compile(r"Menu for|^\s*-+|^\s*\t|The End|all elements|\bend\b|File open error|FILE OPEN")


def session(program, args, stdin, learn="--learn"):
    with tempfile.TemporaryDirectory() as work:
        run = subprocess.run([program, learn, "--encoding", "utf-8"] + args, cwd=work,
                             input=stdin.encode(), stdout=subprocess.PIPE, timeout=120)
    return run.stdout.decode("utf-8")


def main(tree, queue):
    bad = []
    tree, queue = os.path.abspath(tree), os.path.abspath(queue)
    for program, stdin, learn in ((tree, TREE, "--learn"), (tree, STEP, "--step"),
                                  (queue, QUEUE, "--learn")):
        for line in session(program, ["--lang", "en"], stdin, learn).split("\n"):
            if CJK.search(line):
                bad.append("%s %s --lang en: %s" % (program, learn, line))
        for line in session(program, [], stdin, learn).split("\n"):
            if not OWN.search(line) and SENTENCE.search(line):
                bad.append("%s %s (zh): %s" % (program, learn, line))
    for line in bad:
        print("FAIL:", line)
    print("%d lines in another language" % len(bad))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
