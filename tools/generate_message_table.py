#!/usr/bin/env python3
"""Turns a message file (messages/builtin_messages.txt) into the entries of a C++
string table: one string literal per message number, in order.

Usage: generate_message_table.py <messages.txt> <output.inc>
The file gives each line as the number, a tab and the text; lines of one message
repeat its number and are joined with newlines. Every number from 0 up must be
present, and entry 0 must be the signature line naming the entry count.
"""
import sys


def literal(text):
    out = []
    for ch in text:
        if ch in '\\"?':  # '?' too, so that no "??" forms a trigraph
            out.append("\\" + ch)
        elif ch == "\n":
            out.append("\\n")
        elif " " <= ch <= "~":
            out.append(ch)
        else:
            out.append("\\%03o" % ord(ch))
    return '"' + "".join(out) + '"'


def read(path):
    messages = {}
    with open(path, encoding="ascii") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            key, tab, text = line.partition("\t")
            if not tab or not key.isdigit():
                sys.exit(f"{path}:{number}: expected '<number><tab><text>'")
            messages.setdefault(int(key), []).append(text)
    return {n: "\n".join(lines) for n, lines in messages.items()}


def main():
    source, target = sys.argv[1:3]
    messages = read(source)
    count = len(messages)
    if sorted(messages) != list(range(count)):
        sys.exit(f"{source}: message numbers are not 0 to {count - 1} without gaps")
    if messages[0] != f"[QEL_MSGTAB_SIGNATURE] {count}":
        sys.exit(f"{source}: entry 0 must be '[QEL_MSGTAB_SIGNATURE] {count}'")
    with open(target, "w", encoding="ascii") as out:
        out.write(f"// Generated from {source.split('/')[-1]}: {count} entries.\n")
        for n in range(count):
            out.write(f"/* {n} */ {literal(messages[n])},\n")


if __name__ == "__main__":
    main()
