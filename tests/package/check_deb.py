#!/usr/bin/env python3
"""Installs the Debian package into a scratch root and checks what a user gets.

    check_deb.py DIST_DIR CLI_DIR

DIST_DIR holds bitset_VERSION-1_amd64.deb (scripts/package-deb.sh makes it
from the cli build in CLI_DIR). The package must hold the program, its manual
page, its bash completion and the help pages, the same files that
`cmake --install` puts below a prefix; its dependencies must be the ones
dpkg-shlibdeps finds; the installed program must run, its page must format
without warnings, and both must cover every option the program's --help
names. lintian may report only the tags that docs/packaging.md justifies.
"""

import glob
import os
import re
import shlex
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DIST_DIR = CLI_DIR = None
PROGRAM = "usr/bin/bitset"
MAN_PAGE = "usr/share/man/man1/bitset.1.gz"
COMPLETION = "usr/share/bash-completion/completions/bitset"
HTML = "usr/share/doc/bitset/html"


def program_version():
    """The version as project() in CMakeLists.txt writes it."""
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as project:
        return re.search(r"project\(Bitset VERSION ([0-9.]+)", project.read()).group(1)


def run(*command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, text=True, **kwargs)


def files_below(top):
    return sorted(os.path.relpath(os.path.join(folder, name), top)
                  for folder, _, names in os.walk(top) for name in names)


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.deb = os.path.join(DIST_DIR, "bitset_%s-1_amd64.deb" % program_version())
        if not os.path.isfile(cls.deb):
            raise AssertionError("%s is missing: make it with ./scripts/package-deb.sh" % cls.deb)
        cls.work = tempfile.TemporaryDirectory()
        cls.root = os.path.join(cls.work.name, "root")
        run("dpkg", "-x", cls.deb, cls.root)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def installed(self, path):
        return os.path.join(self.root, path)

    def test_holds_program_page_completion_and_help_pages(self):
        pages = sorted(os.path.basename(p) for p in glob.glob(os.path.join(ROOT, "help", "*.htm")))
        expected = [PROGRAM, COMPLETION, "usr/share/doc/bitset/changelog.Debian.gz",
                    "usr/share/doc/bitset/copyright", MAN_PAGE] + \
                   ["%s/%s" % (HTML, name) for name in pages + ["style.css"]]
        self.assertEqual(sorted(expected), files_below(self.root))
        for name in pages:
            with open(os.path.join(ROOT, "help", name), "rb") as source, \
                    open(self.installed("%s/%s" % (HTML, name)), "rb") as page:
                self.assertTrue(source.read() == page.read(), name + " differs from help/")

    def test_cmake_install_puts_the_same_files_below_a_prefix(self):
        prefix = os.path.join(self.work.name, "prefix")
        run("cmake", "--install", CLI_DIR, "--prefix", prefix)
        self.assertEqual([path[len("usr/"):] for path in files_below(self.root)],
                         files_below(prefix))

    def test_dependencies_are_the_ones_dpkg_shlibdeps_finds(self):
        depends = run("dpkg-deb", "-f", self.deb, "Depends").stdout.strip()
        # dpkg-shlibdeps reads the package's name from debian/control.
        os.makedirs(os.path.join(self.work.name, "debian"), exist_ok=True)
        with open(os.path.join(self.work.name, "debian", "control"), "w") as control:
            control.write("Source: bitset\n\nPackage: bitset\nArchitecture: any\n")
        found = run("dpkg-shlibdeps", "-O", self.installed(PROGRAM), cwd=self.work.name).stdout
        self.assertEqual("shlibs:Depends=" + depends, found.strip())
        self.assertIn("libc6", depends)

    def test_installed_program_runs(self):
        self.assertEqual("bitset %s\n" % program_version(),
                         run(self.installed(PROGRAM), "--version").stdout)

    def test_page_and_completion_cover_every_option_of_the_program(self):
        page = run("man", "--warnings", "-l", self.installed(MAN_PAGE),
                   env=dict(os.environ, MANPAGER="cat", MANWIDTH="80", LC_ALL="C.UTF-8"))
        self.assertEqual("", page.stderr, "groff warnings")
        self.assertIn("bitset - read and change the book type", page.stdout)
        # The page breaks lines at hyphens where it must; join them again.
        text = re.sub(r"\u2010\n\s*", "", page.stdout)
        with open(self.installed(COMPLETION)) as completion:
            completion = completion.read()
        usage = run(self.installed(PROGRAM), "--help").stdout
        options = set(re.findall(r"(?<![\w-])(--?[a-z][a-z+-]*)", usage))
        self.assertTrue({"--plus-r", "--yes", "--json", "--version"} <= options, usage)
        for option in sorted(options):
            self.assertRegex(text, r"(?<![\w-])%s(?![\w-])" % re.escape(option),
                             "the manual page does not name " + option)
            self.assertTrue(re.search(r"[ \"]%s[ \"]" % re.escape(option), completion),
                            "the completion does not offer " + option)

    def test_completion_offers_commands_options_values_and_devices(self):
        # One offer a line; a name that ran a command leaves /dev/pwned behind.
        script = ('. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _bitset; '
                  'for w in "${COMPREPLY[@]}"; do printf "%s\\n" "$w"; done; [ ! -e /dev/pwned ] || echo PWNED')
        hostile = ["/dev/sg a b", "/dev/sg$(touch pwned)", "/dev/sg*", "/dev/sr'q\"`touch pwned`"]
        rows = [
            (["bitset", ""], "list show set disc help"),
            (["bitset", "s"], "show set"),
            (["bitset", "set", "/dev/sg1", "--plus-r", ""], "dvd+r dvd-rom"),
            (["bitset", "set", "/dev/sg1", "--plus-rw", "="], "dvd+rw dvd-rom"),
            (["bitset", "set", "/dev/sg1", "--plus-r", "=", "dvd-"], "dvd-rom"),
            (["bitset", "set", "/dev/sg1", "--plus-r", "dvd-rom", "--d"], "--dry-run"),
            (["bitset", "show", "/dev/sg1", "--y"], ""),
            (["bitset", "show", "/dev/sg1", ""], ""),
            (["bitset", "-v", "set", "/dev/s"], "/dev/sg0 /dev/sg1 /dev/sr0"),
            (["bitset", "show", ""], "/dev/sg0 /dev/sg1 /dev/sr0"),
            (["bitset", "disc", "/dev/sr"], "/dev/sr0"),
            (["bitset", "set", "--plus-r", "=", "dvd-rom", "/dev/sr"], "/dev/sr0"),
        ]
        # Hostile names: each one offer, as it is, and nothing in it runs.
        hostile_rows = [
            (["bitset", "show", "/dev/s"],
             sorted(hostile[:3]) + ["/dev/sg0", "/dev/sg1", hostile[3], "/dev/sr0"]),
            (["bitset", "show", "/dev/sg\\ "], [hostile[0]]),
            (["bitset", "show", "'/dev/sg$"], [hostile[1]]),
            (["bitset", "show", "\"/dev/sr'"], [hostile[3]]),
        ]
        rows = [row + ([],) for row in rows] + [row + (hostile,) for row in hostile_rows]
        # Device nodes of its own: a private /dev in a mount namespace.
        setup = ("mount -t tmpfs none /dev && ln -s /proc/self/fd /dev/fd && cd /dev && "
                 "touch /dev/sg0 /dev/sg1 /dev/sr0 /dev/sda %s && ")
        for words, expected, names in rows:
            command = setup % " ".join(map(shlex.quote, names)) + "exec bash -c %s - %s %s" % (
                shlex.quote(script), self.installed(COMPLETION), " ".join(map(shlex.quote, words)))
            result = subprocess.run(["unshare", "-m", "sh", "-c", command],
                                    capture_output=True, text=True, env=dict(os.environ, LC_ALL="C"))
            if result.returncode != 0:
                self.skipTest("no mount namespace here: " + result.stderr.strip())
            offered = result.stdout.splitlines()
            self.assertEqual(expected if isinstance(expected, list) else expected.split(), offered,
                             words)

    def test_lintian_reports_only_justified_tags(self):
        result = subprocess.run(["lintian", "--no-cfg", "--display-info", self.deb],
                                capture_output=True, text=True)
        tags = set(re.findall(r"^[EWIPX]: bitset[^:]*: (\S+)", result.stdout, re.M))
        with open(os.path.join(ROOT, "docs", "packaging.md")) as docs:
            justified = set(re.findall(r"^\| `([a-z0-9-]+)` \|", docs.read(), re.M))
        self.assertEqual(set(), tags - justified, "lintian says:\n" + result.stdout)
        if not tags:
            self.assertEqual(0, result.returncode, "lintian failed:\n" + result.stderr)


def main():
    global DIST_DIR, CLI_DIR
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    DIST_DIR, CLI_DIR = sys.argv[1:]
    suite = unittest.TestLoader().loadTestsFromTestCase(DebianPackage)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
