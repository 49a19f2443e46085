#!/usr/bin/env python3
"""Runs one menu program on a scripted stdin and compares its stdout byte for
byte with the expected dialogue.

A scenario file is UTF-8 text:

    # comment lines, before the first section only
    program: tree_menu
    args: --draw --tree "AB##C##"
    == stdin
    3\\n\\n\\n
    0\\n
    == stdout
    {MENU}二叉树构造成功\\n
    {MENU}
    == exit 0

In the stdin and stdout sections the line breaks of the file are ignored:
every byte the program reads or writes is written out, with the escapes \\n
\\t \\r \\0 \\\\ \\{ \\xHH and \\s (a space). Placeholders in stdout: {MENU} is
the program's whole menu and prompt, {LINES} and {PROMPT} its two parts
(a learner's line comes between them), {ADDR} any signed decimal number (a
node address). {REPEAT n}...{END} stands for its contents n times (both sections). Text is compared as GBK bytes, the programs' wire encoding.

Optional headers:
    args: ...        the program's command line, split as a POSIX shell does
    encoding: utf-8  stdout is compared as UTF-8 bytes instead of GBK

Optional sections for programs that use files (all in the run's own
temporary working folder):
    == file NAME     hex bytes the file holds before the run (may be empty)
    == folder NAME   a folder made before the run
    == after NAME    hex bytes the file must hold after the run
    == absent NAME   the file must not exist after the run
and for what a program says on stderr (not looked at without this section):
    == stderr        the exact stderr, escapes as in stdout

Usage: run_dialogue.py [--emulator CMD] [--crlf] [--wrapper CMD] [--web] PROGRAM SCENARIO
       run_dialogue.py --self-test
--crlf expects every newline of stdout as CR LF (Windows text mode).
--web is for the WebAssembly build, whose output is UTF-8 only and whose
stdout is always a terminal: the texts are compared as UTF-8 bytes, and its
screen clears are taken out of stdout before the comparison.
Windows text mode also changes what a program reads: CR LF in stdin comes
in as LF alone, and a byte 1A (Ctrl+Z) ends the input there.
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import menus  # noqa: E402
from menus import gbk  # noqa: E402

TREE_MENU = (
    "\n\n"
    "\tMenu for Bitree\n"
    "\t-------------------------------------------------\n"
    "\t\t1.InitaBitree\t\t12.RightChild\n"
    "\t\t2.DestroyBiTree\t\t13.LeftSibling\n"
    "\t\t3.CreateBiTree\t\t14.RightSibling\n"
    "\t\t4.ClearBiTree\t\t15.InsertChild\n"
    "\t\t5.BiTreeEmpty\t\t16.DeleteChild\n"
    "\t\t6.BiTreeDepth\t\t17.PreOrderTraverse\n"
    "\t\t7.Root\t\t\t18.InOrderTraverse\n"
    "\t\t8.Value\t\t\t19.PostOrderTraverse\n"
    "\t\t9.Assign\t\t20.LevelOrderTraverse\n"
    "\t\t10.Parent\t\t\n"
    "\t\t11.LeftChild\t\t\n"
    "\t-------------------------------------------------\n"
) + menus.PROMPTS["tree_menu"]

QUEUE_MENU = (
    "\n\n"
    "      Menu for Linear Table On Sequence Structure \n"
    "-------------------------------------------------\n"
    "    \t  1. IntiaQueue       7. EnQueue\n"
    "    \t  2. DestroyQueue     8. DeQueue \n"
    "    \t  3. ClearQueue       9. QueueTravserse\n"
    "    \t  4. QueueEmpty       10. SaveFile\n"
    "    \t  5. QueueLength      11. ReadFile\n"
    "    \t  6. GetHead\n"
    "    \t  0. Exit\n"
    "-------------------------------------------------\n"
) + menus.PROMPTS["queue_menu"]

MENUS = {"tree_menu": TREE_MENU, "queue_menu": QUEUE_MENU}

# The prompt under the menu in an English session (--lang en); the menu's
# lines are English in every session.
PROMPTS_EN = {menus.PROMPTS[name]: en for name, en in menus.PROMPTS_EN.items()}


def session_menu(menu, args):
    """The menu as a session with these arguments shows it."""
    lang = [a for i, a in enumerate(args) if args[i - 1 : i] == ["--lang"]]
    lang += [a[len("--lang="):] for a in args if a.startswith("--lang=")]
    if lang and lang[-1].lower() == "en":
        for zh, en in PROMPTS_EN.items():
            menu = menu.replace(zh, en)
    return menu

ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "0": "\0", "\\": "\\", "{": "{", "s": " "}

ADDR = object()  # marks the {ADDR} placeholder in a parsed stdout section


TOKEN = re.compile(r"(\\x[0-9A-Fa-f]{2}|\\.|\{[A-Z]+\})")
REPEAT = re.compile(r"\{REPEAT (\d+)\}(.*?)\{END\}", re.S)


def unescape(body, placeholders):
    """Turns a section body into a list of str pieces and ADDR marks."""
    body = body.replace("\r", "").replace("\n", "")
    body = REPEAT.sub(lambda m: m.group(2) * int(m.group(1)), body)
    out = []
    for token in TOKEN.split(body):
        if not token:
            continue
        if token.startswith("\\x"):
            out.append(chr(int(token[2:], 16)))
        elif token.startswith("\\"):
            if token[1] not in ESCAPES:
                raise ValueError("unknown escape %s" % token)
            out.append(ESCAPES[token[1]])
        elif token.startswith("{") and placeholders is not None:
            name = token[1:-1]
            if name == "ADDR":
                out.append(ADDR)
            elif name in placeholders:
                out.append(placeholders[name])
            else:
                raise ValueError("unknown placeholder %s" % token)
        else:
            out.append(token)
    return out


RAW = re.compile("[\x80-\xff]")


def to_bytes(pieces, codec="gbk"):
    """Bytes of a piece list; \\xHH escapes of 80 to FF stand for raw bytes."""
    data = []
    for piece in pieces:
        if not RAW.search(piece):
            data.append(piece.encode(codec))
            continue
        for ch in piece:
            data.append(bytes([ord(ch)]) if 0x80 <= ord(ch) <= 0xFF else ch.encode(codec))
    return b"".join(data)


def parse(path):
    headers, sections, current = {}, [], None
    with open(path, encoding="utf-8") as f:
        for line in f.read().split("\n"):
            if line.startswith("== "):
                current = [line[3:].strip(), []]
                sections.append(current)
            elif current is not None:
                current[1].append(line)
            elif line.startswith("#") or not line.strip():
                continue
            else:
                key, _, value = line.partition(":")
                headers[key.strip()] = value.strip()
    return headers, [(name, "\n".join(lines)) for name, lines in sections]


def expected_regex(pieces, crlf, codec="gbk"):
    pattern = []
    for piece in pieces:
        if piece is ADDR:
            pattern.append(rb"-?[0-9]+")
        else:
            chunk = to_bytes([piece], codec)
            if crlf:
                chunk = chunk.replace(b"\n", b"\r\n")
            pattern.append(re.escape(chunk))
    return re.compile(b"".join(pattern), re.S)


def show(data, codec="gbk"):
    return data.decode(codec, errors="backslashreplace")


def first_difference(expected_pieces, actual, crlf, codec="gbk"):
    """Offset into actual where the expected text stops matching."""
    if ADDR not in expected_pieces:
        want = to_bytes(expected_pieces, codec)
        if crlf:
            want = want.replace(b"\n", b"\r\n")
        n = min(len(want), len(actual))
        return next((i for i in range(n) if want[i] != actual[i]), n)
    good = 0
    for n in range(1, len(expected_pieces) + 1):
        m = expected_regex(expected_pieces[:n], crlf, codec).match(actual)
        if not m:
            break
        good = m.end()
    return good


def matches(pieces, actual, crlf, codec="gbk"):
    if ADDR in pieces:
        return expected_regex(pieces, crlf, codec).fullmatch(actual) is not None
    want = to_bytes(pieces, codec)
    return (want.replace(b"\n", b"\r\n") if crlf else want) == actual


CLEAR = b"\033[H\033[2J"


def run(args):
    emulator, wrapper, crlf, web = [], [], False, False
    while args and args[0].startswith("--"):
        opt = args.pop(0)
        if opt == "--emulator":
            emulator = shlex.split(args.pop(0))
        elif opt == "--wrapper":
            wrapper = shlex.split(args.pop(0))
        elif opt == "--crlf":
            crlf = True
        elif opt == "--web":
            web = True
        else:
            raise SystemExit("unknown option " + opt)
    program, scenario = os.path.abspath(args[0]), args[1]
    headers, sections = parse(scenario)
    name = headers.get("program", menus.program_name(program))
    menu = MENUS[name]
    codec = "utf-8" if web else headers.get("encoding", "gbk")
    args = shlex.split(headers.get("args", ""))
    menu = session_menu(menu, args)
    prompt = session_menu(menus.PROMPTS[name], args)
    parts = {"MENU": menu, "LINES": menu[: -len(prompt)], "PROMPT": prompt}
    stdin, stdout_pieces, stderr_pieces, status = b"", [], None, 0
    checks = []
    with tempfile.TemporaryDirectory() as work:
        for name, body in sections:
            kind, _, arg = name.partition(" ")
            if kind == "stdin":
                stdin = to_bytes(unescape(body, None))
            elif kind == "stdout":
                stdout_pieces = unescape(body, parts)
            elif kind == "stderr":
                stderr_pieces = unescape(body, None)
            elif kind == "exit":
                status = int(arg)
            elif kind == "file":
                with open(os.path.join(work, arg), "wb") as f:
                    f.write(bytes.fromhex(body))
            elif kind == "folder":
                os.mkdir(os.path.join(work, arg))
            elif kind in ("after", "absent"):
                checks.append((kind, arg, body))
            else:
                raise SystemExit("unknown section " + name)
        try:
            proc = menus.run(wrapper + emulator + [program] + args, input=stdin, cwd=work,
                             timeout=600,
                             stderr=None if stderr_pieces is None else subprocess.PIPE)
        except menus.Timeout:
            print("FAIL: the program did not end")
            return 1
        failures = []
        stdout = proc.stdout.replace(CLEAR, b"") if web else proc.stdout
        for name, pieces, actual in (("stdout", stdout_pieces, stdout),
                                     ("stderr", stderr_pieces, proc.stderr)):
            if pieces is None or matches(pieces, actual, crlf, codec):
                continue
            at = first_difference(pieces, actual, crlf, codec)
            failures.append(
                "%s differs after byte %d.\n--- matched:\n%s\n--- then got:\n%s"
                % (name, at, show(actual[max(0, at - 200) : at], codec),
                   show(actual[at : at + 400], codec))
            )
        got_status = proc.returncode & 0xFF if proc.returncode >= 0 else proc.returncode
        if got_status != status & 0xFF:
            failures.append("exit status %d, expected %d" % (proc.returncode, status))
        for kind, name, body in checks:
            path = os.path.join(work, name)
            if kind == "absent":
                if os.path.exists(path):
                    failures.append("%s exists" % name)
                continue
            want = bytes.fromhex(body)
            have = open(path, "rb").read() if os.path.isfile(path) else None
            if have != want:
                failures.append("%s holds %s, expected %s" % (name, have and have.hex(), want.hex()))
    if failures and crlf and (b"\r\n" in stdin or b"\x1a" in stdin):
        failures.append(
            "(the stdin holds CR LF or byte 1A, which Windows text mode reads "
            "as LF and as the end of input)"
        )
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("ok: %s" % os.path.basename(scenario))
    return 1 if failures else 0


def self_test():
    """The driver's own conversions, against bytes known from the GBK table."""
    assert gbk("二叉树") == bytes.fromhex("B6FEB2E6CAF7")
    assert gbk("！") == bytes.fromhex("A3A1") and gbk("：") == bytes.fromhex("A3BA")
    assert to_bytes(unescape("a\\tb\\s\\n\\x1a\\\\\n\\0", None)) == b"a\tb \n\x1a\\\0"
    assert to_bytes(unescape("{REPEAT 3}ab\\n{END}c", None)) == b"ab\nab\nab\nc"
    assert to_bytes(unescape("\\xb6\\xfe", None)) == bytes.fromhex("B6FE")
    assert to_bytes(["二"], "utf-8") == bytes.fromhex("E4BA8C")
    pieces = unescape("{MENU}x{ADDR}\\n", {"MENU": "M"})
    assert expected_regex(pieces, False).fullmatch(b"Mx-140737488355328\n")
    assert not expected_regex(pieces, False).fullmatch(b"Mx12\r\n")
    assert expected_regex(pieces, True).fullmatch(b"Mx12\r\n")
    print("self-test ok")
    return 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(self_test())
    sys.exit(run(sys.argv[1:]))
