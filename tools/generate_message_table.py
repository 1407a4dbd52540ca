#!/usr/bin/env python3
"""Turns a message file (messages/builtin_messages.txt) into the entries of a C++
string table, one string literal per message number in order, and into a header of
named constants for the messages the code prints by number.

Usage: generate_message_table.py <messages.txt> <output.inc> <names.h>
The file gives each line as the number, a tab and the text; lines of one message
repeat its number and are joined with newlines. A message's first line may name it:
the number, a colon and a C++ name (`17:kUsage`). Every number from 0 up must be
present, and entry 0 must be the signature line naming the entry count.
"""
import re
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
    """The messages by number, and the names by number."""
    messages, names = {}, {}
    with open(path, encoding="ascii") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            key, tab, text = line.partition("\t")
            match = re.fullmatch(r"(\d+)(?::(k[A-Za-z0-9]+))?", key)
            if not tab or not match:
                sys.exit(f"{path}:{number}: expected '<number>[:<name>]<tab><text>'")
            value, name = int(match.group(1)), match.group(2)
            if name is not None:
                if value in messages or name in names.values():
                    sys.exit(f"{path}:{number}: a name belongs on a message's first line, once")
                names[value] = name
            messages.setdefault(value, []).append(text)
    return {n: "\n".join(lines) for n, lines in messages.items()}, names


def write_names(path, source, names):
    with open(path, "w", encoding="ascii") as out:
        out.write(f"// Generated from {source}: the numbers of the built-in messages the code prints.\n"
                  "#ifndef VRNQEL43_MESSAGES_BUILTIN_MESSAGE_IDS_H\n#define VRNQEL43_MESSAGES_BUILTIN_MESSAGE_IDS_H\n\n"
                  "namespace qel {\nnamespace msg {\n\nenum : unsigned long {\n")
        for value, name in sorted(names.items()):
            out.write(f"  {name} = {value},\n")
        out.write("};\n\n}  // namespace msg\n}  // namespace qel\n\n#endif\n")


def main():
    source, target, names_header = sys.argv[1:4]
    messages, names = read(source)
    count = len(messages)
    if sorted(messages) != list(range(count)):
        sys.exit(f"{source}: message numbers are not 0 to {count - 1} without gaps")
    if messages[0] != f"[QEL_MSGTAB_SIGNATURE] {count}":
        sys.exit(f"{source}: entry 0 must be '[QEL_MSGTAB_SIGNATURE] {count}'")
    with open(target, "w", encoding="ascii") as out:
        out.write(f"// Generated from {source.split('/')[-1]}: {count} entries.\n")
        for n in range(count):
            out.write(f"/* {n} */ {literal(messages[n])},\n")
    write_names(names_header, source.split("/")[-1], names)


if __name__ == "__main__":
    main()
