#!/usr/bin/env python3
"""Counts the repository's lines by kind and prints the tests' share of the whole.

Groups (non-blank lines of the files git tracks):
  tests          test cases, fakes and fixtures, fuzz targets, the Windows test bed and UI driver,
                 benchmarks, and the CMake files and scripts that run them
  product C++    every other .cpp/.hpp/.h/.c file
  build files    CMake files, presets, scripts, CI
  shipped assets resources, help pages, man pages, packaging, the Ansible collection
The share is tests / (tests + product C++ + build files + shipped assets); the goal is <= 0.33.
Usage: scripts/code_share.py [--max SHARE]   (exit 1 when the share is above SHARE)
"""
import argparse
import pathlib
import subprocess
import sys

TEST_ROOTS = ("tests/", "fuzz/", "testbed/", "bench/")
TEST_FILES = ("cmake/RovantTesting.cmake", "scripts/test.sh")
CODE_SUFFIXES = (".cpp", ".hpp", ".h", ".c")
BUILD_NAMES = ("CMakeLists.txt", "CMakePresets.json")
BUILD_SUFFIXES = (".cmake", ".in", ".sh")
SKIPPED_SUFFIXES = (".md", ".png", ".ico", ".bmp", ".fom", ".bin")


def group(path: str) -> str | None:
    name = pathlib.PurePosixPath(path).name
    if path.endswith(SKIPPED_SUFFIXES) or name.startswith(".") and "/" not in path:
        return None
    if "/seeds/" in path:
        return None
    if path.startswith(TEST_ROOTS) or path in TEST_FILES or "_test." in name:
        return "tests"
    if path.endswith(CODE_SUFFIXES):
        return "product C++"
    if name in BUILD_NAMES or path.endswith(BUILD_SUFFIXES) or path.startswith((".ci/", "scripts/")):
        return "build files"
    return "shipped assets"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--max", type=float, help="fail when the share is above this")
    args = parser.parse_args()
    root = pathlib.Path(__file__).resolve().parent.parent
    files = subprocess.run(["git", "ls-files"], cwd=root, check=True, capture_output=True,
                           text=True).stdout.split()
    totals = {"tests": 0, "product C++": 0, "build files": 0, "shipped assets": 0}
    for path in files:
        kind = group(path)
        if kind is None:
            continue
        try:
            text = (root / path).read_text(encoding="utf-8", errors="replace")
        except (IsADirectoryError, FileNotFoundError):
            continue
        totals[kind] += sum(1 for line in text.splitlines() if line.strip())
    whole = sum(totals.values())
    for kind, lines in totals.items():
        print(f"{kind:15} {lines:7}")
    share = totals["tests"] / whole if whole else 0.0
    print(f"{'all':15} {whole:7}")
    print(f"tests share     {share:.2f}")
    return 1 if args.max is not None and share > args.max else 0


if __name__ == "__main__":
    sys.exit(main())
