#!/usr/bin/env python3
"""Every program the scripts in tools/ call comes from a package that
tools/install-deps.sh installs, or from one that every Debian system has
(Essential, or priority required). Run with the source tree as the argument."""
import os
import re
import shlex
import shutil
import subprocess
import sys

root = sys.argv[1] if len(sys.argv) > 1 else "."
tools = os.path.join(root, "tools")
scripts = sorted(os.path.join(tools, name) for name in os.listdir(tools) if name.endswith(".sh"))
scripts.append(os.path.join(root, ".ci", "run"))

BUILTINS = {"echo", "printf", "cd", "set", "exit", "return", "local", "export", "unset",
            "source", ".", "trap", "shift", "read", "[", "[[", "test", "true", "false",
            "eval", "declare", "wait", "break", "continue", ":", "command"}
KEYWORDS = {"if", "then", "else", "elif", "fi", "while", "until", "do", "done", "!",
            "{", "}", "(", ")", "time", "esac"}
# Words after which the next word is the program that runs.
PREFIXES = {"exec", "sudo", "xargs"}


def package_table():
    """package -> programs, from the table of install-deps.sh."""
    text = open(os.path.join(tools, "install-deps.sh")).read()
    block = re.search(r"^table=\((.*?)^\)", text, re.S | re.M).group(1)
    table = {}
    for entry in re.findall(r'"([^"]*)"', block):
        package, _, programs = entry.partition(":")
        table[package] = programs.split()
    return table


def normalised(script):
    """The script as bash prints a function of it: one command a line, comments gone,
    continued lines joined."""
    body = open(script).read()
    result = subprocess.run(["bash", "-c", "__script() {\n" + body + "\n}\ndeclare -f __script"],
                            capture_output=True, text=True, check=True)
    return result.stdout.splitlines()[2:-1]


def segments(line):
    """The simple commands of a line: split at ; && || | and at every command
    substitution; inside double quotes only substitutions start a command."""
    parts, current, quoted, i = [], "", False, 0
    while i < len(line):
        two = line[i:i + 2]
        if line[i] == '"':
            quoted = not quoted
        if line.startswith("$((", i):  # arithmetic, no command
            current += "$(("
            i += 3
            continue
        if two == "$(" or line[i] == "`" or not quoted and (two in ("&&", "||") or line[i] in ";|"):
            parts.append(current)
            current = ""
            i += 2 if two in ("$(", "&&", "||") else 1
            continue
        current += line[i]
        i += 1
    return parts + [current]


def commands(script, functions):
    """The programs a script calls: the first word of every simple command."""
    found = set()
    for line in normalised(script):
        if re.match(r"\s*(function\s+\S+\s*\(\)|for\s|case\s|[^\s()]+\)$|;;$)", line):
            continue  # a function, loop or case head, or a case pattern or its end
        for segment in segments(line):
            words = [word.strip("'\"()") for word in segment.split()]
            words = [word for word in words if word]
            if words and re.match(r"^[A-Za-z_][A-Za-z0-9_]*\+?=\(", segment.strip()):
                continue  # an array
            while words and (re.match(r"^[A-Za-z_][A-Za-z0-9_]*\+?=", words[0]) or words[0] in KEYWORDS):
                words.pop(0)
            index = 0
            while index < len(words) and (words[index] in PREFIXES or words[index] == "run"):
                index += 1
                while index < len(words) and words[index].startswith("-"):
                    index += 1
            if index >= len(words):
                continue
            word = words[index]
            if word in BUILTINS or word in functions or word.startswith(("$", "build/", "tools/")):
                continue
            found.add(word)
    return found


def dpkg_package(path):
    candidates = [path, os.path.realpath(path)]
    for candidate in list(candidates):
        for a, b in (("/usr/bin/", "/bin/"), ("/bin/", "/usr/bin/"), ("/usr/sbin/", "/sbin/")):
            if candidate.startswith(a):
                candidates.append(b + candidate[len(a):])
    for candidate in candidates:
        result = subprocess.run(["dpkg", "-S", candidate], capture_output=True, text=True)
        if result.returncode == 0:
            return result.stdout.split(":")[0].split(",")[0].strip()
    return None


def always_present(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${Essential} ${Priority}", package],
                            capture_output=True, text=True)
    return result.stdout.split()[:1] == ["yes"] or "required" in result.stdout.split()


table = package_table()
provided = {program: package for package, programs in table.items() for program in programs}
functions = set()
for script in scripts:
    functions |= {match.group(1) for line in normalised(script)
                  for match in [re.match(r"\s*function\s+(\S+)\s*\(\)", line)] if match}

faults = []
for program, package in sorted(provided.items()):
    path = program if program.startswith("/") else shutil.which(program)
    owner = dpkg_package(path) if path else None
    if owner is not None and owner != package and not owner.startswith(package.split(":")[0]):
        faults.append(f"install-deps.sh says {program} comes from {package}, dpkg says {owner}")
for script in scripts:
    for program in sorted(commands(script, functions)):
        if program in provided:
            continue
        path = shutil.which(program)
        owner = dpkg_package(path) if path else None
        if owner is None or not always_present(owner):
            where = f"package {owner}" if owner else "no package found"
            faults.append(f"{os.path.relpath(script, root)} calls {program} ({where}), "
                          f"which is not in the table of tools/install-deps.sh")
for fault in faults:
    print(fault)
print(f"{len(scripts)} scripts checked, {len(faults)} faults")
sys.exit(1 if faults else 0)
