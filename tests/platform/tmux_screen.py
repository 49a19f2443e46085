"""A program run in a terminal of a given size that a private tmux server
gives it, for the checks that read what a user would see on the screen
(console_check.py's wine-console, screen_check.py).

The window runs the command, then prints "status N" with its exit status
and stays a while, so that the last screen can still be read. tmux's status
bar is off: every row of the window is the program's.
"""
import os
import shlex
import subprocess
import tempfile
import time


class Screen:
    """with Screen(cmd, cols, rows) as s: s.send(keys); s.wait_until(ok, seconds)"""

    def __init__(self, cmd, cols, rows):
        self.folder = tempfile.TemporaryDirectory()
        conf = os.path.join(self.folder.name, "tmux.conf")
        with open(conf, "w") as f:
            f.write("set -g status off\n")
        self.tmux = ["tmux", "-u", "-f", conf, "-L", "adt-screen-%d" % os.getpid()]
        self.env = dict(os.environ, LC_ALL="C.UTF-8")
        shell = shlex.join(cmd) + '; echo "status $?"; sleep 60'
        subprocess.run(self.tmux + ["new-session", "-d", "-x", str(cols), "-y", str(rows), shell],
                       env=self.env, check=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        subprocess.run(self.tmux + ["kill-server"], env=self.env, capture_output=True)
        self.folder.cleanup()

    def send(self, keys):
        """Types keys, tmux key names: "Enter" is the key, anything else is
        typed as the characters it holds."""
        for key in keys:
            literal = [] if key == "Enter" else ["-l"]
            subprocess.run(self.tmux + ["send-keys"] + literal + [key], env=self.env, check=True)

    def capture(self):
        """The text on the screen now, its rows joined by newlines."""
        return subprocess.run(self.tmux + ["capture-pane", "-p"], env=self.env,
                              capture_output=True).stdout.decode(errors="replace")

    def wait_until(self, ok, seconds):
        """Reads the screen until ok(screen) holds or seconds have passed.
        Returns (whether it held, the last screen read)."""
        screen = ""
        deadline = time.monotonic() + seconds
        while not ok(screen):
            if time.monotonic() > deadline:
                return False, screen
            time.sleep(0.2)
            screen = self.capture()
        return True, screen
