#!/usr/bin/env python3
"""Plants each fault of faults.py in a scratch copy of the repository (default build/mutations,
whose builds are kept between runs), builds, runs the tests that must catch it, and reports caught
or missed (README, "Keeping the tests honest"). Options: --only ID..., --list, --check (only that
each fault still applies). Exit status: 0 when every fault run was caught."""
import argparse
import pathlib
import shutil
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from faults import FAULTS  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parents[2]


def run(cmd, cwd, log):
    """The exit status of cmd, its output in log; 124 (GNU timeout) when it takes over an hour."""
    with open(log, "w") as out:
        return subprocess.run(["timeout", "3600", *cmd], cwd=cwd, stdout=out,
                              stderr=subprocess.STDOUT).returncode


def output(*cmd):
    return subprocess.run(cmd, capture_output=True, text=True).stdout


def applies(fault, root):
    path = root / fault.file
    return path.is_file() and path.read_text().count(fault.old) == 1


def sync(scratch):
    """Copies the files whose bytes differ: the rest keep their times, so builds stay fast."""
    for name in filter(None, output("git", "-C", ROOT, "ls-files", "-co", "--exclude-standard",
                                    "-z").split("\0")):
        source, target = ROOT / name, scratch / name
        if source.is_file() and not (target.is_file() and
                                     target.read_bytes() == source.read_bytes()):
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(source, target)  # bytes and mode, a new time


def prepare(preset, scratch, logs):
    build = scratch / "build" / preset
    if not (build / "CMakeCache.txt").exists() and \
            run(["cmake", "--preset", preset], scratch, logs / f"configure-{preset}.log") != 0:
        return False
    return run(["cmake", "--build", build], scratch, logs / f"build-{preset}.log") == 0


def plant(fault, scratch, logs):
    """(outcome, by): builds the test programs the fault names (everything when it names a script,
    a scenario or the build itself), runs each (a label, else a test name) until one fails."""
    if not applies(fault, scratch):
        return "stale", "the text to change is not in the file once"
    path, build = scratch / fault.file, scratch / "build" / fault.preset
    names = fault.tests.split("|")
    original = path.read_text()
    path.write_text(original.replace(fault.old, fault.new))
    try:
        targets = {line.split(":")[0] for line in output("ninja", "-C", build, "-t", "targets",
                                                         "all").splitlines()}
        chosen = [] if "build" in names or not targets.issuperset(names) else names
        chosen = [arg for name in chosen for arg in ("--target", name)]
        if run(["cmake", "--build", build, *chosen], scratch, logs / f"{fault.id}.build.log") != 0:
            return ("caught", "build") if "build" in names else \
                ("no build", "the fault does not compile: see the log")
        tests = [name for name in names if name != "build"]
        for number, name in enumerate(tests):
            found = [option for option in ("-L", "-R") if "Total Tests: 0" not in
                     output("ctest", "--test-dir", build, "-N", option, f"^{name}$")]
            if not found:
                return "no tests", f"ctest finds no test named {fault.tests}"
            if run(["ctest", "--test-dir", build, found[0], f"^{name}$", "--timeout", "900",
                    "--output-on-failure"], scratch, logs / f"{fault.id}.test{number}.log") != 0:
                return "caught", name
        return "missed", "the tests pass" if tests else "it builds"
    finally:
        path.write_text(original)


def main():
    parser = argparse.ArgumentParser(description="planted-fault check")
    parser.add_argument("--only", nargs="+", metavar="ID")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--scratch", type=pathlib.Path, default=ROOT / "build" / "mutations")
    args = parser.parse_args()
    faults = [f for f in FAULTS if not args.only or f.id in args.only]
    if args.only and len(faults) != len(set(args.only)):
        print("unknown fault: " + " ".join(sorted(set(args.only) - {f.id for f in faults})))
        return 2
    if args.list:
        for f in faults:
            print(f"{f.id:36} {f.layer:15} {f.preset:8} {f.file}  ->  {f.tests}")
        return 0
    if args.check:
        stale = [f.id for f in faults if not applies(f, ROOT)]
        print(f"{len(faults) - len(stale)} of {len(faults)} faults apply" +
              ("; stale: " + " ".join(stale) if stale else ""))
        return 1 if stale else 0

    scratch, logs = args.scratch / "src", args.scratch / "logs"
    logs.mkdir(parents=True, exist_ok=True)
    sync(scratch)
    presets = sorted({f.preset for f in faults})
    for preset in presets:
        print(f"preparing {preset} (build before planting)...", flush=True)
        if not prepare(preset, scratch, logs):
            print(f"{preset}: the unchanged tree does not build: {logs}")
            return 2
    caught = 0
    for fault in faults:
        start = time.monotonic()
        outcome, by = plant(fault, scratch, logs)
        caught += outcome == "caught"
        print(f"{outcome:8} {fault.layer:15} {fault.id:36} {by}  "
              f"({time.monotonic() - start:.0f} s)", flush=True)
    for preset in presets:
        prepare(preset, scratch, logs)  # leave the scratch builds matching the sources
    print(f"{caught} of {len(faults)} faults caught; logs in {logs}")
    return 0 if caught == len(faults) else 1


if __name__ == "__main__":
    sys.exit(main())
