#!/usr/bin/env python3
"""Checks the Windows packages of ROVANT without running them.

  check_packages.py --arch x86|x86_64 --version 2.00 --zip ZIP [--installer EXE]

The zip: exactly the folder ROVANT with rovant.exe, ROVANT.CHM, SxJcp32.dll and README.txt; the
program and the library are Windows files of the right machine (i386 for x86, x86-64 for x86_64),
the help file is a compiled help file, the README names the version. The installer: a Windows
program of the right machine (PE32 i386 for x86, PE32+ x86-64 for x86_64), named for the version
and the machine; when 7z (Debian package p7zip-full) is present, the files it carries as well.
Exit status 0 when all holds, 1 otherwise.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

MACHINES = {"x86": (0x014C, 0x10B, "PE32 i386"), "x86_64": (0x8664, 0x20B, "PE32+ x86-64")}
PAYLOAD = ["rovant.exe", "ROVANT.CHM", "SxJcp32.dll"]

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def pe_type(data):
    """(machine, optional header magic, is_dll) of a PE image, or None."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        return None
    (offset,) = struct.unpack_from("<I", data, 0x3C)
    if offset + 26 > len(data) or data[offset:offset + 4] != b"PE\0\0":
        return None
    machine, = struct.unpack_from("<H", data, offset + 4)
    characteristics, = struct.unpack_from("<H", data, offset + 22)
    magic, = struct.unpack_from("<H", data, offset + 24)
    return machine, magic, bool(characteristics & 0x2000)


def check_pe(name, data, arch, want_dll):
    machine, magic, label = MACHINES[arch]
    found = pe_type(data)
    if found is None:
        fail(f"{name}: not a Windows PE file")
        return
    if (found[0], found[1]) != (machine, magic):
        fail(f"{name}: machine 0x{found[0]:04x}, optional header 0x{found[1]:03x}; wanted {label}")
    elif found[2] != want_dll:
        fail(f"{name}: {'a DLL' if found[2] else 'a program'}, wanted {'a DLL' if want_dll else 'a program'}")
    else:
        print(f"ok: {name} is a {label} {'DLL' if want_dll else 'program'}")


def check_payload(where, files, arch):
    check_pe(f"{where} rovant.exe", files["rovant.exe"], arch, want_dll=False)
    check_pe(f"{where} SxJcp32.dll", files["SxJcp32.dll"], arch, want_dll=True)
    if not files["ROVANT.CHM"].startswith(b"ITSF"):
        fail(f"{where} ROVANT.CHM: not a compiled help file (no ITSF header)")
    else:
        print(f"ok: {where} ROVANT.CHM is a compiled help file")


def check_zip(path, arch, version):
    expected_name = f"rovant-{version}-portable-{arch}.zip"
    if os.path.basename(path) != expected_name:
        fail(f"zip named {os.path.basename(path)}, wanted {expected_name}")
    try:
        archive = zipfile.ZipFile(path)
    except (OSError, zipfile.BadZipFile) as e:
        fail(f"{path}: {e}")
        return
    with archive:
        print(f"{os.path.basename(path)}:")
        for info in archive.infolist():
            print(f"  {info.file_size:10d}  {info.filename}")
        bad = archive.testzip()
        if bad:
            fail(f"zip: {bad} is damaged")
        files = {i.filename.rstrip("/"): i for i in archive.infolist() if not i.is_dir()}
        wanted = {f"ROVANT/{n}" for n in PAYLOAD + ["README.txt"]}
        if set(files) != wanted:
            missing = sorted(wanted - set(files))
            extra = sorted(set(files) - wanted)
            fail(f"zip entries: missing {missing}, unexpected {extra}")
            return
        print("ok: the zip holds " + ", ".join(sorted(wanted)))
        data = {n: archive.read(f"ROVANT/{n}") for n in PAYLOAD}
        check_payload("zip:", data, arch)
        readme = archive.read("ROVANT/README.txt").decode("ascii", "replace")
        if f"ROVANT {version}" not in readme:
            fail(f"zip: README.txt does not name ROVANT {version}")
        for n in PAYLOAD:
            if n not in readme:
                fail(f"zip: README.txt does not describe {n}")
        return data


def check_installer(path, arch, version, zip_payload):
    expected_name = f"rovant-{version}-setup-{arch}.exe"
    if os.path.basename(path) != expected_name:
        fail(f"installer named {os.path.basename(path)}, wanted {expected_name}")
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        fail(f"installer: {e}")
        return
    check_pe(f"installer {os.path.basename(path)}", data, arch, want_dll=False)
    if b"NullsoftInst" not in data:
        fail("installer: no NSIS data block found")

    seven = shutil.which("7z")
    if not seven:
        print("note: 7z not found (Debian package p7zip-full): the installer's files are not checked")
        return
    listing = subprocess.run([seven, "l", path], capture_output=True, text=True)
    subtype = [l for l in listing.stdout.splitlines() if l.startswith("SubType")]
    if not subtype or "Unicode" not in subtype[0]:
        fail(f"installer: not a Unicode NSIS installer ({subtype[0] if subtype else 'no SubType'})")
    else:
        print(f"ok: installer {subtype[0]}")
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run([seven, "x", "-y", f"-o{out}", path], capture_output=True, text=True)
        if run.returncode != 0:
            fail(f"7z could not unpack the installer:\n{run.stdout}{run.stderr}")
            return
        found = {}
        for root, _, names in os.walk(out):
            for n in names:
                found.setdefault(n, os.path.join(root, n))
        missing = [n for n in PAYLOAD if n not in found]
        if missing:
            fail(f"installer: does not carry {missing} (carries {sorted(found)})")
            return
        print("ok: the installer carries " + ", ".join(PAYLOAD))
        files = {}
        for n in PAYLOAD:
            with open(found[n], "rb") as f:
                files[n] = f.read()
        check_payload("installer:", files, arch)
        if zip_payload:
            for n in PAYLOAD:
                if files[n] != zip_payload[n]:
                    fail(f"installer and zip carry different copies of {n}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--arch", required=True, choices=sorted(MACHINES))
    parser.add_argument("--version", required=True)
    parser.add_argument("--zip", required=True)
    parser.add_argument("--installer")
    args = parser.parse_args()

    zip_payload = check_zip(args.zip, args.arch, args.version)
    if args.installer:
        check_installer(args.installer, args.arch, args.version, zip_payload)
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    print("all package checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
