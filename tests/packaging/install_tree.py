#!/usr/bin/env python3
"""cmake --install of a Linux build into a temporary prefix, and its man pages against the
programs' own --help.

  install_tree.py BUILD_DIR WORKDIR

Exactly the two programs and their pages are installed; groff renders the pages without a warning
and man -l without an error. rovantctl(1): every command of 'rovantctl --help' has its entry in
COMMANDS and an example in EXAMPLES, every option of every command's --help is in COMMANDS, every
printer form of --printer in PRINTERS. Both pages: every option of the program's --help is in
OPTIONS, every exit status of its footer in EXIT STATUS, and there are EXAMPLES. The simulator's
--version names it.
"""
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from checks import check, finish  # noqa: E402

PROGRAMS = ["rovant-printer-sim", "rovantctl"]
INSTALLED = sorted([f"bin/{p}" for p in PROGRAMS] + [f"share/man/man1/{p}.1" for p in PROGRAMS])
ENV = dict(os.environ, MANWIDTH="80", MAN_KEEP_FORMATTING="0", LC_ALL="C.UTF-8")


def run(*argv):
    return subprocess.run(argv, capture_output=True, text=True, env=ENV)


def run_help(*argv):
    result = run(*argv, "--help")
    check(result.returncode == 0, f"{' '.join(argv)} --help exited with {result.returncode}")
    return result.stdout


def help_block(text, title):
    """The lines of a CLI11 help section ("Options:", "Subcommands:") up to the next blank line."""
    found = re.search(rf"^{title}\n((?:.*\S.*\n?)*)", text, re.M)
    return found.group(1).splitlines() if found else []


def help_options(text):
    """Every option name ("-o", "--output", ...) of a CLI11 help text."""
    return [n for line in help_block(text, "Options:") if (m := re.match(r"^  (-\S+)", line))
            for n in m.group(1).split(",") if n.startswith("-")]


def sections(page):
    """The page rendered with groff -Tascii: {section title: its text}."""
    result = run("groff", "-man", "-Tascii", "-P-cbou", page)
    check(result.returncode == 0, f"groff cannot render {page}: {result.stderr}")
    parts = re.split(r"^([A-Z][A-Z ]*)\n", result.stdout, flags=re.M)
    return {title.strip(): text for title, text in zip(parts[1::2], parts[2::2])}


def has_word(text, word):
    return re.search(r"(?<![\w-])" + re.escape(word) + r"(?![\w-])", text) is not None


def check_page(exe, page, program):
    top = run_help(exe)
    text = sections(page)
    for name in ("OPTIONS", "EXIT STATUS", "EXAMPLES"):
        check(name in text, f"{program}.1: no section {name}")
    options = help_options(top)
    check(options, f"{program} --help lists no options")
    for opt in options:
        check(has_word(text.get("OPTIONS", ""), opt), f"{program}.1: option {opt} not in OPTIONS")
    m = re.search(r"Exit status:(.*?)\.(\s*\n\S|\s*$)", top, re.S)
    statuses = re.findall(r"\b(\d+) [a-z]", m.group(1)) if m else []
    check(statuses, f"{program} --help names no exit status")
    for status in statuses:
        check(re.search(r"^ {7}" + status + r"\b", text.get("EXIT STATUS", ""), re.M),
              f"{program}.1: exit status {status} is not in EXIT STATUS")
    if program != "rovantctl":
        version = run(exe, "--version")
        check(version.returncode == 0 and version.stdout.startswith(program + " "),
              f"{program} --version: exit {version.returncode}, output {version.stdout!r}")
        return
    commands, forms = text.get("COMMANDS", ""), set()
    subcommands = [m.group(1) for line in help_block(top, "Subcommands:")
                   if (m := re.match(r"^  (\S+)(\s{2,}|$)", line))]
    check(subcommands, "rovantctl --help lists no commands")
    for sub in subcommands:
        check(re.search(r"^ {7}" + re.escape(sub) + r"( |$)", commands, re.M),
              f"rovantctl.1: command '{sub}' has no entry in COMMANDS")
        check(re.search(r"rovantctl " + re.escape(sub) + r"( |$)", text.get("EXAMPLES", ""), re.M),
              f"rovantctl.1: command '{sub}' has no example in EXAMPLES")
        sub_help = run_help(exe, sub)
        for opt in set(help_options(sub_help)) - {"-h", "--help"}:
            check(has_word(commands, opt), f"rovantctl.1: option {opt} of '{sub}' not in COMMANDS")
        forms.update(re.findall(r"\b(sim:HX3\d0|tcp://|usb:|parallel:|spooler:|lan:)", sub_help))
    check(forms, "no printer forms found in the commands' --help")
    for form in sorted(forms):
        check(form in text.get("PRINTERS", ""), f"rovantctl.1: printer form {form} not in PRINTERS")


def main(build, work):
    shutil.rmtree(work, ignore_errors=True)
    prefix = os.path.join(work, "prefix")
    if not check(run("cmake", "--install", build, "--prefix", prefix).returncode == 0,
                 "cmake --install failed"):
        finish("")
    installed = sorted(os.path.relpath(os.path.join(root, n), prefix)
                       for root, _, names in os.walk(prefix) for n in names)
    check(installed == INSTALLED, f"installed {installed}, wanted {INSTALLED}")
    for program in PROGRAMS:
        page = os.path.join(prefix, "share/man/man1", program + ".1")
        for device in ("-z", "-Tutf8"):
            warnings = run("groff", "-ww", device, "-man", page).stderr
            check(not warnings, f"groff {device} warns on {program}.1:\n{warnings}")
        if shutil.which("man"):
            man = run("man", "-l", page)
            check(man.returncode == 0 and not man.stderr and program in man.stdout,
                  f"man -l {program}.1: {man.stderr}")
        check_page(os.path.join(prefix, "bin", program), page, program)
    finish("install tree: all checks passed")


if __name__ == "__main__":
    main(*sys.argv[1:])
