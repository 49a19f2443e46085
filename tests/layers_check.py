#!/usr/bin/env python3
"""Calls go one way, read from the built libraries with nm: every function
a source file calls is looked up in the file that defines it, and the check
fails on a file of platform/ that calls one of tree/ or queue/, and on any
circle of files that call each other (a pair included).

Usage: layers_check.py NM LIBRARY...   (libplatform.a first; the folder of a
library's files is named by the library: platform, tree_ops, queue_ops)
"""
import os
import subprocess
import sys


def members(nm, library):
    """{file: (defined, called)} of the library's members, by source path."""
    folder = os.path.basename(library).removeprefix("lib").split("_")[0].split(".")[0]
    out = subprocess.run([nm, "-A", "-C", library], capture_output=True, text=True, check=True)
    files = {}
    for line in out.stdout.splitlines():
        # "libtree_ops.a:step.cpp.o:<value> T name" or "...:<blanks> U name"
        _, member, symbol = line.split(":", 2)
        fields = symbol.strip().split(" ", 2)
        kind, name = fields[-2:] if len(fields[0]) > 1 else (fields[0], " ".join(fields[1:]))
        defined, called = files.setdefault(f"{folder}/{member.removesuffix('.o')}", (set(), set()))
        if kind == "U":
            called.add(name)
        elif kind in "TDBRVW":
            defined.add(name)
    return files


def main():
    nm, libraries = sys.argv[1], sys.argv[2:]
    files = {}
    for library in libraries:
        files.update(members(nm, library))
    owner = {name: f for f, (defined, _) in files.items() for name in defined}
    calls = {f: {owner[n] for n in called if owner.get(n, f) != f} for f, (_, called) in files.items()}
    problems = [f"{f} calls {g}, above it" for f in calls for g in calls[f]
                if f.startswith("platform/") and not g.startswith("platform/")]
    state = {}

    def visit(f, path):
        state[f] = "open"
        for g in sorted(calls[f]):
            if state.get(g) == "open":
                problems.append("circle: " + " -> ".join(path[path.index(g):] + [g]))
            elif g not in state:
                visit(g, path + [g])
        state[f] = "done"

    for f in sorted(calls):
        if f not in state:
            visit(f, [f])
    print("\n".join(problems) or f"{len(calls)} files: calls go one way")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
