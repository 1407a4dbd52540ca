#!/usr/bin/env python3
"""Holds one family's files to the layers: a file may include its own family's headers,
those of the families its family uses (directly or through others), the host interface
platform/platform.h and qel_base.h; nothing else of the library.

Usage: check_layers.py <families.txt> <family> <source-root> <file>...
families.txt (written by cmake/families.cmake) has one line per family: its name, its
target, its public headers, the families it may include and those it declares,
tab-separated."""
import os
import re
import sys

ALWAYS = {"qel_base.h", "platform/platform.h"}


def read_table(path):
    families = {}
    for line in open(path, encoding="utf-8"):
        if line.startswith("#") or not line.strip():
            continue
        name, target, headers, reach, _ = line.rstrip("\n").split("\t")
        families[name] = (target, headers.split(), reach.split())
    return families


def main():
    table, family, root, files = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    families = read_table(table)
    owner = {header: name for name, (_, headers, _) in families.items() for header in headers}
    target, _, reach = families[family]
    faults = []
    for path in files:
        for number, line in enumerate(open(path, encoding="utf-8", errors="replace"), 1):
            match = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
            if not match or match.group(1) in ALWAYS:
                continue
            header = match.group(1)
            used = owner.get(header, header.split("/")[0] if "/" in header else None)
            where = f"{os.path.relpath(path, root)}:{number}"
            if used not in families:
                faults.append(f'{where}: {target} includes "{header}", which is no header of a family')
            elif used not in reach:
                faults.append(f'{where}: {target} includes "{header}" of {families[used][0]}, a family '
                              f"{target} does not use (it may include: {', '.join(reach)}): a higher layer "
                              "or one beside it (docs/ARCHITECTURE.md)")
    for fault in faults:
        print(f"error: {fault}", file=sys.stderr)
    sys.exit(1 if faults else 0)


main()
