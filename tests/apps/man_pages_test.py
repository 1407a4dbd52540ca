#!/usr/bin/env python3
"""Holds the manual pages against the programs and the installation.

  man_pages_test.py program <page> <program> <source>
      The page of one program against what the program says of itself: its name and
      title, the options its usage and help list (both ways, in SYNOPSIS and in the tags
      of OPTIONS), its exit codes, and the trace variables and format variables its help
      names. The exit codes come from the program's source, the one place they are
      decided: its EXIT_* constants are the codes it returns itself; to them come 0 and
      the console frame's codes, which the program is run for here: 201 after -h, 203
      for a switch given without its value.

  man_pages_test.py library <page> <source dir>
      The library's overview against the sources: every header <vrnqel43.h> includes
      (but qel_base.h) among the families, and the environment variables the library
      reads (the key's _TRACE_ variables of the trace environment, and every name the
      sources hand to getenv or an environment variable) in ENVIRONMENT, both ways for
      the trace variables.

  man_pages_test.py installed <cmake> <build dir> <mandir> <page>...
      Installs the components tools and dev into a scratch prefix and renders each
      installed page (<section>/<name>, e.g. man1/qelini.1) with man -l and groff
      without a warning; lexgrog must find each page's NAME.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "ENVIRONMENT",
            "FILES", "EXAMPLES", "SEE ALSO"]
PROGRAMS = ["qeltrace", "qelini", "qelconv"]
# A switch as the programs and the pages write it: a dash that starts a word.
OPTION = re.compile(r"(?<![\w<-])-[A-Za-z?][A-Za-z0-9]*")
# The Debian package each program the test runs comes from (tools/install-deps.sh).
PACKAGES = {"man": "man-db", "lexgrog": "man-db", "groff": "groff-base"}

faults = []


def fault(text):
    faults.append(text)


def plain(line):
    """A line of roff as text: macro names, quotes and font changes gone."""
    if line.startswith(".\\\"") or line.startswith("'\\\""):
        return ""
    if line.startswith("."):
        macro, _, rest = line.partition(" ")
        words = re.findall(r'"[^"]*"|\S+', rest)
        words = [word.strip('"') for word in words]
        # The alternating-font macros join their words without a space.
        line = ("" if macro[1:] in ("BR", "RB", "BI", "IB", "IR", "RI") else " ").join(words)
    line = re.sub(r"\\f(\[[^]]*\]|\(..|.)", "", line)
    return line.replace("\\-", "-").replace("\\&", "").replace("\\e", "\\")


def sections(page):
    """The page's sections in order: [(title, [source lines])]."""
    result = []
    for line in open(page, encoding="ascii").read().splitlines():
        if line.startswith(".SH"):
            result.append((line[3:].strip().strip('"'), []))
        elif result:
            result[-1][1].append(line)
    return result


def tags(lines):
    """The tag lines of the .TP paragraphs, as text."""
    return [plain(lines[i + 1]) for i, line in enumerate(lines[:-1]) if line.strip() == ".TP"]


def options(text):
    return set(OPTION.findall(text))


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def check_program(page, program, source):
    name = os.path.basename(page)
    program_name = os.path.splitext(name)[0]
    found = sections(page)
    titles = [title for title, _ in found]
    if titles != SECTIONS:
        fault(f"{name}: sections {titles}, not {SECTIONS}")
    body = dict(found)

    helped = run([program, "-h"])
    said = helped.stdout + helped.stderr
    if helped.returncode != 201:
        fault(f"{program_name} -h ended with {helped.returncode}, not the frame's 201 after its help")
    usage_at = said.find("Usage:")
    if usage_at < 0:
        fault(f"{program_name} -h shows no usage:\n{said}")
        return
    usage_help = said[usage_at:]
    listed = options(usage_help)

    # The program's name and title ("QELINI - INI file tool") against .TH and NAME.
    # The title goes to the frame's output stream, standard output or error.
    title = re.search(r"^(" + re.escape(program_name.upper()) + r") - (.+)$", said, re.M)
    heading = open(page, encoding="ascii").readline().split()
    if heading[:3] != [".TH", program_name.upper(), "1"]:
        fault(f"{name}: .TH is '{' '.join(heading[:3])}', not '.TH {program_name.upper()} 1'")
    name_line = plain(" ".join(body.get("NAME", [""]))).strip()
    page_name, _, description = name_line.partition(" - ")
    if page_name != program_name:
        fault(f"{name}: NAME names '{page_name}', not the program '{program_name}'")
    if title is None or title.group(1) != program_name.upper():
        fault(f"{program_name} -h shows no title line '{program_name.upper()} - ...'")
    elif not description.lower().startswith(title.group(2).lower()):
        fault(f"{name}: NAME's description '{description}' does not begin with the program's title "
              f"'{title.group(2)}'")

    # The options, both ways.
    for section, text in (("SYNOPSIS", "\n".join(plain(line) for line in body.get("SYNOPSIS", []))),
                          ("OPTIONS", "\n".join(tags(body.get("OPTIONS", []))))):
        documented = options(text)
        for option in sorted(listed - documented):
            fault(f"{name}: {section} lacks the option {option}, which '{program_name} -h' lists")
        for option in sorted(documented - listed):
            fault(f"{name}: {section} has the option {option}, which '{program_name} -h' does not list")

    # The exit codes: the source's own, 0, and the frame's as the program gives them.
    code = open(source, encoding="utf-8").read()
    expected = {0} | {int(value) for value in re.findall(r"\bEXIT_[A-Z_]+\s*=\s*(\d+)", code)}
    if helped.returncode == 201:
        expected.add(201)
    valued = re.search(r"(?<![\w<-])(-[A-Za-z]\w*) <[^>]+>", usage_help)
    if valued:
        missing_value = run([program, valued.group(1)])
        if missing_value.returncode == 203:
            expected.add(203)
        else:
            fault(f"{program_name} {valued.group(1)} (without its value) ended with "
                  f"{missing_value.returncode}, not the frame's 203")
    paged = set()
    for tag in tags(body.get("EXIT STATUS", [])):
        if tag.strip().isdigit():
            paged.add(int(tag))
        else:
            fault(f"{name}: EXIT STATUS has the tag '{tag}', not a number")
    for number in sorted(expected - paged):
        fault(f"{name}: EXIT STATUS lacks {number}, which {program_name} returns ({os.path.basename(source)})")
    for number in sorted(paged - expected):
        fault(f"{name}: EXIT STATUS has {number}, which {program_name} does not return "
              f"({os.path.basename(source)})")

    # What the help names for the environment and the format must be in the page too.
    environment = "\n".join(plain(line) for line in body.get("ENVIRONMENT", []))
    for variable in sorted(set(re.findall(r"<key>(_TRACE_[A-Z]+)", usage_help))):
        if variable not in environment:
            fault(f"{name}: ENVIRONMENT lacks KEY{variable}, which '{program_name} -h' names")
    whole = "\n".join(plain(line) for _, lines in found for line in lines)
    for variable in sorted(set(re.findall(r"^\s*(%[A-Za-z])\s", usage_help, re.M))):
        if variable not in whole:
            fault(f"{name}: the format variable {variable}, which '{program_name} -h' names, is not described")

    see_also = plain(" ".join(body.get("SEE ALSO", [])))
    for other in [p + "(1)" for p in PROGRAMS if p != program_name] + ["vrnqel43(7)"]:
        if other.replace("(", " (") not in see_also and other not in see_also:
            fault(f"{name}: SEE ALSO lacks {other}")


def check_library(page, source):
    name = os.path.basename(page)
    body = dict(sections(page))
    text = {title: "\n".join(plain(line) for line in lines) for title, lines in body.items()}
    umbrella = open(os.path.join(source, "include", "vrnqel43.h"), encoding="utf-8").read()
    headers = set(re.findall(r'#include "(qel_\w+\.h)"', umbrella)) - {"qel_base.h"}
    if not headers:
        fault("include/vrnqel43.h includes no family headers")
    for header in sorted(headers):
        if header not in text.get("DESCRIPTION", ""):
            fault(f"{name}: DESCRIPTION lacks the family header {header}")

    reads, trace = set(), set()
    for folder, _, files in os.walk(source):
        relative = os.path.relpath(folder, source).split(os.sep)[0]
        if relative in ("tests", "apps", "examples", "bench", "fuzz", "build", ".git"):
            continue
        for file in files:
            if file.endswith((".cpp", ".h")):
                code = open(os.path.join(folder, file), encoding="utf-8").read()
                reads |= set(re.findall(r'(?:getenv|setNewName)\("([A-Z][A-Z0-9_]*)"\)', code))
                trace |= set(re.findall(r'"(_TRACE_[A-Z]+)"', code))
    environment = text.get("ENVIRONMENT", "")
    if not trace:
        fault("the sources read no _TRACE_ variables: the scan is broken")
    for variable in sorted(reads):
        if not re.search(r"(?<![\w])" + variable + r"(?![\w])", environment):
            fault(f"{name}: ENVIRONMENT lacks {variable}, which the library reads")
    for variable in sorted(trace):
        if "KEY" + variable not in environment:
            fault(f"{name}: ENVIRONMENT lacks KEY{variable}, which the trace environment reads")
    for variable in sorted(set(re.findall(r"KEY(_TRACE_[A-Z]+)", environment)) - trace):
        fault(f"{name}: ENVIRONMENT has KEY{variable}, which the trace environment does not read")


def need(program):
    path = shutil.which(program)
    if path is None:
        fault(f"{program} is missing: install the Debian package {PACKAGES[program]} "
              f"(tools/install-deps.sh installs it)")
    return path


def check_installed(cmake, build, mandir, pages):
    tools = {program: need(program) for program in ("man", "groff", "lexgrog")}
    if faults:
        return
    with tempfile.TemporaryDirectory(prefix="qel-man-") as prefix:
        for component in ("tools", "dev"):
            installed = run([cmake, "--install", build, "--prefix", prefix, "--component", component])
            if installed.returncode != 0:
                fault(f"cmake --install --component {component} failed:\n{installed.stdout}{installed.stderr}")
                return
        environment = dict(os.environ, MANWIDTH="80", MANPAGER="cat", PAGER="cat", LC_ALL="C.UTF-8")
        for page in pages:
            path = os.path.join(prefix, mandir, page)
            if not os.path.isfile(path):
                fault(f"{page} is not installed into {os.path.join(mandir, os.path.dirname(page))}")
                continue
            name = os.path.splitext(os.path.basename(page))[0]
            shown = run([tools["man"], "--warnings", "-l", path], env=environment)
            if shown.returncode != 0 or shown.stderr or "NAME" not in shown.stdout:
                fault(f"{page}: man -l ended with {shown.returncode}: {shown.stderr.strip()}")
            typeset = run([tools["groff"], "-man", "-ww", "-z", path], env=environment)
            if typeset.returncode != 0 or typeset.stderr:
                fault(f"{page}: groff -man -ww warns:\n{typeset.stderr.strip()}")
            names = run([tools["lexgrog"], path], env=environment)
            if names.returncode != 0 or f'"{name} - ' not in names.stdout:
                fault(f"{page}: lexgrog finds no NAME line for {name}: {names.stdout.strip()}")


def main(argv):
    if len(argv) == 5 and argv[1] == "program":
        check_program(*argv[2:])
        what = f"{os.path.basename(argv[2])} against {os.path.basename(argv[3])}"
    elif len(argv) == 4 and argv[1] == "library":
        check_library(argv[2], argv[3])
        what = f"{os.path.basename(argv[2])} against the sources"
    elif len(argv) >= 6 and argv[1] == "installed":
        check_installed(argv[2], argv[3], argv[4], argv[5:])
        what = f"{len(argv) - 5} installed pages"
    else:
        print(__doc__)
        return 2
    for text in faults:
        print(text)
    print(f"{what}: {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
