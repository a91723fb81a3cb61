#!/usr/bin/env python3
"""Checks the Windows images and packages of a build as files, without running them (the shipped
i686 build cannot run on the test machines).

  check_pe.py images --machine i386|amd64 --nm NM --lan-header sxjcp_api.h
              --image PATH:gui|console|dll ...
      every image: the machine, the subsystem (or DLL), ASLR and DEP on (dynamic base with its
      relocations, NX compatible), imports from system DLLs only (no MinGW runtime beside it);
      the LAN library (SxJcp32.dll): exactly the entry points its header declares, undecorated,
      each bound to the __stdcall symbol with the argument bytes the declaration gives
      (SxReadPort -> _SxReadPort@16 on i386), read from the image's own symbols with NM.
  check_pe.py resources --image PATH --reference PATH
      the program's resources item by item (type, name, language, bytes) equal to the
      reference build's, and every kind the program needs present.
  check_pe.py packages --machine i386|amd64 --version 2.00 --zip ZIP [--installer EXE]
      the zip: named for the version and machine, exactly the folder ROVANT with rovant.exe,
      ROVANT.CHM (a compiled help file), SxJcp32.dll (images of the machine) and README.txt (naming
      the version and the files); the installer: so named, a Unicode NSIS program of the machine,
      and, when 7z (Debian package p7zip-full) is present, carrying the zip's very files.

Uses pefile (Debian package python3-pefile). Exit status 0 when all holds, 1 otherwise.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import pefile

MACHINES = {"i386": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
            "amd64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]}
PACKAGE_ARCH = {"i386": "x86", "amd64": "x86_64"}
PAYLOAD = ["rovant.exe", "ROVANT.CHM", "SxJcp32.dll"]
SUBSYSTEMS = {"gui": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
              "console": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"],
              "dll": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"]}
# What Windows itself provides; anything else (libstdc++-6.dll, libgcc_s_dw2-1.dll,
# libwinpthread-1.dll, ...) would have to be shipped beside the program.
SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
               "msvcrt.dll", "ole32.dll", "shell32.dll", "user32.dll", "version.dll",
               "winspool.drv", "ws2_32.dll"}
# Resource kinds the program loads: every one must be there.
NEEDED_KINDS = {"RT_ICON", "RT_GROUP_ICON", "RT_DIALOG", "RT_MENU", "RT_ACCELERATOR", "RT_STRING",
                "RT_VERSION", "RT_MANIFEST"}
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
DECLARATION = re.compile(r"^\s*\w+\s+WINAPI\s+(Sx\w+)\s*\(([^)]*)\)\s*;", re.MULTILINE)

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def entry_points(header):
    """{name: argument bytes on i386} of the declarations in the LAN library's header: every
    parameter (handles, pointers, DWORD, BOOL) takes one 4-byte stack slot."""
    with open(header, encoding="utf-8") as f:
        text = f.read()
    found = {}
    for name, params in DECLARATION.findall(text):
        params = params.strip()
        count = 0 if params in ("", "void") else params.count(",") + 1
        found[name] = 4 * count
    return found


def check_type(name, pe, machine, dll):
    """The image is of the machine, and a DLL or a program as wanted."""
    if pe is None:
        return fail(f"{name}: not a Windows PE file")
    if pe.FILE_HEADER.Machine != MACHINES[machine]:
        fail(f"{name}: machine 0x{pe.FILE_HEADER.Machine:04x}, expected {machine}")
    if bool(pe.FILE_HEADER.IMAGE_FILE_DLL) != dll:
        fail(f"{name}: {'a program' if dll else 'a DLL'}, expected {'a DLL' if dll else 'a program'}")


def parse(data):
    try:
        return pefile.PE(data=data, fast_load=True)
    except pefile.PEFormatError:
        return None


def check_image(path, kind, machine, nm, header):
    pe = pefile.PE(path)
    name = path.rsplit("/", 1)[-1]
    check_type(name, pe, machine, kind == "dll")
    if pe.OPTIONAL_HEADER.Subsystem != SUBSYSTEMS[kind] and kind != "dll":
        fail(f"{name}: subsystem {pe.OPTIONAL_HEADER.Subsystem}, expected {kind}")
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    if not flags & DYNAMIC_BASE:
        fail(f"{name}: not built for address space layout randomisation (no dynamic base)")
    if not hasattr(pe, "DIRECTORY_ENTRY_BASERELOC"):
        fail(f"{name}: dynamic base without relocations: it cannot be moved")
    if not flags & NX_COMPAT:
        fail(f"{name}: not marked NX compatible (data execution prevention)")
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        dll = entry.dll.decode("ascii", "replace")
        if dll.lower() not in SYSTEM_DLLS:
            fail(f"{name}: imports {dll}, which is not a system DLL")
    if kind == "dll":
        check_exports(pe, path, name, nm, header)


def check_exports(pe, path, name, nm, header):
    declared = entry_points(header)
    if len(declared) != 17:
        fail(f"{header}: {len(declared)} entry points declared, expected 17")
    exports = {}
    table = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    for symbol in table.symbols if table else []:
        if symbol.name is None:
            fail(f"{name}: an export by ordinal only ({symbol.ordinal})")
            continue
        exports[symbol.name.decode("ascii")] = symbol.address
    if set(exports) != set(declared):
        fail(f"{name}: exports {sorted(exports)}, expected {sorted(declared)}")
    symbols = {}
    listing = subprocess.run([nm, "--defined-only", path], capture_output=True, text=True)
    for line in listing.stdout.splitlines():
        fields = line.split()
        if len(fields) == 3:
            symbols[fields[2]] = int(fields[0], 16) - pe.OPTIONAL_HEADER.ImageBase
    if not symbols:
        fail(f"{name}: no symbols to bind the exports to ({nm}: {listing.stderr.strip()})")
        return
    decorated = pe.FILE_HEADER.Machine == MACHINES["i386"]
    for entry, size in sorted(declared.items()):
        symbol = f"_{entry}@{size}" if decorated else entry
        if symbol not in symbols:
            fail(f"{name}: no symbol {symbol} for the export {entry}")
        elif exports.get(entry) != symbols[symbol]:
            fail(f"{name}: the export {entry} is not bound to {symbol}")


def resource_items(path):
    """{(kind, name, language): bytes} of every resource of the image."""
    pe = pefile.PE(path)
    items = {}

    def label(entry):
        return str(entry.name) if entry.name is not None else entry.id

    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in root.entries if root else []:
        kind_name = pefile.RESOURCE_TYPE.get(kind.id, str(kind.name))
        for item in kind.directory.entries:
            for language in item.directory.entries:
                data = language.data.struct
                items[(kind_name, label(item), language.id)] = pe.get_data(
                    data.OffsetToData, data.Size)
    return items


def check_resources(path, reference):
    if not os.path.isfile(reference):
        fail(f"no reference build at {reference}: build the mingw64 preset first "
             "(scripts/test.sh does)")
        return
    mine, theirs = resource_items(path), resource_items(reference)
    name = path.rsplit("/", 1)[-1]
    for key in sorted(set(theirs) - set(mine), key=str):
        fail(f"{name}: resource {key} of the reference build is missing")
    for key in sorted(set(mine) - set(theirs), key=str):
        fail(f"{name}: resource {key} is not in the reference build")
    for key in sorted(set(mine) & set(theirs), key=str):
        if mine[key] != theirs[key]:
            fail(f"{name}: resource {key} differs from the reference build's")
    missing = NEEDED_KINDS - {kind for kind, _, _ in mine}
    if missing:
        fail(f"{name}: no resources of the kinds {sorted(missing)}")


def check_zip(path, machine, version):
    """The payload's bytes by name, or None."""
    wanted_name = f"rovant-{version}-portable-{PACKAGE_ARCH[machine]}.zip"
    if os.path.basename(path) != wanted_name:
        fail(f"zip named {os.path.basename(path)}, wanted {wanted_name}")
    try:
        archive = zipfile.ZipFile(path)
    except (OSError, zipfile.BadZipFile) as e:
        fail(f"{path}: {e}")
        return None
    with archive:
        if bad := archive.testzip():
            fail(f"zip: {bad} is damaged")
        files = {i.filename for i in archive.infolist() if not i.is_dir()}
        wanted = {f"ROVANT/{n}" for n in PAYLOAD + ["README.txt"]}
        if files != wanted:
            fail(f"zip entries: missing {sorted(wanted - files)}, unexpected {sorted(files - wanted)}")
            return None
        data = {n: archive.read(f"ROVANT/{n}") for n in PAYLOAD}
        readme = archive.read("ROVANT/README.txt").decode("ascii", "replace")
    check_type("zip: rovant.exe", parse(data["rovant.exe"]), machine, dll=False)
    check_type("zip: SxJcp32.dll", parse(data["SxJcp32.dll"]), machine, dll=True)
    if not data["ROVANT.CHM"].startswith(b"ITSF"):
        fail("zip: ROVANT.CHM is not a compiled help file (no ITSF header)")
    for text in [f"ROVANT {version}"] + PAYLOAD:
        if text not in readme:
            fail(f"zip: README.txt does not name {text}")
    return data


def check_installer(path, machine, version, zip_payload):
    wanted_name = f"rovant-{version}-setup-{PACKAGE_ARCH[machine]}.exe"
    if os.path.basename(path) != wanted_name:
        fail(f"installer named {os.path.basename(path)}, wanted {wanted_name}")
    with open(path, "rb") as f:
        data = f.read()
    check_type("installer", parse(data), machine, dll=False)
    if b"NullsoftInst" not in data:
        fail("installer: no NSIS data block found")
    seven = shutil.which("7z")
    if not seven:
        print("note: 7z not found (Debian package p7zip-full): the installer's files are not checked")
        return
    listing = subprocess.run([seven, "l", path], capture_output=True, text=True).stdout
    if not re.search(r"^SubType.*Unicode", listing, re.M):
        fail("installer: not a Unicode NSIS installer (7z l names no Unicode SubType)")
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run([seven, "x", "-y", f"-o{out}", path], capture_output=True, text=True)
        if run.returncode != 0:
            fail(f"7z could not unpack the installer:\n{run.stdout}{run.stderr}")
            return
        found = {n: os.path.join(root, n) for root, _, names in os.walk(out) for n in names}
        for n in PAYLOAD:
            if n not in found:
                fail(f"installer: does not carry {n} (carries {sorted(found)})")
            elif zip_payload:
                with open(found[n], "rb") as f:
                    if f.read() != zip_payload[n]:
                        fail(f"installer and zip carry different copies of {n}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest="what", required=True)
    images = sub.add_parser("images")
    images.add_argument("--machine", choices=sorted(MACHINES), required=True)
    images.add_argument("--nm", required=True)
    images.add_argument("--lan-header", required=True)
    images.add_argument("--image", action="append", required=True, metavar="PATH:KIND")
    resources = sub.add_parser("resources")
    resources.add_argument("--image", required=True)
    resources.add_argument("--reference", required=True)
    packages = sub.add_parser("packages")
    packages.add_argument("--machine", choices=sorted(MACHINES), required=True)
    packages.add_argument("--version", required=True)
    packages.add_argument("--zip", required=True)
    packages.add_argument("--installer")
    args = parser.parse_args()
    if args.what == "packages":
        zip_payload = check_zip(args.zip, args.machine, args.version)
        if args.installer:
            check_installer(args.installer, args.machine, args.version, zip_payload)
    elif args.what == "images":
        for image in args.image:
            path, _, kind = image.rpartition(":")
            if kind not in SUBSYSTEMS:
                parser.error(f"{image}: the kind is gui, console or dll")
            check_image(path, kind, args.machine, args.nm, args.lan_header)
    else:
        check_resources(args.image, args.reference)
    print(f"{len(failures)} check(s) failed" if failures else f"{args.what}: all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
