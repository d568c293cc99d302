#!/usr/bin/env python3
"""Checks that every #include "..." of the program keeps the layer order.

    scripts/check-layers.py [source directory]

The program's folders form one line: calc <- grid <- archive <- report <- cli
<- resources <- ui <- app. A folder includes its own headers and those of the
folders before it, never one after it. The one exception is app/Globals.h,
the process-wide values, which any folder may read; only start-up, the main
frame's mode choice and Save write them. testsupport/ (the tests' shared
helpers) may include the program; bench/ the program and testsupport/;
tests/ anything. Nothing outside tests/ includes a file in tests/.
Prints every breach and exits 1 when there is one.
"""
import os
import re
import sys

LAYERS = ["calc", "grid", "archive", "report", "cli", "resources", "ui", "app"]
SHARED = "app/Globals.h"
# Who may include what, beyond the layer order.
EXTRA = {
    "testsupport": set(LAYERS),
    "bench": set(LAYERS) | {"testsupport"},
}
GLOBALS = ("g_nProgramMode", "g_strXmlFile", "g_bRemember")
# The writers of the process-wide values: start-up and shut-down, the mode
# choice (and the undo of a mode change, which goes through it), and Save.
WRITERS = {"app/App.cpp", "app/gwxApp.cpp", "app/Globals.cpp", "ui/MainFrame.cpp",
           "ui/PanelResultArchive.cpp"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
WRITE = re.compile(r'\b(%s)\s*=(?!=)' % "|".join(GLOBALS))
SOURCES = (".c", ".cpp", ".h", ".xpm")


def allowed(folder, target):
    """True when a file in folder may include the path target."""
    top = target.split("/")[0]
    if "/" not in target or top == folder:
        return True
    if target == SHARED:
        return True
    if folder == "tests":
        return True
    if top == "tests":
        return False
    if folder in LAYERS and top in LAYERS:
        return LAYERS.index(top) < LAYERS.index(folder)
    return top in EXTRA.get(folder, set())


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    folders = LAYERS + list(EXTRA) + ["tests"]
    breaches = []
    checked = 0
    for folder in folders:
        for dirpath, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if not name.endswith(SOURCES):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for target in INCLUDE.findall(text):
                    checked += 1
                    if not allowed(folder, target):
                        breaches.append('%s includes "%s"' % (rel, target))
                if folder in LAYERS and rel not in WRITERS:
                    for match in WRITE.finditer(text):
                        line = text.count("\n", 0, match.start()) + 1
                        breaches.append("%s:%d writes %s" % (rel, line, match.group(1)))
    for breach in breaches:
        print(breach)
    print("%d includes checked, %d breaches" % (checked, len(breaches)))
    return 1 if breaches or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
