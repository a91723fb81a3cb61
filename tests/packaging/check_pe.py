#!/usr/bin/env python3
"""Checks the Windows images of a build as files, without running them (the shipped i686 build
cannot run on the test machines).

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

Uses pefile (Debian package python3-pefile). Exit status 0 when all holds, 1 otherwise.
"""
import argparse
import os
import re
import subprocess
import sys

import pefile

MACHINES = {"i386": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
            "amd64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]}
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


def check_image(path, kind, machine, nm, header):
    before = len(failures)
    pe = pefile.PE(path)
    name = path.rsplit("/", 1)[-1]
    if pe.FILE_HEADER.Machine != MACHINES[machine]:
        fail(f"{name}: machine 0x{pe.FILE_HEADER.Machine:04x}, expected {machine}")
    is_dll = pe.FILE_HEADER.IMAGE_FILE_DLL
    if is_dll != (kind == "dll"):
        fail(f"{name}: {'a DLL' if is_dll else 'a program'}, expected {kind}")
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
    if len(failures) == before:
        print(f"ok: {name} ({machine}, {kind}, {len(pe.__data__)} bytes)")


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
    if not failures:
        kinds = sorted({kind for kind, _, _ in mine})
        print(f"ok: {name}: {len(mine)} resources equal to the reference build's ({', '.join(kinds)})")


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
    args = parser.parse_args()
    if args.what == "images":
        for image in args.image:
            path, _, kind = image.rpartition(":")
            if kind not in SUBSYSTEMS:
                parser.error(f"{image}: the kind is gui, console or dll")
            check_image(path, kind, args.machine, args.nm, args.lan_header)
    else:
        check_resources(args.image, args.reference)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
