#!/usr/bin/env python3
"""Cuts the web page's own CJK font: the glyphs of every character beyond
ASCII that the given source files hold (the programs' texts and the page's
words), taken from a free font and written as WOFF2 by pyftsubset (Debian's
fonttools, with python3-brotli for WOFF2). ASCII is left out on purpose:
the terminal's Latin letters come from its monospace font, and only what
that font lacks falls through to this one.

Usage: cut-web-font.py FONT OUTPUT.woff2 SOURCE...

Prints the number of characters and the font's size. Stdlib only: it runs
under any Python 3 and calls pyftsubset as a command.
"""
import os
import shutil
import subprocess
import sys
import tempfile


def characters(paths):
    """The characters beyond ASCII in the files, sorted, control characters
    and the byte-order mark left out."""
    found = set()
    for path in paths:
        with open(path, encoding="utf-8") as f:
            found.update(c for c in f.read() if ord(c) > 0x7F)
    return sorted(c for c in found if c.isprintable() and c != "\ufeff")


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    font, output, sources = argv[1], argv[2], argv[3:]
    subset = shutil.which("pyftsubset")
    if not subset:
        sys.stderr.write("pyftsubset not found: install the Debian packages fonttools and python3-brotli\n")
        return 1
    chars = characters(sources)
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".txt", delete=False) as f:
        f.write("".join(chars))
        text_file = f.name
    try:
        # No hinting (browsers do without it), no layout features (the
        # characters are set one by one), only the names a licence asks for.
        status = subprocess.call([subset, font, "--text-file=" + text_file, "--flavor=woff2",
                                  "--output-file=" + output, "--no-hinting", "--layout-features=",
                                  "--name-IDs=0,1,2,3,4,5,6,13,14", "--drop-tables+=DSIG"])
    finally:
        os.unlink(text_file)
    if status != 0:
        return status
    print("%s: %d characters, %d bytes" % (output, len(chars), os.path.getsize(output)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
