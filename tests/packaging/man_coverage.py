#!/usr/bin/env python3
"""Checks the man pages against the programs' own --help.

  man_coverage.py --rovantctl EXE --rovantctl-page PAGE --sim EXE --sim-page PAGE

rovantctl(1): every command 'rovantctl --help' lists has its entry in COMMANDS and an example in
EXAMPLES; every option of every command's --help is described in COMMANDS; the program's own
options are in OPTIONS; every printer form of --printer is in PRINTERS; every exit status of the
help's footer is in EXIT STATUS. rovant-printer-sim(1): every option of its --help is in OPTIONS,
every exit status in EXIT STATUS, and it has EXAMPLES; its --version succeeds. Pages are rendered
with groff -Tascii.
Exit status 0 when all holds, 1 otherwise.
"""
import argparse
import itertools
import re
import subprocess
import sys

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def run_help(*argv):
    result = subprocess.run(list(argv) + ["--help"], capture_output=True, text=True)
    if result.returncode != 0:
        fail(f"{' '.join(argv)} --help exited with {result.returncode}")
    return result.stdout


def help_block(text, title):
    """The lines of a CLI11 help section ("Options:", "Subcommands:") up to the next blank line."""
    lines = text.splitlines()
    start = lines.index(title) + 1 if title in lines else len(lines)
    return list(itertools.takewhile(str.strip, lines[start:]))


def help_options(text):
    """Every option name ("-o", "--output", ...) of a CLI11 help text."""
    names = []
    for line in help_block(text, "Options:"):
        m = re.match(r"^  (-\S+)", line)
        if m:
            names += [n for n in m.group(1).split(",") if n.startswith("-")]
    return names


def help_subcommands(text):
    return [m.group(1) for line in help_block(text, "Subcommands:")
            if (m := re.match(r"^  (\S+)(\s{2,}|$)", line))]


def exit_statuses(text):
    m = re.search(r"Exit status:(.*?)\.(\s*\n\S|\s*$)", text, re.S)
    return re.findall(r"\b(\d+) [a-z]", m.group(1)) if m else []


def render(page):
    result = subprocess.run(["groff", "-man", "-Tascii", "-P-cbou", page],
                            capture_output=True, text=True)
    if result.returncode != 0:
        fail(f"groff cannot render {page}: {result.stderr}")
    sections, name = {}, None
    for line in result.stdout.splitlines():
        if re.match(r"^[A-Z][A-Z ]*$", line):
            name = line.strip()
            sections[name] = []
        elif name:
            sections[name].append(line)
    return {k: "\n".join(v) for k, v in sections.items()}


def has_word(text, word):
    return re.search(r"(?<![\w-])" + re.escape(word) + r"(?![\w-])", text) is not None


def section(sections, page, name):
    if name not in sections:
        fail(f"{page}: no section {name}")
    return sections.get(name, "")


def check_program(exe, page, program, more_sections=()):
    """The options of the program's --help in OPTIONS, its exit statuses in EXIT STATUS, and
    EXAMPLES; gives its help and the page's sections by name."""
    top = run_help(exe)
    sections = render(page)
    text = {name: section(sections, page, name)
            for name in ("OPTIONS", "EXIT STATUS", "EXAMPLES") + more_sections}
    options = help_options(top)
    if not options:
        fail(f"{program} --help lists no options")
    for opt in options:
        if not has_word(text["OPTIONS"], opt):
            fail(f"{program}.1: option {opt} of {program} is not in OPTIONS")
    statuses = exit_statuses(top)
    if not statuses:
        fail(f"{program} --help names no exit status")
    for status in statuses:
        if not re.search(r"^ {7}" + status + r"\b", text["EXIT STATUS"], re.M):
            fail(f"{program}.1: exit status {status} is not in EXIT STATUS")
    print(f"{program}.1: checked {len(options)} options, exit statuses {', '.join(statuses)}")
    return top, text


def check_rovantctl(exe, page):
    top, text = check_program(exe, page, "rovantctl", ("COMMANDS", "PRINTERS"))
    subcommands = help_subcommands(top)
    if not subcommands:
        fail("rovantctl --help lists no commands")
    forms = set()
    for sub in subcommands:
        if not re.search(r"^ {7}" + re.escape(sub) + r"( |$)", text["COMMANDS"], re.M):
            fail(f"rovantctl.1: command '{sub}' has no entry in COMMANDS")
        if not re.search(r"rovantctl " + re.escape(sub) + r"( |$)", text["EXAMPLES"], re.M):
            fail(f"rovantctl.1: command '{sub}' has no example in EXAMPLES")
        sub_help = run_help(exe, sub)
        for opt in set(help_options(sub_help)) - {"-h", "--help"}:
            if not has_word(text["COMMANDS"], opt):
                fail(f"rovantctl.1: option {opt} of '{sub}' is not in COMMANDS")
        forms.update(re.findall(r"\b(sim:HX3\d0|tcp://|usb:|parallel:|spooler:|lan:)", sub_help))
    if not forms:
        fail("no printer forms found in the commands' --help")
    for form in sorted(forms - {f for f in forms if f in text["PRINTERS"]}):
        fail(f"rovantctl.1: printer form {form} is not in PRINTERS")
    print(f"rovantctl.1: checked commands {', '.join(subcommands)}, forms {', '.join(sorted(forms))}")


def check_sim(exe, page):
    check_program(exe, page, "rovant-printer-sim")
    version = subprocess.run([exe, "--version"], capture_output=True, text=True)
    if version.returncode != 0 or not version.stdout.startswith("rovant-printer-sim "):
        fail(f"rovant-printer-sim --version: exit {version.returncode}, output {version.stdout!r}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rovantctl", required=True)
    parser.add_argument("--rovantctl-page", required=True)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--sim-page", required=True)
    args = parser.parse_args()
    check_rovantctl(args.rovantctl, args.rovantctl_page)
    check_sim(args.sim, args.sim_page)
    print(f"{len(failures)} check(s) failed" if failures else "the man pages cover the programs' --help")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
