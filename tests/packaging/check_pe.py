#!/usr/bin/env python3
"""Checks the Windows images and packages of a build as files, without running them (the shipped
i686 build cannot run here), with pefile (Debian package python3-pefile).

  check_pe.py --machine x86|x86_64 images --nm NM --lan-header H --image PATH:gui|console|dll ...
      the machine, subsystem (or DLL), ASLR (dynamic base, relocations), DEP, imports from system
      DLLs only; the LAN library exports exactly its header's entry points, undecorated, each
      bound to the __stdcall symbol of the declared argument bytes (_SxReadPort@16 on x86).
  check_pe.py resources --image PATH --reference PATH
      every resource (type, name, language, bytes) the reference build's; every kind needed.
  check_pe.py --machine x86|x86_64 packages --version 2.00 --zip ZIP [--installer EXE]
      the zip: so named, exactly ROVANT/ with rovant.exe, ROVANT.CHM, SxJcp32.dll (of the
      machine) and README.txt naming them; the installer: so named, a Unicode NSIS program of the
      machine carrying the zip's very files (with 7z, Debian package p7zip-full).
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

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from checks import check, finish  # noqa: E402

MACHINES = {"x86": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
            "x86_64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]}
PAYLOAD = ["rovant.exe", "ROVANT.CHM", "SxJcp32.dll"]
SUBSYSTEMS = {"gui": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
              "console": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"]}
# What Windows itself provides; anything else (libstdc++-6.dll, libgcc_s_dw2-1.dll,
# libwinpthread-1.dll, ...) would have to be shipped beside the program.
SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
               "msvcrt.dll", "ole32.dll", "shell32.dll", "user32.dll", "version.dll",
               "winspool.drv", "ws2_32.dll"}
NEEDED_KINDS = {"RT_ICON", "RT_GROUP_ICON", "RT_DIALOG", "RT_MENU", "RT_ACCELERATOR", "RT_STRING",
                "RT_VERSION", "RT_MANIFEST"}
DECLARATION = re.compile(r"^\s*\w+\s+WINAPI\s+(Sx\w+)\s*\(([^)]*)\)\s*;", re.MULTILINE)


def entry_points(header):
    """{name: argument bytes on x86} of the LAN library header's declarations: every parameter
    (handles, pointers, DWORD, BOOL) takes one 4-byte stack slot."""
    with open(header, encoding="utf-8") as f:
        declarations = DECLARATION.findall(f.read())
    return {name: 0 if params.strip() in ("", "void") else 4 * (params.count(",") + 1)
            for name, params in declarations}


def check_type(name, data, machine, dll):
    """The image (a path or bytes) is of the machine, and a DLL or a program as wanted."""
    try:
        pe = pefile.PE(data=data, fast_load=True) if isinstance(data, bytes) else pefile.PE(data)
    except pefile.PEFormatError:
        return check(False, f"{name}: not a Windows PE file")
    check(pe.FILE_HEADER.Machine == MACHINES[machine],
          f"{name}: machine 0x{pe.FILE_HEADER.Machine:04x}, expected {machine}")
    check(pe.FILE_HEADER.IMAGE_FILE_DLL == dll, f"{name}: {'not ' if dll else ''}a DLL")
    return pe


def check_image(path, kind, machine, nm, header):
    name = os.path.basename(path)
    pe = check_type(name, path, machine, kind == "dll")
    if not pe:
        return
    header_of = pe.OPTIONAL_HEADER
    check(kind == "dll" or header_of.Subsystem == SUBSYSTEMS[kind],
          f"{name}: subsystem {header_of.Subsystem}, expected {kind}")
    check(header_of.IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE,
          f"{name}: not built for address space layout randomisation (no dynamic base)")
    check(hasattr(pe, "DIRECTORY_ENTRY_BASERELOC"),
          f"{name}: dynamic base without relocations: it cannot be moved")
    check(header_of.IMAGE_DLLCHARACTERISTICS_NX_COMPAT,
          f"{name}: not marked NX compatible (data execution prevention)")
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        dll = entry.dll.decode("ascii", "replace")
        check(dll.lower() in SYSTEM_DLLS, f"{name}: imports {dll}, which is not a system DLL")
    if kind != "dll":
        return
    declared = entry_points(header)
    check(len(declared) == 17, f"{header}: {len(declared)} entry points declared, expected 17")
    table = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    symbols = table.symbols if table else []
    check(all(s.name for s in symbols), f"{name}: an export by ordinal only")
    exports = {s.name.decode("ascii"): s.address for s in symbols if s.name}
    check(set(exports) == set(declared),
          f"{name}: exports {sorted(exports)}, expected {sorted(declared)}")
    listing = subprocess.run([nm, "--defined-only", path], capture_output=True, text=True)
    bound = {fields[2]: int(fields[0], 16) - header_of.ImageBase
             for fields in map(str.split, listing.stdout.splitlines()) if len(fields) == 3}
    if not check(bound, f"{name}: no symbols to bind the exports to ({nm}: {listing.stderr})"):
        return
    for entry, size in sorted(declared.items()):
        symbol = f"_{entry}@{size}" if machine == "x86" else entry
        check(symbol in bound and exports.get(entry) == bound[symbol],
              f"{name}: the export {entry} is not bound to the symbol {symbol}")


def resource_items(path):
    """{(kind, name, language): bytes} of every resource of the image."""
    pe = pefile.PE(path)
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    return {(pefile.RESOURCE_TYPE.get(kind.id, str(kind.name)),
             str(item.name) if item.name is not None else item.id, language.id):
            pe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
            for kind in (root.entries if root else []) for item in kind.directory.entries
            for language in item.directory.entries}


def check_resources(path, reference):
    if not check(os.path.isfile(reference), f"no reference build at {reference}: build the "
                 "mingw64 preset first (scripts/test.sh does)"):
        return
    mine, theirs = resource_items(path), resource_items(reference)
    for key in sorted(set(mine) | set(theirs), key=str):
        check(mine.get(key) == theirs.get(key), f"resource {key}: "
              + ("missing" if key not in mine else "not in the reference build" if key not in theirs
                 else "differs from the reference build's"))
    missing = NEEDED_KINDS - {kind for kind, _, _ in mine}
    check(not missing, f"no resources of the kinds {sorted(missing)}")


def check_zip(path, machine, version):
    """The payload's bytes by name, or None."""
    wanted_name = f"rovant-{version}-portable-{machine}.zip"
    check(os.path.basename(path) == wanted_name, f"zip named {path}, wanted {wanted_name}")
    with zipfile.ZipFile(path) as archive:
        check((bad := archive.testzip()) is None, f"zip: {bad} is damaged")
        files = {i.filename for i in archive.infolist() if not i.is_dir()}
        wanted = {f"ROVANT/{n}" for n in PAYLOAD + ["README.txt"]}
        if not check(files == wanted, f"zip entries {sorted(files)}, wanted {sorted(wanted)}"):
            return None
        data = {n: archive.read(f"ROVANT/{n}") for n in PAYLOAD}
        readme = archive.read("ROVANT/README.txt").decode("ascii", "replace")
    check_type("zip: rovant.exe", data["rovant.exe"], machine, dll=False)
    check_type("zip: SxJcp32.dll", data["SxJcp32.dll"], machine, dll=True)
    check(data["ROVANT.CHM"].startswith(b"ITSF"), "zip: ROVANT.CHM is not a compiled help file")
    for text in [f"ROVANT {version}"] + PAYLOAD:
        check(text in readme, f"zip: README.txt does not name {text}")
    return data


def check_installer(path, machine, version, zip_payload):
    wanted_name = f"rovant-{version}-setup-{machine}.exe"
    check(os.path.basename(path) == wanted_name, f"installer named {path}, wanted {wanted_name}")
    with open(path, "rb") as f:
        data = f.read()
    check_type("installer", data, machine, dll=False)
    check(b"NullsoftInst" in data, "installer: no NSIS data block found")
    seven = shutil.which("7z")
    if not seven:
        print("note: no 7z (Debian package p7zip-full): the installer's files are not checked")
        return
    listing = subprocess.run([seven, "l", path], capture_output=True, text=True).stdout
    check(re.search(r"^SubType.*Unicode", listing, re.M), "installer: not a Unicode NSIS installer")
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run([seven, "x", "-y", f"-o{out}", path], capture_output=True, text=True)
        if not check(run.returncode == 0, f"7z cannot unpack the installer: {run.stderr}"):
            return
        found = {n: os.path.join(root, n) for root, _, names in os.walk(out) for n in names}
        for n in PAYLOAD:
            if check(n in found, f"installer: does not carry {n}") and zip_payload:
                with open(found[n], "rb") as f:
                    check(f.read() == zip_payload[n], f"the installer's {n} is not the zip's")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("what", choices=["images", "resources", "packages"])
    parser.add_argument("--machine", choices=sorted(MACHINES))
    for option in ("--nm", "--lan-header", "--reference", "--version", "--zip", "--installer"):
        parser.add_argument(option)
    parser.add_argument("--image", action="append", default=[])
    args = parser.parse_args()
    if args.what == "packages":
        zip_payload = check_zip(args.zip, args.machine, args.version)
        if args.installer:
            check_installer(args.installer, args.machine, args.version, zip_payload)
    elif args.what == "images":
        for image in args.image:
            path, _, kind = image.rpartition(":")
            check_image(path, kind, args.machine, args.nm, args.lan_header)
    else:
        check_resources(args.image[0], args.reference)
    finish(f"{args.what}: all checks passed")


if __name__ == "__main__":
    main()
