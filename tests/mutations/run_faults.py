#!/usr/bin/env python3
"""Plants each fault of faults.py in a scratch copy of the repository (default build/mutations,
whose builds are kept between runs), builds, runs the tests that must catch it, and reports caught
or missed (README, "Keeping the tests honest"). Options: --only ID..., --list, --check (only that each fault
still applies). Exit status: 0 when every fault run was caught."""
import argparse
import pathlib
import shutil
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from faults import FAULTS, Fault  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parents[2]


def run(cmd, cwd, log, timeout=3600):
    with open(log, "w") as out:
        try:
            return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            out.write(f"\n{cmd}: no end within {timeout} s\n")
            return 124


def applies(fault: Fault, root: pathlib.Path) -> bool:
    path = root / fault.file
    return path.is_file() and path.read_text().count(fault.old) == 1


def sync(scratch: pathlib.Path) -> None:
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                           check=True, capture_output=True).stdout.decode().split("\0")
    # Only files whose bytes differ are written: the rest keep their times, so builds stay
    # incremental.
    for name in filter(None, files):
        source, target = ROOT / name, scratch / name
        if not source.is_file():
            continue
        data = source.read_bytes()
        if target.is_file() and target.read_bytes() == data:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        shutil.copymode(source, target)


def prepare(preset: str, scratch: pathlib.Path, logs: pathlib.Path) -> bool:
    build = scratch / "build" / preset
    if not (build / "CMakeCache.txt").exists():
        if run(["cmake", "--preset", preset], scratch, logs / f"configure-{preset}.log") != 0:
            return False
    return run(["cmake", "--build", str(build)], scratch, logs / f"build-{preset}.log") == 0


def ctest_selections(fault: Fault, build: pathlib.Path) -> list[list[str]] | None:
    """ctest arguments choosing each test the fault names: a label (a native test executable,
    whose cases are tests of their own) or else a test name. None when one names nothing."""
    selections = []
    for name in (t for t in fault.tests.split("|") if t != "build"):
        for option in ("-L", "-R"):
            listed = subprocess.run(["ctest", "--test-dir", str(build), "-N", option, f"^{name}$"],
                                    capture_output=True, text=True).stdout
            if "Total Tests: 0" not in listed:
                selections.append([option, f"^{name}$"])
                break
        else:
            return None
    return selections


def build_targets(fault: Fault, build: pathlib.Path) -> list[str]:
    """The targets to rebuild: the test executables the fault names, or everything when it names a
    script, a scenario or the build itself."""
    names = fault.tests.split("|")
    listed = subprocess.run(["ninja", "-C", str(build), "-t", "targets", "all"],
                            capture_output=True, text=True).stdout
    targets = {line.split(":")[0] for line in listed.splitlines()}
    if "build" in names or not all(name in targets for name in names):
        return []
    return [arg for name in names for arg in ("--target", name)]


def plant(fault: Fault, scratch: pathlib.Path, logs: pathlib.Path) -> tuple[str, str]:
    path = scratch / fault.file
    if not applies(fault, scratch):
        return "stale", "the text to change is not in the file once"
    original = path.read_text()
    path.write_text(original.replace(fault.old, fault.new))
    try:
        build = scratch / "build" / fault.preset
        built = run(["cmake", "--build", str(build), *build_targets(fault, build)], scratch,
                    logs / f"{fault.id}.build.log")
        if built != 0:
            return ("caught", "build") if "build" in fault.tests.split("|") else \
                ("no build", "the fault does not compile: see the log")
        selections = ctest_selections(fault, build)
        if selections is None:
            return "no tests", f"ctest finds no test named {fault.tests}"
        if not selections:
            return "missed", "it builds"
        for number, selection in enumerate(selections):
            rc = run(["ctest", "--test-dir", str(build), *selection, "--timeout", "900",
                      "--output-on-failure"], scratch, logs / f"{fault.id}.test{number}.log")
            if rc != 0:
                return "caught", selection[1].strip("^$")
        return "missed", "the tests pass"
    finally:
        path.write_text(original)


def main() -> int:
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

    scratch = args.scratch / "src"
    logs = args.scratch / "logs"
    logs.mkdir(parents=True, exist_ok=True)
    sync(scratch)
    for preset in sorted({f.preset for f in faults}):
        print(f"preparing {preset} (build before planting)...", flush=True)
        if not prepare(preset, scratch, logs):
            print(f"{preset}: the unchanged tree does not build: {logs}")
            return 2
    results = []
    for fault in faults:
        start = time.monotonic()
        outcome, by = plant(fault, scratch, logs)
        results.append((fault, outcome, by))
        print(f"{outcome:8} {fault.layer:15} {fault.id:36} {by}  "
              f"({time.monotonic() - start:.0f} s)", flush=True)
    for preset in sorted({f.preset for f in faults}):
        prepare(preset, scratch, logs)  # leave the scratch builds matching the sources
    caught = [outcome for _, outcome, _ in results].count("caught")
    print(f"{caught} of {len(results)} faults caught; logs in {logs}")
    return 0 if caught == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
