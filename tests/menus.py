"""What the test scripts know of the menu programs, in one place: their
names and prompts, the GBK bytes they print, and running one on a given
standard input with a time limit.

A script in a folder under tests/ imports it with
    sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    import menus
"""
import os
import subprocess

# The prompt under each program's menu, in a Chinese session (the default)
# and in an English one (--lang en).
PROMPTS = {"tree_menu": "\t请选择你的操作[0~20]:", "queue_menu": "    请选择你的操作[0~11]:"}
PROMPTS_EN = {"tree_menu": "\tChoose an operation [0~20]:",
              "queue_menu": "    Choose an operation [0~11]:"}


def program_name(path):
    """tree_menu or queue_menu: the program at path (an .exe or a .js too)."""
    return os.path.splitext(os.path.basename(path))[0]


def gbk(text):
    """The bytes the programs print for text (their output is GBK)."""
    return text.encode("gbk")


def from_gbk(data):
    """The text of GBK bytes; a byte that is no GBK shows as \\xHH."""
    return data.decode("gbk", errors="backslashreplace")


class Timeout(Exception):
    """The program ran past its time limit; stdout and stderr hold what it
    had written (bytes)."""

    def __init__(self, cmd, seconds, stdout, stderr):
        super().__init__("%s did not end within %g s" % (program_name(cmd[-1]), seconds))
        self.stdout = stdout or b""
        self.stderr = stderr or b""


def run(cmd, input=None, timeout=60, env=None, **popen):
    """Runs cmd (a list) on the bytes input (or popen's stdin), in the C
    locale with the variables of env added, stdout and stderr caught unless
    popen says otherwise; returns the CompletedProcess, or raises Timeout
    after timeout seconds."""
    popen.setdefault("stdout", subprocess.PIPE)
    popen.setdefault("stderr", subprocess.PIPE)
    full_env = dict(os.environ, LC_ALL="C")
    full_env.update(env or {})
    try:
        return subprocess.run(cmd, input=input, env=full_env, timeout=timeout, **popen)
    except subprocess.TimeoutExpired as e:
        raise Timeout(cmd, timeout, e.stdout, e.stderr) from None
