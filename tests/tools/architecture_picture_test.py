#!/usr/bin/env python3
"""docs/architecture.svg shows the families as the build declares them: one box per
family and an arrow for each family it uses, no more and no fewer. Redraw it with
tools/draw-architecture.sh when a family's uses change.

Usage: architecture_picture_test.py <build>/layers/families.txt <architecture.svg>"""
import html
import re
import sys

table, picture = sys.argv[1], sys.argv[2]
declared = set()
families = set()
for line in open(table, encoding="utf-8"):
    if line.startswith("#") or not line.strip():
        continue
    name, _, _, _, uses = line.rstrip("\n").split("\t")
    families.add(name)
    declared |= {(name, use) for use in uses.split()}

svg = open(picture, encoding="utf-8").read()
labels = {node: label for node, label in
          re.findall(r'<g id="[^"]*" class="node">\s*<title>([^<]*)</title>.*?<text[^>]*>([^<]*)</text>', svg, re.S)}
drawn = set()
for title in re.findall(r'<g id="[^"]*" class="edge">\s*<title>([^<]*)</title>', svg):
    tail, head = html.unescape(title).split("->")
    drawn.add((labels[tail], labels[head]))

faults = [f"the picture lacks the box of {name}" for name in sorted(families - set(labels.values()))]
faults += [f"the picture lacks {a} -> {b}" for a, b in sorted(declared - drawn)]
faults += [f"the picture shows {a} -> {b}, which the build does not declare" for a, b in sorted(drawn - declared)]
for fault in faults:
    print(f"{picture}: {fault} (redraw it with tools/draw-architecture.sh)")
print(f"{len(families)} families, {len(declared)} uses: {'as drawn' if not faults else 'the picture is stale'}")
sys.exit(1 if faults else 0)
