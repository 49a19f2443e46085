#!/usr/bin/env python3
"""Runs a menu program with --draw in a real terminal of a given size (tmux)
and checks that the picture and the menu share the screen: after an option,
the picture's first line is the screen's first line and the menu's prompt
is on the screen at the same time, and each case's own lines are seen.

  tree-80x24        the built-in tree at 80 x 24: whole, top-down
  tree-80x24-chain  a 7-level chain at 80 x 24: its top 5 levels
  tree-80x24-whole  a 6-level chain at 80 x 24: whole, top-down
  tree-120x60       a 30-level left chain at 120 x 60: whole
  tree-80x24-step   --step, step 5 of option 19 on the built-in tree: the
                    frame (tree, code, stack, k/N line) fits one screen
  tree-80x24-trace  option 19 with --trace: the header on the last screenful
  tree-30x50        the built-in tree with --learn where the menu wraps
  queue-30x40       a full queue where the menu wraps
  tree-40x24        the menu wraps into a screenful: no room above it, so
                    the picture stands under the outcome of option 8
  queue-80x24       a full queue of the widest values (loaded with option
                    11) at 80 x 24: the slots of front and rear, the rest
                    counted

Usage: screen_check.py [--emulator CMD] CASE PROGRAM
Exit status 0 when the case passes; otherwise 1 with the reason on stderr.
"""
import argparse
import os
import shlex
import struct
import sys
import tempfile

from tmux_screen import Screen

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import menus  # noqa: E402

WAIT = 60.0  # seconds for the screen to show what is awaited (Wine starts slowly)

CHAIN30 = "abcdefghijklmnopqrstuvwxyzABCD" + "#" * 31  # each node the left child of the last

# Each case: terminal size, command-line arguments, keys to type (tmux key
# names), the picture's first line, lines that must be on the screen, and
# the prompt to see with them when it is not the menu's.
# The 80 x 24 chains and the full queue fill their rows exactly: with a row
# more they would push their first line off the screen, with a row less they
# would lose their last line.
BUILD = ["3", "Enter", "Enter", "Enter"]
TREE = "树T，横放"
CASES = {
    "tree-80x24": (80, 24, ["--draw"], BUILD, "树T，自上而下",
                   [".-------A(1)---", "  .--------D(4)      E(5)", "     K(17)"]),
    "tree-80x24-chain": (80, 24, ["--draw", "--tree", "abcdefg" + "#" * 8], BUILD, TREE,
                         ["a(1)", "`-L e(16) ...", "...还有2层未画出"]),
    "tree-80x24-whole": (80, 24, ["--draw", "--tree", "abcdef" + "#" * 7], BUILD,
                         "树T，自上而下", ["a(1)", "f(32)"]),
    "tree-120x60": (120, 60, ["--draw", "--tree", CHAIN30], BUILD, TREE,
                    ["a(1)", "`L b(2)", "`L D(536870912)"]),
    "tree-80x24-step": (80, 24, ["--step"], BUILD + ["19", "Enter"] + ["Enter"] * 4,
                        "后序遍历 (PostOrderTraverse)", ["A(1)", "K(17)", "> ", "栈顶> H", "5/33"],
                        "q 到最后"),
    "queue-80x24": (80, 24, ["--draw", "--file", "FILE"],
                    ["1", "Enter", "Enter", "11", "Enter", "Enter"],
                    "队列Q：front=0，rear=99，长度99",
                    ["F 0:-2147483648   1:-2147483648", "...第", "R99:*"]),
    # A trace longer than the screen: its header again on the last screenful.
    "tree-80x24-trace": (80, 24, ["--trace"], BUILD + ["19", "Enter"], "",
                         ["步骤  操作", "出栈 A"], "--------The End-------"),
    # A narrow screen: the menu's lines wrap, and the picture still starts
    # the screen with the prompt on it.
    "tree-30x50": (30, 50, ["--learn"], BUILD, "树T，", ["A(1)", "K(17)"]),
    "queue-30x40": (30, 40, ["--draw", "--file", "FILE"],
                    ["1", "Enter", "Enter", "11", "Enter", "Enter"],
                    "队列Q：front=0，", ["F 0:-2147483648", "R99:*"]),
    "tree-40x24": (40, 24, ["--draw"], BUILD + ["8", "Enter", "5", "Enter"], "",
                   ["第5个结点的数据是E", "树T，", "K(17)"], "第5个结点的数据是E"),
}

PROMPT = {name: prompt.strip() for name, prompt in menus.PROMPTS.items()}


class Failed(Exception):
    pass


def screen_ok(screen, first, wanted, prompt):
    lines = screen.split("\n")
    return (lines[0].startswith(first) and any(prompt in line for line in lines)
            and all(any(want in line for line in lines) for want in wanted))


def run_case(cmd, program, case, folder):
    cols, rows, args, keys, first, wanted = CASES[case][:6]
    args = [os.path.join(folder, "data.dat") if a == "FILE" else a for a in args]
    with open(os.path.join(folder, "data.dat"), "wb") as f:
        f.write(struct.pack("<99i", *([-2**31] * 99)))
    prompt = PROMPT[menus.program_name(program)]
    with Screen(cmd + args, cols, rows) as s:

        def wait_until(ok, what):
            held, screen = s.wait_until(ok, WAIT)
            if not held:
                raise Failed("at %dx%d the screen does not %s:\n%s" % (cols, rows, what, screen))

        # Keys typed before the program reads its console may not reach it.
        wait_until(lambda screen: prompt in screen, "show the first prompt")
        s.send(keys)
        if len(CASES[case]) > 6:
            prompt = CASES[case][6]
        wait_until(lambda screen: screen_ok(screen, first, wanted, prompt),
                   "start with %r and show %r and the prompt" % (first, wanted))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--emulator", default="")
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("program")
    args = parser.parse_args()
    cmd = shlex.split(args.emulator) + [args.program]
    try:
        with tempfile.TemporaryDirectory() as folder:
            run_case(cmd, args.program, args.case, folder)
    except Failed as e:
        print("%s: %s" % (args.case, e), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
