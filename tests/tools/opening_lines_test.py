#!/usr/bin/env python3
"""Every C++ source, header and hand-written table opens with a comment line saying
what it holds. Run with the source tree as the argument; names each file that does not."""
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else "."
FOLDERS = ["errors", "memory", "messages", "consoleui", "trace", "filesystem", "inifile",
           "codepage", "process", "util", "platform", "include", "apps", "tests", "bench",
           "fuzz", "examples"]
# A comment of at least two words: "// What this file holds.", "/// ...", "/** ...".
OPENING = re.compile(r"^(//+|/\*+)\s*\S+\s+\S+")

missing = []
count = 0
for folder in FOLDERS:
    for directory, subdirectories, files in os.walk(os.path.join(root, folder)):
        subdirectories[:] = [name for name in subdirectories if name != "corpus"]
        for name in sorted(files):
            if not name.endswith((".cpp", ".h", ".inc")):
                continue
            path = os.path.join(directory, name)
            count += 1
            with open(path, encoding="utf-8", errors="replace") as source:
                first = source.readline()
            if not OPENING.match(first):
                missing.append(os.path.relpath(path, root))
for path in missing:
    print(f"{path}: the first line is not a comment saying what the file holds")
print(f"{count} files checked, {len(missing)} without an opening line")
sys.exit(1 if missing else 0)
