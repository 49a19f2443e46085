#!/usr/bin/env python3
"""Every Chinese text in the programs' sources has a row in a catalog.

Reads the C++ sources of the folders given, drops the comments, and takes
each string literal that holds a character beyond ASCII; each must be a
literal of a catalog too (tree/tree_texts.cpp, queue/queue_texts.cpp,
platform/lang.cpp), where its translation stands beside it. A text put
together from pieces ("...%" PRId64 "...") is matched piece by piece.

Usage: texts_check.py SOURCE_ROOT
"""
import glob
import os
import re
import sys

CATALOGS = ("tree/tree_texts.cpp", "queue/queue_texts.cpp", "platform/lang.cpp")
COMMENT = re.compile(r'/\*.*?\*/|//[^\n]*|("(?:\\.|[^"\\])*")', re.S)
LITERAL = re.compile(r'"((?:\\.|[^"\\])*)"')


def literals(path):
    with open(path, encoding="utf-8") as f:
        code = COMMENT.sub(lambda m: m.group(1) or " ", f.read())
    return [s for s in LITERAL.findall(code) if any(ord(ch) > 0x7F for ch in s)]


def main(root):
    known = set()
    for name in CATALOGS:
        known.update(literals(os.path.join(root, name)))
    missing = []
    for folder in ("tree", "queue", "platform"):
        for path in sorted(glob.glob(os.path.join(root, folder, "*.cpp"))):
            if os.path.relpath(path, root) in CATALOGS:
                continue
            missing += ["%s: %s" % (os.path.relpath(path, root), s)
                        for s in literals(path) if s not in known]
    for line in missing:
        print("no row in a catalog:", line)
    print("%d texts without a row" % len(missing))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
