#!/usr/bin/env python3
"""Doxygen input filter: shows Doxygen the enumerators that the public headers take
from their row tables (qel_errortables.inc, qel_languages.inc, qel_territories.inc).

A header declares such an enumeration as a row macro followed by the table's include:

    #define QEL_ERROR_CLASS(name, value, message) name = (value),
    #include "qel_errortables.inc"

Doxygen reads included files for their macros only, so the enumeration would look
empty. This filter expands the table's rows of the macro as the compiler would and puts
them, all on one line, in place of the include; the row macro's line becomes empty, as
the macro is no part of the interface. Every other line, and so every line number,
stays as it is. Usage: doxygen-inline-tables.py <header> (the result on standard output).
"""
import os
import re
import sys

DEFINE = re.compile(r'^\s*#\s*define\s+(\w+)\(([^)]*)\)\s*(.*)$')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+\.inc)"\s*$')


def split_arguments(text):
    """The arguments of a row, split at the commas outside string literals."""
    arguments, current, quoted = [], '', False
    for character in text:
        if character == '"':
            quoted = not quoted
        if character == ',' and not quoted:
            arguments.append(current.strip())
            current = ''
        else:
            current += character
    arguments.append(current.strip())
    return arguments


def expand(macro, parameters, body, path):
    """The table's rows of macro, each expanded as the preprocessor expands it."""
    rows = []
    with open(path, encoding='utf-8') as table:
        for line in table:
            line = line.strip()
            if not line.startswith(macro + '('):
                continue
            arguments = split_arguments(line[len(macro) + 1:line.rindex(')')])
            values = dict(zip(parameters, arguments))
            row = re.sub(r'\b\w+\b', lambda word: values.get(word.group(0), word.group(0)), body)
            rows.append(re.sub(r'\s*##\s*', '', row))
    return rows


def main():
    header = sys.argv[1]
    with open(header, encoding='utf-8') as source:
        lines = source.read().split('\n')
    macro = None
    macro_line = 0
    for index, line in enumerate(lines):
        define = DEFINE.match(line)
        include = INCLUDE.match(line)
        if define:
            macro = (define.group(1), [p.strip() for p in define.group(2).split(',')], define.group(3))
            macro_line = index
        elif include and macro is not None:
            table = os.path.join(os.path.dirname(header), include.group(1))
            lines[macro_line] = ''
            lines[index] = ' '.join(expand(*macro, table))
            macro = None
        elif line.strip():
            macro = None
    sys.stdout.write('\n'.join(lines))


if __name__ == '__main__':
    main()
