#!/usr/bin/env python3
"""Compiles every ```cpp block of the given Markdown files against the public headers,
so that no example in the documentation can rot.

  markdown_examples_test.py <compiler> <include-dir> <file.md>...

A block with its own main() is a program of its own. Any other block is a fragment: it
becomes the body of a function that has argc and argv, the helpers below, and what the
HTML comment right before the block declares (`<!-- context: std::size_t size = 0; -->`,
hidden when the Markdown is shown). Compiler messages name the Markdown file and line."""
import os
import re
import subprocess
import sys
import tempfile

PRELUDE = """#include <vrnqel43.h>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>
// What the fragments call for their own purposes.
template <class... T> int report(const T&...) { return 1; }
template <class... T> int refused(const T&...) { return 1; }
template <class... T> void use(const T&...) {}
"""


def blocks(path):
    """(first line number, context, code) of every cpp block."""
    lines = open(path, encoding="utf-8").read().split("\n")
    found, i = [], 0
    while i < len(lines):
        if lines[i].strip() == "```cpp":
            context = ""
            match = re.match(r"\s*<!--\s*context:(.*)-->\s*$", lines[i - 1]) if i else None
            if match:
                context = match.group(1).strip()
            end = i + 1
            while end < len(lines) and lines[end].strip() != "```":
                end += 1
            if end == len(lines):
                sys.exit(f"{path}:{i + 1}: a cpp block without its closing fence")
            found.append((i + 2, context, "\n".join(lines[i + 1:end])))
            i = end
        i += 1
    return found


def sources(paths):
    """One translation unit of all fragments, and one per whole program."""
    fragments, programs = [PRELUDE], []
    for path in paths:
        name = os.path.abspath(path)
        for number, (line, context, code) in enumerate(blocks(path)):
            located = f'#line {line} "{name}"\n{code}\n'
            if re.search(r"\bint\s+main\s*\(", code):
                programs.append(located)
            else:
                fragments.append(f"int example_{len(fragments)}_{number}(int argc, char** argv) {{\n"
                                 f"  {context}\n{located}  return 0;\n}}\n")
    return ["\n".join(fragments)] + programs


def main():
    compiler, include, paths = sys.argv[1], sys.argv[2], sys.argv[3:]
    units = sources(paths)
    failed = False
    with tempfile.TemporaryDirectory() as scratch:
        for index, text in enumerate(units):
            source = os.path.join(scratch, f"example{index}.cpp")
            open(source, "w", encoding="utf-8").write(text)
            result = subprocess.run([compiler, "-std=c++17", "-fsyntax-only", "-I", include, source],
                                    capture_output=True, text=True)
            if result.returncode != 0:
                failed = True
                sys.stderr.write(result.stderr)
    print(f"{sum(len(blocks(p)) for p in paths)} examples in {len(paths)} files: "
          f"{'some do not compile' if failed else 'all compile'}")
    sys.exit(1 if failed else 0)


main()
