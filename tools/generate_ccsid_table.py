#!/usr/bin/env python3
"""Turns the CCSID registry (codepage/ccsid_registry.txt) into the rows of a C++ table.

Usage: generate_ccsid_table.py <ccsid_registry.txt> <output.inc>
Each line gives number, name and flags separated by tabs; lines starting with # are
comments. The numbers must ascend, starting with the unknown row 0.
"""
import sys


def main():
    source, target = sys.argv[1:3]
    rows = []
    with open(source, encoding="ascii") as registry:
        for number, line in enumerate(registry, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 3 or not fields[0].isdigit() or not fields[2].isdigit():
                sys.exit(f"{source}:{number}: expected '<number><tab><name><tab><flags>'")
            rows.append((int(fields[0]), fields[1], int(fields[2])))
    numbers = [row[0] for row in rows]
    if numbers[0] != 0 or numbers != sorted(set(numbers)):
        sys.exit(f"{source}: numbers must ascend from 0 without repeats")
    with open(target, "w", encoding="ascii") as out:
        out.write("// Generated from codepage/ccsid_registry.txt by tools/generate_ccsid_table.py.\n")
        for ccsid, name, flags in rows:
            out.write(f'{{{ccsid}u, "{name}", {flags}u}},\n')


if __name__ == "__main__":
    main()
