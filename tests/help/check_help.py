#!/usr/bin/env python3
"""Checks a built help.chm against its sources in help/.

    check_help.py BUILD_DIR...     (each holding Bitset.exe and help.chm)

The file is read back with libchm's own extractor, not with the compiler that
made it: it must be a compiled help file whose system data name the title,
contents, index and first page of help/Bitset.hhp, whose pages are those of
help/ byte for byte, whose contents and index lead only to pages it holds, and
whose every internal link resolves. No page may be empty, and the messages
page must describe every message the program can show, in its exact words.

    check_help.py --unit-tests UNIT_TESTS BUILD_DIR...

also holds what the messages page says Bitset does against the program: each
description names, in its data-tests attribute, the unit tests that prove
it; they must exist and pass.
"""

import configparser
import glob
import html.parser
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
HELP = os.path.join(ROOT, "help")
PRODUCT_DIRS = ("app", "bitset", "devices", "scsi", "ui", "framework")
BUILD_DIRS = []
UNIT_TESTS = None

# Every text the program shows in a message box; %d stands for a number.
MESSAGES = [
    "Aspi & SPTI init failed For SPTI, your login needs administrator rights.",
    "Aspi init failed Uninstall ASPI and install ASPI V4.60 (not later)",
    "Fatal Error In SPTI, try changing to ASPI, Exception %d",
    "Not a QSI / Nu-tek Drive or function unsupported",
    "No Devices found",
    "Error selecting device",
    "Selected device was not found,  list will be reset",
    "EXCEPTION OCCURRED IN CDvdInfoDlg::GetSelectedDevice() -  Exception %d",
    "Fatal Error Getting Selected Device",
    "Wrong firmware revision,  you must upgrade to at least BX03 firmware",
    "Are you sure you want to change the bitsetting?",
    "Error. May not be a QSI / Nu-Tek drive or wrong firmware",
]

# Records of the #SYSTEM file of a compiled help file.
SYSTEM_CONTENTS, SYSTEM_INDEX, SYSTEM_DEFAULT_TOPIC, SYSTEM_TITLE = 0, 1, 2, 3


def project():
    parser = configparser.ConfigParser(allow_no_value=True, delimiters=("=",))
    parser.optionxform = str
    parser.read(os.path.join(HELP, "Bitset.hhp"))
    return parser


def system_records(data):
    """The #SYSTEM file: a version, then records of code, length and data."""
    records = {}
    at = 4
    while at + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, at)
        records[code] = data[at + 4:at + 4 + length]
        at += 4 + length
    if at != len(data):
        raise AssertionError("#SYSTEM ends inside a record")
    return records


def text_record(records, code):
    return records.get(code, b"").split(b"\0", 1)[0].decode("latin-1")


class Links(html.parser.HTMLParser):
    """The links, sitemap entries and visible text of one HTML file."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []
        self.sitemap = []  # (Name, Local) pairs
        self.text = []
        self.title = ""
        self._in = []
        self._entry = {}

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self._in.append(tag)
        for name in ("href", "src"):
            if attrs.get(name):
                self.links.append(attrs[name])
        if tag == "object":
            self._entry = {}
        elif tag == "param" and attrs.get("name") in ("Name", "Local"):
            self._entry[attrs["name"]] = attrs.get("value", "")

    def handle_endtag(self, tag):
        if tag == "object" and "Local" in self._entry:
            self.sitemap.append((self._entry.get("Name", ""), self._entry["Local"]))
        while self._in and self._in.pop() != tag:
            pass

    def handle_data(self, data):
        if "title" in self._in:
            self.title += data
        elif "style" not in self._in:
            self.text.append(data)

    def visible_text(self):
        # As a browser shows it: runs of white space as one blank, while a
        # no-break space stays a blank of its own.
        return re.sub(r"[ \t\r\n]+", " ", "".join(self.text)).replace("\xa0", " ").strip()


def parse(path):
    parser = Links()
    with open(path, encoding="latin-1") as source:
        parser.feed(source.read())
    parser.close()
    return parser


def internal(link):
    parts = urllib.parse.urlsplit(link)
    return not parts.scheme and not parts.netloc, urllib.parse.unquote(parts.path)


class HelpFile(unittest.TestCase):
    build_dir = None

    @classmethod
    def setUpClass(cls):
        cls.chm = os.path.join(cls.build_dir, "help.chm")
        if not os.path.isfile(cls.chm):
            raise AssertionError("%s is missing: the Windows builds make it beside Bitset.exe"
                                 % cls.chm)
        cls.work = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.work.name, "chm")
        result = subprocess.run(["extract_chmLib", cls.chm, cls.out], capture_output=True)
        if result.returncode != 0:
            raise AssertionError("extract_chmLib cannot read %s:\n%s" % (cls.chm, result.stderr))
        cls.project = project()

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def read(self, name):
        with open(os.path.join(self.out, name), "rb") as member:
            return member.read()

    def pages(self):
        return [name for name in self.project["FILES"] if name.endswith(".htm")]

    def test_is_a_compiled_help_file_beside_the_exe(self):
        self.assertTrue(os.path.isfile(os.path.join(self.build_dir, "Bitset.exe")))
        with open(self.chm, "rb") as chm:
            self.assertEqual(b"ITSF", chm.read(4))

    def test_system_data_names_the_projects_title_contents_index_and_first_page(self):
        options = self.project["OPTIONS"]
        records = system_records(self.read("#SYSTEM"))
        self.assertEqual(options["Title"], text_record(records, SYSTEM_TITLE))
        self.assertEqual(options["Contents file"], text_record(records, SYSTEM_CONTENTS))
        self.assertEqual(options["Index file"], text_record(records, SYSTEM_INDEX))
        self.assertEqual(options["Default topic"], text_record(records, SYSTEM_DEFAULT_TOPIC))

    def test_window_type_of_the_project_is_compiled_in(self):
        # The viewer opens in it: placed on the screen, with contents, index
        # and search tabs.
        windows = self.read("#WINDOWS")
        count, _ = struct.unpack_from("<II", windows, 0)
        self.assertEqual(len(self.project["WINDOWS"]), count)

    def test_holds_every_source_file_unchanged(self):
        options = self.project["OPTIONS"]
        names = list(self.project["FILES"]) + [options["Contents file"], options["Index file"]]
        sources = {os.path.basename(path) for path in glob.glob(os.path.join(HELP, "*"))}
        self.assertEqual(sources - {"Bitset.hhp"}, set(names), "help/ and the project's files")
        for name in names:
            with open(os.path.join(HELP, name), "rb") as source:
                self.assertEqual(source.read(), self.read(name), name)

    def test_contents_lists_every_page_once_and_leads_only_to_them(self):
        contents = parse(os.path.join(self.out, self.project["OPTIONS"]["Contents file"]))
        self.assertEqual(sorted(self.pages()), sorted(local for _, local in contents.sitemap))
        for name, local in contents.sitemap:
            self.assertEqual(parse(os.path.join(self.out, local)).title.strip(), name,
                             "the contents name %s by its title" % local)

    def test_index_entries_lead_to_pages(self):
        index = parse(os.path.join(self.out, self.project["OPTIONS"]["Index file"]))
        self.assertGreaterEqual(len(index.sitemap), len(self.pages()))
        for name, local in index.sitemap:
            self.assertIn(local, self.pages(), "index entry %s" % name)

    def test_every_internal_link_resolves(self):
        for page in self.pages():
            for link in parse(os.path.join(self.out, page)).links:
                is_internal, target = internal(link)
                if is_internal:
                    self.assertTrue(os.path.isfile(os.path.join(self.out, target)),
                                    "%s links to %s, which is not in help.chm" % (page, link))

    def test_no_page_is_empty(self):
        for page in self.pages():
            parsed = parse(os.path.join(self.out, page))
            self.assertTrue(parsed.title.strip(), "%s has no title" % page)
            self.assertGreaterEqual(len(parsed.visible_text().split()), 60,
                                    "%s says next to nothing" % page)

    def test_messages_page_quotes_every_message_exactly(self):
        text = parse(os.path.join(self.out, "messages.htm")).visible_text()
        for message in MESSAGES:
            # %d is written as "number" on the page.
            self.assertIn(message.replace("%d", "number"), text)


class ProductMessages(unittest.TestCase):
    """The messages the help describes are the ones in the program."""

    @staticmethod
    def sources():
        """(path, code) of every source file of the program itself."""
        for folder in PRODUCT_DIRS:
            for path in sorted(glob.glob(os.path.join(ROOT, folder, "**", "*.[ch]*"), recursive=True)):
                with open(path, encoding="latin-1") as source:
                    yield path, source.read()

    def literals(self):
        found = []
        for path, code in self.sources():
            found += [(path, m.group(1)) for m in re.finditer(
                r'(?:MessageBox\(\s*(?:FormatString\(\s*)?|failure\s*=\s*)"((?:[^"\\]|\\.)*)"', code)]
        return found

    def test_every_listed_message_is_in_the_program(self):
        sources = "".join(code for _, code in self.sources())
        for message in MESSAGES:
            self.assertTrue('"%s"' % message in sources,
                            "the program no longer shows %r" % message)

    def test_every_message_of_the_program_is_listed(self):
        for path, message in self.literals():
            self.assertIn(message, MESSAGES,
                          "%s shows a message the help does not describe" % path)


class StatedBehaviour(unittest.TestCase):
    """Every description of the messages page names unit tests that pass."""

    def named_tests(self):
        with open(os.path.join(HELP, "messages.htm"), encoding="latin-1") as page:
            source = page.read()
        named = []
        for tag in re.findall(r"<(?:dd|p)\b[^>]*>", source):
            found = re.search(r'data-tests="([^"]*)"', tag)
            if tag.startswith("<dd"):
                self.assertTrue(found and found.group(1).split(), "%s names no test" % tag)
            named += found.group(1).split() if found else []
        return named

    @staticmethod
    def listed_tests():
        listing = subprocess.run([UNIT_TESTS, "--gtest_list_tests"], check=True,
                                 capture_output=True, text=True).stdout
        tests, suite = set(), ""
        for line in listing.splitlines():
            name = line.split("#")[0].strip()
            if not line.startswith(" "):
                suite = name
            elif name:
                tests.add(suite + name)
        return tests

    def test_named_tests_exist_and_pass(self):
        named = self.named_tests()
        self.assertEqual([], sorted(set(named) - self.listed_tests()), "no such unit test")
        result = subprocess.run([UNIT_TESTS, "--gtest_filter=" + ":".join(named)],
                                capture_output=True, text=True)
        for name in set(named):
            self.assertTrue("[       OK ] %s " % name in result.stdout,
                            "%s did not pass:\n%s" % (name, result.stdout[-3000:]))
        self.assertEqual(0, result.returncode, result.stdout[-3000:])


def main():
    global BUILD_DIRS, UNIT_TESTS
    BUILD_DIRS = sys.argv[1:]
    if BUILD_DIRS[:1] == ["--unit-tests"]:
        UNIT_TESTS, BUILD_DIRS = BUILD_DIRS[1], BUILD_DIRS[2:]
    if not BUILD_DIRS:
        sys.exit(__doc__)
    suite = unittest.TestSuite()
    loader = unittest.TestLoader()
    for build_dir in BUILD_DIRS:
        case = type("HelpFile_" + os.path.basename(build_dir.rstrip("/")), (HelpFile,),
                    {"build_dir": build_dir})
        suite.addTests(loader.loadTestsFromTestCase(case))
    suite.addTests(loader.loadTestsFromTestCase(ProductMessages))
    if UNIT_TESTS:
        suite.addTests(loader.loadTestsFromTestCase(StatedBehaviour))
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
