#!/usr/bin/env python3
"""Checks what the shipped Windows programs ask of Windows 7 SP1.

Reads the import tables (the ordinary and the delay-load one) of each 32-bit
.exe given and fails when a program imports
  - from a DLL outside the system set that every Windows 7 SP1 has, or
  - a function that is not in the reviewed list (tools/win7-imports.txt), or
  - a function that the list marks as newer than Windows 7.
and when a program's manifest does not declare Windows 7 to 11 as supported
systems, or asks for elevation without being an installer (*-setup.exe).
The list names every function the programs import, one per line: the DLL,
the function, and, for one newer than Windows XP, the first Windows that
exports it (vista or 7). A new import must be added to it deliberately,
after looking up when the function appeared; an entry no program imports
any more fails too, so that the list says what the programs import today.

  winimports.py [--list FILE] PROGRAM.exe ...       check; exit 1 on a finding
  winimports.py --print PROGRAM.exe ...             print the imports in the list's form
"""
import argparse
import os
import re
import struct
import sys

# DLLs of every Windows 7 SP1, 32-bit and 64-bit (there under WOW64).
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "iphlpapi.dll",
    "kernel32.dll", "msimg32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll", "version.dll",
    "winmm.dll", "ws2_32.dll", "wsock32.dll",
}
# The supportedOS ids of a manifest: Windows 7, 8, 8.1, and 10 and 11.
SUPPORTED_OS = {
    "35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
    "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",
}
# The first Windows that exports a function, oldest first; "xp" is the default.
SYSTEMS = ["xp", "vista", "7"]
FLOOR = "7"

HERE = os.path.dirname(os.path.abspath(__file__))


class PeError(Exception):
    pass


class Image:
    """The sections of a PE32 file, enough to follow relative addresses."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise PeError("%s: no MZ header" % path)
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise PeError("%s: no PE header" % path)
        sections, optional_size = struct.unpack_from("<H12xH", d, pe + 6)
        optional = pe + 24
        if struct.unpack_from("<H", d, optional)[0] != 0x10B:
            raise PeError("%s: not a 32-bit (PE32) image" % path)
        count = struct.unpack_from("<I", d, optional + 92)[0]
        self.directories = [struct.unpack_from("<II", d, optional + 96 + 8 * i) for i in range(count)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            vsize, vaddr, rsize, raw = struct.unpack_from("<IIII", d, table + 40 * i + 8)
            self.sections.append((vaddr, max(vsize, rsize), raw))

    def offset(self, rva):
        for vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        raise PeError("address 0x%x lies in no section" % rva)

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def thunks(self, rva):
        """Names (or "@ordinal") of an import name table."""
        names = []
        while rva:
            entry = self.u32(rva)
            if entry == 0:
                break
            names.append("@%d" % (entry & 0xFFFF) if entry & 0x80000000 else self.text(entry + 2))
            rva += 4
        return names


def imports(path):
    """[(dll, function)] of the ordinary and the delay-load import tables."""
    image = Image(path)
    found = []
    rva, size = image.directory(1)
    while rva and size:
        lookup, _, _, name, address = struct.unpack_from("<IIIII", image.data, image.offset(rva))
        if name == 0:
            break
        found += [(image.text(name), f) for f in image.thunks(lookup or address)]
        rva += 20
    rva, size = image.directory(13)
    while rva and size:
        attributes, name, _, _, names = struct.unpack_from("<IIIII", image.data, image.offset(rva))
        if name == 0:
            break
        base = 0 if attributes & 1 else struct.unpack_from("<I", image.data, 0)[0]  # old form: absolute addresses
        found += [(image.text(name - base), f) for f in image.thunks(names - base if names else 0)]
        rva += 32
    return found


def manifest_problems(path):
    """What is wrong with the manifest among a program's resources."""
    name = os.path.basename(path)
    with open(path, "rb") as f:
        found = re.search(rb"<assembly\b.*?</assembly>", f.read(), re.S)
    if not found:
        return ["%s has no manifest" % name]
    text = found.group(0).decode("utf-8", "replace")
    problems = []
    systems = set(s.lower() for s in re.findall(r'<supportedOS\s+Id="\{([0-9a-fA-F-]+)\}"', text))
    if systems != SUPPORTED_OS:
        problems.append("%s's manifest declares other systems than Windows 7 to 11: %s" % (name, sorted(systems)))
    level = re.findall(r'<requestedExecutionLevel\s+level="(\w+)"', text)
    wanted = "requireAdministrator" if name.lower().endswith("-setup.exe") else "asInvoker"
    if level != [wanted]:
        problems.append("%s's manifest asks for the execution level %s, not %s" % (name, level, wanted))
    return problems


def read_list(path):
    """{(dll lower case, function): system} from the reviewed list."""
    entries = {}
    problems = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if len(words) not in (2, 3) or words[2:] not in ([], ["vista"], ["7"], ["8"], ["8.1"], ["10"]):
                problems.append("%s:%d: expected 'DLL function [vista|7]': %s" % (path, number, line.strip()))
                continue
            entries[(words[0].lower(), words[1])] = words[2] if len(words) == 3 else "xp"
    return entries, problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--list", default=os.path.join(HERE, "win7-imports.txt"))
    parser.add_argument("--print", action="store_true", help="print the imports in the list's form")
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()

    seen = {}
    for program in args.programs:
        for dll, function in imports(program):
            seen.setdefault((dll.lower(), function), (dll, set()))[1].add(os.path.basename(program))
    if args.print:
        for key in sorted(seen):
            print("%s %s" % (seen[key][0], key[1]))
        return 0

    listed, problems = read_list(args.list)
    for (dll, function), (name, programs) in sorted(seen.items()):
        where = ", ".join(sorted(programs))
        if dll not in SYSTEM_DLLS:
            problems.append("%s imports from %s, which is not a system DLL of Windows 7" % (where, name))
        elif (dll, function) not in listed:
            problems.append("%s imports %s %s, which is not in %s: look up when it appeared and add it"
                            % (where, name, function, os.path.relpath(args.list)))
        elif listed[(dll, function)] not in SYSTEMS[:SYSTEMS.index(FLOOR) + 1]:
            problems.append("%s imports %s %s, which Windows 7 does not export (from Windows %s on)"
                            % (where, name, function, listed[(dll, function)]))
    for dll, function in sorted(set(listed) - set(seen)):
        problems.append("%s lists %s %s, which no program imports any more: remove it"
                        % (os.path.relpath(args.list), dll, function))

    for program in args.programs:
        problems += manifest_problems(program)
    for program in args.programs:
        count = sum(1 for _, (_, programs) in seen.items() if os.path.basename(program) in programs)
        print("%s: %d imports" % (os.path.basename(program), count))
    for problem in problems:
        print("FAIL: " + problem)
    newer = sorted("%s %s (%s)" % (seen[k][0], k[1], listed[k]) for k in seen if listed.get(k) in SYSTEMS[1:])
    if newer:
        print("newer than XP, present in 7: " + ", ".join(newer))
    print("%d imports checked, %d problems" % (len(seen), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
