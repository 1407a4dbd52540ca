#!/usr/bin/env python3
"""Writes, for every code page with built-in tables, the text of its round-trip characters.

Usage: make_page_texts.py <folder of .ucm files> <output folder> [--bytes]
Writes <CCSID>.utf8 for each page: the characters the page's published mapping converts
both ways (|0), in code-point order, as UTF-8; with --bytes, <CCSID>.bin instead: the same
text in the page's bytes, as the mapping gives them (shift-out 0E before a run of pairs on
the EBCDIC double-byte pages, shift-in 0F before a single byte after one and at the end).
Left out are the characters that do not read back as themselves: U+0085 where the page
writes it as 15 (EBCDIC's next line, read as a line feed), and the single-byte characters
of the ASCII-based double-byte pages, which are read two bytes per character.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "tools"))
import generate_codepage_tables as tables  # noqa: E402


def round_trips(folder, ccsid):
    """The page's round-trip characters in code-point order, with their bytes."""
    pairs = sorted((cp, data) for cp, data, kind in tables.mappings(folder, ccsid) if kind == 0 and cp <= 0xFFFF)
    ascii_double = ccsid in tables.DBCS and ccsid not in tables.DBCS_EBCDIC
    return [(cp, data) for cp, data in pairs
            if not (cp == 0x85 and data == b"\x15") and not (ascii_double and len(data) == 1)]


def page_bytes(ccsid, characters):
    out, shifted = bytearray(), False
    for _, data in characters:
        if ccsid in tables.DBCS_EBCDIC and (len(data) == 2) != shifted:
            shifted = not shifted
            out.append(0x0E if shifted else 0x0F)
        out += data
    if shifted:
        out.append(0x0F)
    return bytes(out)


def main():
    folder, out = sys.argv[1:3]
    as_bytes = "--bytes" in sys.argv[3:]
    os.makedirs(out, exist_ok=True)
    for ccsid in tables.SBCS + tables.DBCS:
        characters = round_trips(folder, ccsid)
        if as_bytes:
            text, name = page_bytes(ccsid, characters), f"{ccsid}.bin"
        else:
            text, name = "".join(chr(cp) for cp, _ in characters).encode("utf-8"), f"{ccsid}.utf8"
        with open(os.path.join(out, name), "wb") as target:
            target.write(text)


if __name__ == "__main__":
    main()
