#!/usr/bin/env python3
"""Turns the compile database of a MinGW-w64 build into one that clang-tidy reads.

    tools/mingw-compile-db.py <build directory> <output directory>

Every entry's compiler becomes clang for the x86_64-w64-mingw32 target, with the
MinGW g++'s own header directories (libstdc++ and the Windows headers, asked from that
g++) and clang's built-in headers in their place; flags that only GCC knows are
dropped. The result is <output directory>/compile_commands.json.
"""
import json
import os
import re
import subprocess
import sys

GCC_ONLY_FLAGS = ("-fno-keep-inline-dllexport",)


def header_directories(compiler):
    """The directories the MinGW g++ searches for <...>, its own built-ins left out."""
    listing = subprocess.run([compiler, "-E", "-x", "c++", "-", "-v"], input="", capture_output=True,
                             text=True, check=True).stderr
    block = listing.split("#include <...> search starts here:")[1].split("End of search list.")[0]
    return [d for d in block.split() if not re.search(r"/include(-fixed)?$", d) or "mingw32/include" in d]


def main():
    build, output = sys.argv[1], sys.argv[2]
    entries = json.load(open(os.path.join(build, "compile_commands.json")))
    compiler = entries[0]["command"].split()[0]
    resource = subprocess.run(["clang++-14", "-print-resource-dir"], capture_output=True, text=True,
                              check=True).stdout.strip()
    includes = " ".join("-isystem " + d for d in header_directories(compiler) + [resource + "/include"])
    clang = "clang++-14 --target=x86_64-w64-mingw32 -nostdinc -nostdinc++ " + includes
    for entry in entries:
        words = entry["command"].split(" ", 1)
        rest = words[1] if len(words) > 1 else ""
        for flag in GCC_ONLY_FLAGS:
            rest = rest.replace(flag, "")
        entry["command"] = clang + " " + rest
    os.makedirs(output, exist_ok=True)
    with open(os.path.join(output, "compile_commands.json"), "w") as out:
        json.dump(entries, out, indent=1)


if __name__ == "__main__":
    main()
