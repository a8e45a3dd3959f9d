#!/usr/bin/env python3
"""Unpacks the release package and checks what a Windows user gets.

    check_package.py DIST_DIR WIN32_DIR

DIST_DIR holds bitset-VERSION-win32.zip and its .sha256 file
(scripts/package.sh makes them); WIN32_DIR is the release build they come
from. The zip must hold exactly Bitset.exe, help.chm and README.txt; the exe
must be the 32-bit release build, help.chm the one built beside it, README.txt
plain text with Windows line ends; the checksum file must match the zip.
"""

import hashlib
import os
import re
import struct
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DIST_DIR = WIN32_DIR = None

IMAGE_FILE_MACHINE_I386 = 0x014C
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2


def program_version():
    """The version as project() in CMakeLists.txt writes it."""
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as project:
        return re.search(r"project\(Bitset VERSION ([0-9.]+)", project.read()).group(1)


def pe_header(data):
    """Machine and subsystem of a PE image."""
    if data[:2] != b"MZ":
        raise AssertionError("not an executable: no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise AssertionError("not a PE image")
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    optional = pe + 24
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    return machine, subsystem


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.name = "bitset-%s-win32.zip" % program_version()
        cls.zip_path = os.path.join(DIST_DIR, cls.name)
        if not os.path.isfile(cls.zip_path):
            raise AssertionError("%s is missing: make it with ./scripts/package.sh" % cls.zip_path)
        cls.work = tempfile.TemporaryDirectory()
        with zipfile.ZipFile(cls.zip_path) as archive:
            if archive.testzip() is not None:
                raise AssertionError("%s has a damaged member" % cls.zip_path)
            cls.names = archive.namelist()
            archive.extractall(cls.work.name)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def unpacked(self, name):
        with open(os.path.join(self.work.name, name), "rb") as member:
            return member.read()

    def built(self, name):
        with open(os.path.join(WIN32_DIR, name), "rb") as member:
            return member.read()

    def test_holds_the_program_its_help_and_readme_at_the_top(self):
        self.assertEqual(["Bitset.exe", "help.chm", "README.txt"], self.names)

    def test_exe_is_the_32_bit_release_build(self):
        exe = self.unpacked("Bitset.exe")
        self.assertEqual((IMAGE_FILE_MACHINE_I386, IMAGE_SUBSYSTEM_WINDOWS_GUI), pe_header(exe))
        self.assertTrue(exe == self.built("Bitset.exe"), "not the Bitset.exe of " + WIN32_DIR)

    def test_help_is_the_one_built_beside_the_exe(self):
        chm = self.unpacked("help.chm")
        self.assertEqual(b"ITSF", chm[:4])
        self.assertTrue(chm == self.built("help.chm"), "not the help.chm of " + WIN32_DIR)

    def test_readme_is_plain_text_with_windows_line_ends(self):
        text = self.unpacked("README.txt")
        text.decode("ascii")
        self.assertTrue(text.endswith(b"\r\n"))
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "a line ends without CR")
        self.assertEqual(text.count(b"\r"), text.count(b"\r\n"), "a CR without LF")
        with open(os.path.join(ROOT, "release", "README.txt"), "rb") as source:
            self.assertEqual(source.read().replace(b"\r\n", b"\n"), text.replace(b"\r\n", b"\n"))
        for heading in (b"What it is", b"Which systems", b"What it needs", b"How to use it",
                        b"Safety", b"Troubleshooting"):
            self.assertIn(b"\r\n" + heading + b"\r\n", text)

    def test_checksum_file_matches_the_zip(self):
        with open(self.zip_path + ".sha256", encoding="ascii") as checksum:
            line = checksum.read()
        with open(self.zip_path, "rb") as archive:
            digest = hashlib.sha256(archive.read()).hexdigest()
        # As sha256sum writes it, so that `sha256sum -c` checks it.
        self.assertEqual("%s  %s\n" % (digest, self.name), line)


def main():
    global DIST_DIR, WIN32_DIR
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    DIST_DIR, WIN32_DIR = sys.argv[1:]
    suite = unittest.TestLoader().loadTestsFromTestCase(Package)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
