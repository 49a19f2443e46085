#!/usr/bin/env python3
"""Cuts the web page's own CJK font: the glyphs of every character beyond
ASCII that the given source files hold (the programs' texts and the page's
words), taken from a free font and written as WOFF2 by pyftsubset (Debian's
fonttools, with python3-brotli for WOFF2). ASCII is left out on purpose:
the terminal's Latin letters come from its monospace font, and only what
that font lacks falls through to this one.

Usage: cut-web-font.py FONT OUTPUT.woff2 SOURCE...

Prints the number of characters and the font's size, and fails, naming
them, when the font lacks a CJK character (ttx reads back what the cut
font maps); other characters it lacks, such as the quotation marks “ ”,
are left to the system's fonts, which have them. Stdlib only: it runs under any Python 3 and calls
pyftsubset and ttx as commands.
"""
import os
import re
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


def cjk(c):
    """Whether c is a CJK character or CJK punctuation (full width)."""
    code = ord(c)
    return 0x2E80 <= code <= 0x9FFF or 0xF900 <= code <= 0xFAFF or 0xFE30 <= code <= 0xFE4F \
        or 0xFF00 <= code <= 0xFFEF or 0x20000 <= code <= 0x3FFFD


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
    cmap = subprocess.run([shutil.which("ttx") or "ttx", "-q", "-t", "cmap", "-o", "-", output],
                          stdout=subprocess.PIPE, check=True).stdout.decode("utf-8")
    mapped = {int(code, 16) for code in re.findall(r'<map code="0x([0-9a-fA-F]+)"', cmap)}
    missing = [c for c in chars if ord(c) not in mapped]
    named = lambda cs: " ".join("U+%04X %s" % (ord(c), c) for c in cs)
    if any(cjk(c) for c in missing):
        sys.stderr.write("%s has no glyph for %s\n" % (font, named(c for c in missing if cjk(c))))
        os.unlink(output)
        return 1
    print("%s: %d characters, %d bytes%s" % (output, len(chars) - len(missing), os.path.getsize(output),
                                             "; left to the system's fonts: " + named(missing) if missing else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
