#!/usr/bin/env python3
"""Runs tree_menu --step in a real terminal of a given size (tmux) and goes
through every frame of the four walks of the built-in tree (options 17 to
20), pressing Enter: each frame must start on the screen's first row with
the walk's name, show its k/N line, and have no line wider than the
screen (tmux joins a wrapped line back, so a line too long shows as one
wider than the screen). At 80 columns each frame also shows the walk's
code. After the last frame two presses of Enter bring the menu back, as
after the walk without --step.

Usage: step_screen_check.py [--emulator CMD] COLSxROWS PROGRAM
Exit status 0 when every frame passes; otherwise 1 with the reason on
stderr.
"""
import argparse
import re
import shlex
import subprocess
import sys
import unicodedata

from tmux_screen import Screen

WAIT = 60.0  # seconds for the screen to show what is awaited (Wine starts slowly)
PROMPT = "请选择你的操作[0~20]:"
# Each walk: option, the frame's heading, its number of steps on the
# built-in tree, and a line of its code.
WALKS = [
    ("17", "前序遍历 (PreOrderTraverse)", 22, "while (p || !StackEmpty(S)) {"),
    ("18", "中序遍历 (InOrderTraverse)", 22, "while (p || !StackEmpty(S)) {"),
    ("19", "后序遍历 (PostOrderTraverse)", 33, "while (p || !StackEmpty(W.S)) {"),
    ("20", "层序遍历 (LevelOrderTraverse)", 5, "for (int k = 0; !StackEmpty(level); k++) {"),
]


def width(line):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in line)


class Failed(Exception):
    pass


def joined(s):
    """The screen with each wrapped line joined back into one."""
    return subprocess.run(s.tmux + ["capture-pane", "-p", "-J"], env=s.env,
                          capture_output=True).stdout.decode(errors="replace")


def frame_ok(screen, heading, k, n, code, cols):
    lines = screen.rstrip("\n").split("\n")
    return (lines[0].startswith(heading)
            and any(re.match(r"%d/%d  " % (k, n), line) for line in lines)
            and (not code or any(code in line for line in lines))
            and all(width(line.rstrip()) < cols for line in lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--emulator", default="")
    parser.add_argument("size")
    parser.add_argument("program")
    args = parser.parse_args()
    cols, rows = (int(v) for v in args.size.split("x"))
    cmd = shlex.split(args.emulator) + [args.program, "--step"]
    try:
        with Screen(cmd, cols, rows) as s:

            def wait_until(ok, what):
                held, _ = s.wait_until(lambda screen: ok(joined(s)), WAIT)
                if not held:
                    raise Failed("at %dx%d the screen does not %s:\n%s"
                                 % (cols, rows, what, joined(s)))

            wait_until(lambda screen: PROMPT in screen, "show the first prompt")
            s.send(["3", "Enter", "Enter", "Enter"])
            for option, heading, n, code in WALKS:
                wait_until(lambda screen: screen.rstrip().endswith(PROMPT), "show the menu")
                s.send([option, "Enter"])
                for k in range(1, n + 1):
                    wait_until(lambda screen: frame_ok(screen, heading, k, n,
                                                       code if cols >= 80 else "", cols),
                               "show frame %d/%d of %s whole" % (k, n, heading))
                    s.send(["Enter"])
                wait_until(lambda screen: "--------The End-------" in screen, "end the walk")
                s.send(["Enter", "Enter"])
    except Failed as e:
        print("%s: %s" % (args.size, e), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
