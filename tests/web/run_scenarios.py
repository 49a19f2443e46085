#!/usr/bin/env python3
"""Runs every dialogue scenario (tests/dialogue/<program>/*.txt) against the
WebAssembly build under Node, through run_dialogue.py --web: the same
dialogue as the desktop build, its texts as UTF-8.

Usage: run_scenarios.py [SITE]    (SITE: the built site, build/web/site)

Ends with the line 'N passed, N failed, N skipped'; status 1 when any
failed or none ran.
"""
import concurrent.futures
import glob
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests"))
import menus  # noqa: E402
DRIVER = os.path.join(ROOT, "tests", "dialogue", "run_dialogue.py")
NODE = "node --no-experimental-fetch " + os.path.join(HERE, "node_host.js")

# Scenarios that cannot mean in the page what they mean on the desktop,
# each with its reason.
SKIPPED = {}


def run_one(site, scenario):
    program = os.path.basename(os.path.dirname(scenario))
    try:
        proc = menus.run([sys.executable, DRIVER, "--web", "--emulator", NODE,
                          os.path.join(site, program + ".js"), scenario],
                         timeout=900, stderr=subprocess.STDOUT)
    except menus.Timeout as e:
        return 1, "%s\n%s" % (e, e.stdout.decode("utf-8", "replace"))
    return proc.returncode, proc.stdout.decode("utf-8", "replace")


def main(argv):
    site = os.path.abspath(argv[1] if len(argv) > 1 else os.path.join(ROOT, "build", "web", "site"))
    scenarios = sorted(glob.glob(os.path.join(ROOT, "tests", "dialogue", "*", "*.txt")))
    passed = failed = skipped = 0
    todo = []
    for scenario in scenarios:
        name = os.path.relpath(scenario, os.path.join(ROOT, "tests", "dialogue"))
        if name in SKIPPED:
            print("skipped: %s (%s)" % (name, SKIPPED[name]))
            skipped += 1
        else:
            todo.append((name, scenario))
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        results = pool.map(lambda item: (item[0],) + run_one(site, item[1]), todo)
        for name, status, output in results:
            if status == 0:
                passed += 1
                print("ok: %s" % name)
            else:
                failed += 1
                print("FAILED: %s\n%s" % (name, output))
    print("%d passed, %d failed, %d skipped" % (passed, failed, skipped))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
