#!/usr/bin/env python3
"""Checks a built Bitset.exe: every function it imports is in the checked-in
table with a first Windows version the build is meant for, and the file is
no larger than its limit.

    check_exe.py imports EXE TABLE OBJDUMP win32|win64
    check_exe.py size EXE MAX_KIB
    check_exe.py sizes EXE...      (prints the sizes only)
"""
import os
import subprocess
import sys

NT_RELEASES = {"3.1", "3.5", "3.51", "4.0"}
NINE_X_RELEASES = {"95", "95 msvcrt", "95 stub"}


def imports_of(exe, objdump):
    """(DLL, function) pairs of the import table, as objdump -p lists them."""
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True,
                          text=True).stdout
    pairs, dll = [], None
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("DLL Name:"):
            dll = stripped.split(":", 1)[1].strip()
            continue
        fields = stripped.split()
        # "<hint-rva> <ordinal> <name>" lines under a DLL Name
        if dll and len(fields) == 3 and fields[1].isdigit():
            try:
                int(fields[0], 16)
            except ValueError:
                continue
            pairs.append((dll, fields[2]))
        elif not stripped:
            dll = None  # a blank line ends a DLL's list
    return pairs


def read_table(path):
    """Rows of the markdown table, keyed by (DLL, function)."""
    rows = {}
    for line in open(path, encoding="utf-8"):
        if not line.startswith("| ") or line.startswith("| DLL "):
            continue
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        rows[(cells[0], cells[1])] = cells
    return rows


def table_fault(flavour, row):
    """Why a table row does not fit the build, or None."""
    if flavour == "win64":
        return None if row[2] == "XP x64" else "first Windows %s is not XP x64" % row[2]
    nine_x, nt, copes = row[2], row[3], row[5] if len(row) > 5 else ""
    if nine_x not in NINE_X_RELEASES:
        return "needs Windows %s, newer than Windows 95" % nine_x
    if nt not in NT_RELEASES:
        return "needs Windows NT %s, newer than NT 4.0" % nt
    if nine_x == "95 stub" and not copes:
        return "only a stub on 9x, and no word on why its caller copes"
    return None


def check_imports(exe, table_path, objdump, flavour):
    table = read_table(table_path)
    found = imports_of(exe, objdump)
    if not found:
        print("no imports read from %s" % exe)
        return 1
    faults = []
    for dll, function in found:
        row = table.get((dll, function))
        if row is None:
            faults.append("%s!%s is not in %s" % (dll, function, table_path))
            continue
        fault = table_fault(flavour, row)
        if fault:
            faults.append("%s!%s %s" % (dll, function, fault))
    for fault in faults:
        print(fault)
    print("%s: %d imports, %d faults" % (exe, len(found), len(faults)))
    return 1 if faults else 0


def describe(exe):
    size = os.path.getsize(exe)
    return "%s: %d bytes (%.1f KiB)" % (exe, size, size / 1024.0)


def main(argv):
    command = argv[1]
    if command == "imports":
        return check_imports(argv[2], argv[3], argv[4], argv[5])
    if command == "size":
        print(describe(argv[2]))
        return 0 if os.path.getsize(argv[2]) <= int(argv[3]) * 1024 else 1
    if command == "sizes":
        for exe in argv[2:]:
            print(describe(exe) if os.path.exists(exe) else "%s: not built" % exe)
        return 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
