#!/usr/bin/env python3
"""Changes one product line at a time and runs the tests that can judge it.

Each change (a mutant) is one small edit a slip of the hand could make: a
comparison flipped, && and || swapped, a negation dropped, true and false
swapped, a number moved by one, a call or assignment dropped. A mutant that
no test notices (it survives) is a test to write, unless the change does
not alter what the program does.

    scripts/mutate.py [options] [FILE[:FIRST-LAST]...]

Without files it takes the product code (app, bitset, cli, devices,
framework, res, scsi, ui and the platform: its interface and the Win32 backend); --changed
REF takes the lines changed since REF instead. The work happens on a copy of
the tree in build/mutation, so the worktree is never touched.

What judges a mutant depends on where it is:
- the unit tests (host build), for every line the unit tests are built from;
- in cli/ and the SG_IO transport under it (scsi/KernelSgDriver.*,
  scsi/SgIoTransport.*, scsi/SgDriver.h), also the command-line journeys
  (ctest label cli) of the host build's bitset, when the unit tests let the
  mutant through;
- in platform/WinTypes.h and res/resource.h, also the win64 build's
  static checks of those values against the Windows headers, and in
  scsi/AspiSrb.h and scsi/SptiRequestBlock.h the win32 build's checks
  of the 32-bit layout (one file compiled);
- in what only Bitset.exe is built from (platform/win32/, app/Main.cpp),
  the win64 build of the copy and its Wine journeys (ctest label wine) and
  import check (exe.imports.win64). That takes minutes a mutant (the
  journeys alone some five on two loaded cores; the first build of the win64
  preset some more): --no-wine leaves those files out.

Options:
    --changed REF     only lines added or changed since git REF
    --sample N        N mutants chosen at random (with --seed)
    --list            list the mutants and stop
    --no-sanitize     build without the sanitizers (faster, sees less)
    --no-wine         leave out what only the Wine journeys can judge
    --work DIR        the copy and its builds (default build/mutation)
    --timeout S       seconds a test run may take (default: ten times as
                      long as on the unchanged tree, at least 30)
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT = ["app", "bitset", "cli", "devices", "disc", "framework", "res", "scsi", "ui", "platform", "platform/win32"]
# The command line and its way to the kernel: its journeys judge them too.
CLI = ("cli/", "scsi/KernelSgDriver.", "scsi/SgIoTransport.", "scsi/SgDriver.h")
# Built into Bitset.exe alone: only the win64 build and its journeys judge them.
EXE_ONLY = ("platform/win32/", "app/Main.cpp")
# Held by static checks of a Windows build: against the Windows headers, or
# to the layouts Windows reads. {path: [(build, [objects that check])]}
SYSTEM_VALUES = ["CMakeFiles/Bitset.dir/platform/win32/SystemValueChecks.cpp.obj",
                 "CMakeFiles/Bitset.dir/platform/win32/Win32Platform.cpp.obj"]
STATIC_CHECKS = {
    "platform/WinTypes.h": [("win64", SYSTEM_VALUES)],
    "res/resource.h": [("win64", SYSTEM_VALUES)],
    "scsi/AspiSrb.h": [("win32", ["CMakeFiles/bitset_core.dir/scsi/AspiLibrary.cpp.obj"])],
    "scsi/SptiRequestBlock.h": [
        ("win32", ["CMakeFiles/bitset_core.dir/scsi/SptiTransport.cpp.obj"]),
        ("win64", SYSTEM_VALUES[1:])],
}
TOOLCHAINS = {"win64": "mingw-x86_64.cmake", "win32": "mingw-i686.cmake"}

# A mutant of a header rebuilds all that includes it, and so does putting
# the header back: with ccache the second build comes from its cache.
LAUNCHER = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []

# (name, pattern, replacement): each match on a line gives one mutant.
OPERATORS = [
    ("flip ==", r"==", "!="),
    ("flip !=", r"!=", "=="),
    ("flip <=", r"<=", ">"),
    ("flip >=", r">=", "<"),
    ("flip <", r"(?<=\s)<(?=\s)", ">="),
    ("flip >", r"(?<=\s)>(?=\s)", "<="),
    ("swap &&", r"&&", "||"),
    ("swap ||", r"\|\|", "&&"),
    ("drop !", r"!(?=[\w(])", ""),
    ("true to false", r"\btrue\b", "false"),
    ("false to true", r"\bfalse\b", "true"),
    ("number + 1", r"(?<![\w.])(0x[0-9A-Fa-f]+|\d+)(?=[uU]?\b)(?![.\w])", "+1"),
    ("number - 1", r"(?<![\w.])(0x[0-9A-Fa-f]+|[1-9]\d*)(?=[uU]?\b)(?![.\w])", "-1"),
]
# A statement that is a call or an assignment, which dropping removes.
DROPPABLE = re.compile(r"^\s*[\w.:\->\[\]()*]+(\(.*\)|\s*[-+|&^]?=\s*.+);\s*(//.*)?$")
SKIPPED = re.compile(r"^\s*(#|//|static_assert|namespace|using|\}|case\b|default:)")


def in_string_or_comment(line, column):
    quoted = False
    for index, char in enumerate(line[:column]):
        if char == '"' and (index == 0 or line[index - 1] != "\\"):
            quoted = not quoted
        if not quoted and line.startswith("//", index):
            return True
    return quoted


def line_mutants(path, number, line):
    """Every mutant of one line: (path, line number, name, new line)."""
    if SKIPPED.match(line) or not line.strip():
        return []
    mutants = []
    for name, pattern, replacement in OPERATORS:
        for match in re.finditer(pattern, line):
            if in_string_or_comment(line, match.start()):
                continue
            if replacement in ("+1", "-1"):
                number_text = match.group(1)
                value = int(number_text, 0) + (1 if replacement == "+1" else -1)
                text = str(value)
                if number_text.startswith("0x"):
                    text = "0x%0*X" % (len(number_text) - 2, value)
            else:
                text = replacement
            mutants.append((path, number, name, line[:match.start()] + text + line[match.end():]))
    if DROPPABLE.match(line) and not line.strip().startswith("return"):
        mutants.append((path, number, "drop " + line.strip(), ""))
    return mutants


def changed_lines(ref):
    """{path: set of line numbers} added or changed since ref: since the
    commit where this branch left it, so that lines ref gained later are
    not taken for this branch's."""
    base = subprocess.run(["git", "-C", ROOT, "merge-base", ref, "HEAD"],
                          capture_output=True, text=True, check=True).stdout.strip()
    diff = subprocess.run(["git", "-C", ROOT, "diff", "-U0", base, "--"] + PRODUCT,
                          capture_output=True, text=True, check=True).stdout
    lines, path = {}, None
    for row in diff.splitlines():
        if row.startswith("+++ "):
            path = row[6:] if row.startswith("+++ b/") else None
        elif row.startswith("@@") and path and path.endswith((".cpp", ".h")):
            first, _, count = re.search(r"\+(\d+)(,(\d+))?", row).groups()
            count = 1 if count is None else int(count)
            lines.setdefault(path, set()).update(range(int(first), int(first) + count))
    return lines


def exe_only(path):
    return path.startswith(EXE_ONLY)


def selected_lines(args):
    if args.changed:
        return changed_lines(args.changed)
    selection = {}
    targets = args.files or [os.path.join(folder, name) for folder in PRODUCT
                             for name in sorted(os.listdir(os.path.join(ROOT, folder)))
                             if name.endswith((".cpp", ".h"))]
    for target in targets:
        path, _, span = target.partition(":")
        first, _, last = span.partition("-")
        lines = set(range(int(first), int(last or first) + 1)) if span else None
        if lines is None or selection.get(path, set()) is None:
            selection[path] = None  # the whole file
        else:
            selection[path] = selection.get(path, set()) | lines
    return selection


def all_mutants(selection):
    mutants = []
    for path, numbers in sorted(selection.items()):
        with open(os.path.join(ROOT, path), encoding="utf-8") as source:
            for number, line in enumerate(source.read().split("\n"), 1):
                if numbers is None or number in numbers:
                    mutants.extend(line_mutants(path, number, line))
    return mutants


class Workspace:
    """A copy of the tree with its own host build of the unit tests."""

    def __init__(self, work, sanitize, timeout):
        self.source = os.path.join(work, "src")
        self.build = os.path.join(work, "host")
        self.work = work
        self.win64 = os.path.join(work, "win64")
        self.timeout = timeout
        self.durations = {}  # check name: seconds on the unchanged tree
        if os.path.isdir(self.source):
            shutil.rmtree(self.source)
        shutil.copytree(ROOT, self.source, ignore=shutil.ignore_patterns("build", ".git"))
        subprocess.run(["cmake", "-S", self.source, "-B", self.build, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Debug", "-DBUILD_TESTING=ON", "-DBITSET_WIN64_DIR=" + self.win64,
                        "-DBITSET_SANITIZE=" + ("ON" if sanitize else "OFF")] + LAUNCHER,
                       check=True, stdout=subprocess.DEVNULL)

    def quiet(self, command, timeout=None):
        """True when the command succeeds within its time; raises TimeoutExpired."""
        return subprocess.run(command, cwd=self.source, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode == 0

    def ctest(self, pattern, timeout):
        return self.quiet(["ctest", "--test-dir", self.build, "-R", pattern], timeout)

    def limit(self, name):
        """Seconds a run of the named check may take: an endless loop is killed."""
        if self.timeout:
            return self.timeout
        return max(30, 10 * self.durations[name]) if name in self.durations else None

    def make(self, directory, *targets):
        """Builds, two compilers at most (two cores are shared)."""
        command = ["cmake", "--build", directory, "--parallel", "2"]
        return self.quiet(command + (["--target"] + list(targets) if targets else []))

    def verdicts(self, path):
        """The checks that judge a mutant of path, in order: (name, check)."""
        if exe_only(path):
            return [("build win64", self.build_win64),
                    ("build tools", lambda: self.make(self.build, "sgio_preload")),
                    ("wine", lambda: self.ctest(r"^(wine\.|exe\.imports\.win64$)",
                                                self.limit("wine")))]
        unit_tests = os.path.join(self.build, "unit_tests")
        checks = [("build", lambda: self.make(self.build, "unit_tests")),
                  ("unit tests", lambda: self.quiet([unit_tests, "--gtest_brief=1"],
                                                    self.limit("unit tests")))]
        if path.startswith(CLI):
            checks += [("build cli", lambda: self.make(self.build, "bitset", "sgio_preload")),
                       ("cli", lambda: self.ctest(r"^cli\.journeys\.host$", self.limit("cli")))]
        for build, checkers in STATIC_CHECKS.get(path, []):
            checks += [("static checks " + build, lambda build=build, checkers=checkers: self.quiet(
                ["ninja", "-C", self.configured(build), "-j2"] + checkers))]
        return checks

    def configured(self, build):
        """The folder of a Windows build of the copy, configured."""
        folder = os.path.join(self.work, build)
        if not os.path.isdir(folder):
            subprocess.run(["cmake", "-S", self.source, "-B", folder, "-G", "Ninja",
                            "-DCMAKE_BUILD_TYPE=MinSizeRel", "-DCMAKE_TOOLCHAIN_FILE=" +
                            os.path.join(self.source, "cmake", TOOLCHAINS[build])] + LAUNCHER,
                           check=True, stdout=subprocess.DEVNULL)
        return folder

    def build_win64(self):
        return self.make(self.configured("win64"))

    def outcome(self, path="", calibrate=False):
        """"killed", "survived", "not built" or "timeout" for the tree as it is;
        on the unchanged tree (calibrate), also how long each check takes."""
        for name, check in self.verdicts(path):
            started = time.time()
            try:
                if not check():
                    return "not built" if name.startswith("build") else "killed"
            except subprocess.TimeoutExpired:
                return "timeout"
            if calibrate:
                self.durations[name] = max(self.durations.get(name, 0), time.time() - started)
        return "survived"

    def run(self, mutant):
        path, number, _, new_line = mutant
        target = os.path.join(self.source, path)
        with open(target, encoding="utf-8") as source:
            original = source.read()
        lines = original.split("\n")
        lines[number - 1] = new_line
        with open(target, "w", encoding="utf-8") as source:
            source.write("\n".join(lines))
        try:
            return self.outcome(path)
        finally:
            with open(target, "w", encoding="utf-8") as source:
                source.write(original)


def main():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("files", nargs="*")
    parser.add_argument("--changed")
    parser.add_argument("--sample", type=int)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--no-sanitize", action="store_true")
    parser.add_argument("--no-wine", action="store_true")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "mutation"))
    parser.add_argument("--timeout", type=int, default=0)
    args = parser.parse_args()

    mutants = all_mutants(selected_lines(args))
    if args.no_wine:
        mutants = [mutant for mutant in mutants if not exe_only(mutant[0])]
    if args.sample is not None and args.sample < len(mutants):
        mutants = sorted(random.Random(args.seed).sample(mutants, args.sample))
    if args.list:
        for path, number, name, new_line in mutants:
            print("%s:%d: %s%s" % (path, number, name, new_line and ": " + new_line.strip()))
        return 0

    workspace = Workspace(os.path.abspath(args.work), not args.no_sanitize, args.timeout)
    # The unchanged tree first, once for each kind of judge the mutants need.
    kinds = {}
    for path, _, _, _ in mutants:
        kinds.setdefault(tuple(name for name, _ in workspace.verdicts(path)), path)
    for path in kinds.values():
        if workspace.outcome(path, calibrate=True) != "survived":
            print("the tests fail before any change: fix them first (%s)" % path)
            return 2
    counts = {}
    for index, mutant in enumerate(mutants, 1):
        started = time.time()
        result = workspace.run(mutant)
        counts[result] = counts.get(result, 0) + 1
        path, number, name, new_line = mutant
        print("[%d/%d] %-9s %s:%d: %s%s (%.0f s)" % (
            index, len(mutants), result, path, number, name,
            new_line and ": " + new_line.strip(), time.time() - started), flush=True)
    tried = counts.get("killed", 0) + counts.get("survived", 0) + counts.get("timeout", 0)
    print("\n%d mutants: %s" % (len(mutants), ", ".join(
        "%d %s" % (count, name) for name, count in sorted(counts.items()))))
    if tried:
        print("noticed: %d of %d that built (%.0f%%)" % (
            tried - counts.get("survived", 0), tried,
            100.0 * (tried - counts.get("survived", 0)) / tried))
    return 0


if __name__ == "__main__":
    sys.exit(main())
