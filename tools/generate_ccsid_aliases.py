#!/usr/bin/env python3
"""Turns the CCSID aliases (codepage/ccsid_aliases.txt) into the rows of a C++ table.

Usage: generate_ccsid_aliases.py <ccsid_registry.txt> <ccsid_aliases.txt> <output.inc>
Each alias line gives a name and a CCSID separated by a tab; lines starting with # are
comments. The CCSID must be in the registry; a name must not repeat (in any case), be
a registry name, or have the form IBM-nnn, IBMnnn or CPnnn that is read as a number.
"""
import re
import sys

NUMBER_FORM = re.compile(r"(ibm-?|cp)[0-9]+", re.IGNORECASE)


def rows(path, count):
    with open(path, encoding="ascii") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                fields = line.split("\t")
                if len(fields) != count:
                    sys.exit(f"{path}:{number}: expected {count} fields separated by tabs")
                yield number, fields


def main():
    registry_path, aliases_path, target = sys.argv[1:4]
    registry = {int(fields[0]): fields[1] for _, fields in rows(registry_path, 3)}
    registry_names = {name.lower() for name in registry.values()}
    seen = set()
    aliases = []
    for line, (name, ccsid) in rows(aliases_path, 2):
        where = f"{aliases_path}:{line}"
        if not ccsid.isdigit() or int(ccsid) not in registry or int(ccsid) == 0:
            sys.exit(f"{where}: {ccsid} is not a CCSID of the registry")
        if not name or name[0].isdigit() or not all(" " < c < "\x7f" and c != '"' for c in name):
            sys.exit(f"{where}: '{name}' is no name")
        folded = name.lower()
        if folded in seen or folded in registry_names or NUMBER_FORM.fullmatch(name):
            sys.exit(f"{where}: '{name}' repeats a name, a registry name or a number form")
        seen.add(folded)
        aliases.append((name, int(ccsid)))
    with open(target, "w", encoding="ascii") as out:
        out.write("// Generated from codepage/ccsid_aliases.txt by tools/generate_ccsid_aliases.py.\n")
        for name, ccsid in aliases:
            out.write(f'{{"{name}", {ccsid}u}},\n')


if __name__ == "__main__":
    main()
