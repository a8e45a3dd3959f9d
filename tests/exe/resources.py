#!/usr/bin/env python3
"""The resources of the built Bitset.exe files, read back from the PE.

The expected resources are built from the sources, never from an exe: the
resource script res/Bitset.rc (with res/resource.h and res/Bitset.ico) is
read by a small parser of its own and encoded here in the binary forms
Windows reads (dialog templates, string table blocks, icon groups, version
information). Each resource of the exe must equal its expected bytes, and
the exe must hold no other resource. The values the system fixes whatever
the script says (languages, icon formats, the version's fixed part and
strings) are checked against the script as well.

    resources.py EXE...

It needs the pefile module of Debian's python3-pefile.
"""

import os
import re
import struct
import sys
import unittest

import pefile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RES = os.path.join(ROOT, "res")

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 5, 6, 14, 16

# The Windows constants the script uses, as <windows.h> defines them.
CONSTANTS = {
    "WS_POPUP": 0x80000000, "WS_CHILD": 0x40000000, "WS_VISIBLE": 0x10000000,
    "WS_DISABLED": 0x08000000, "WS_CAPTION": 0x00C00000, "WS_BORDER": 0x00800000,
    "WS_VSCROLL": 0x00200000, "WS_SYSMENU": 0x00080000, "WS_GROUP": 0x00020000,
    "WS_TABSTOP": 0x00010000, "WS_EX_APPWINDOW": 0x00040000,
    "DS_SETFONT": 0x40, "DS_MODALFRAME": 0x80,
    "BS_PUSHBUTTON": 0x0, "BS_DEFPUSHBUTTON": 0x1, "BS_GROUPBOX": 0x7,
    "BS_AUTORADIOBUTTON": 0x9, "CBS_DROPDOWNLIST": 0x3, "SS_LEFT": 0x0, "SS_ICON": 0x3,
    "SS_NOPREFIX": 0x80, "ES_CENTER": 0x1, "ES_READONLY": 0x800,
    "IDOK": 1, "LANG_ENGLISH": 0x09, "SUBLANG_ENGLISH_US": 0x01, "SUBLANG_ENGLISH_AUS": 0x03,
    "VS_FF_PRIVATEBUILD": 0x08, "VOS__WINDOWS32": 0x4, "VFT_APP": 0x1,
}

LANG_US = 0x0409
LANG_AUSTRALIA = 0x0C09


# --- Reading the resource script -------------------------------------------

TOKEN = re.compile(r'\s+|//[^\n]*|^#[^\n]*|"((?:[^"]|"")*)"|([-\w]+)|([,|])', re.M)


def tokens(text):
    """The script as ("str", text) and ("word", text) tokens; commas and bars
    as ("punct", c). Anything else is an error."""
    at = 0
    while at < len(text):
        match = TOKEN.match(text, at)
        if match is None:
            raise ValueError("resource script: cannot read %r" % text[at:at + 20])
        at = match.end()
        if match.group(1) is not None:
            yield ("str", match.group(1).replace('""', '"'))
        elif match.group(2) is not None:
            yield ("word", match.group(2))
        elif match.group(3) is not None:
            yield ("punct", match.group(3))


def read_defines():
    with open(os.path.join(RES, "resource.h"), encoding="ascii") as header:
        return {name: int(value) for name, value in
                re.findall(r"#define\s+(\w+)\s+(\d+)", header.read())}


class Script:
    """The resources the script declares, each with its language."""

    def __init__(self, path):
        with open(path, encoding="cp1252") as script:
            self.tokens = list(tokens(script.read()))
        self.at = 0
        self.names = dict(CONSTANTS, **read_defines())
        self.language = LANG_US  # the compiler's default before any LANGUAGE
        self.dialogs, self.strings, self.icons, self.versions = {}, {}, {}, {}
        while self.at < len(self.tokens):
            self.statement()

    # Tokens
    def peek(self, offset=0):
        index = self.at + offset
        return self.tokens[index] if index < len(self.tokens) else (None, None)

    def take(self, kind=None, value=None):
        token = self.peek()
        if (kind and token[0] != kind) or (value and token[1] != value):
            raise ValueError("resource script: expected %s, found %r" % (value or kind, token))
        self.at += 1
        return token[1]

    def comma(self):
        if self.peek() == ("punct", ","):
            self.at += 1

    def number(self):
        """One number or named constant, or several joined by bars."""
        value = 0
        while True:
            word = self.take("word")
            plain = word.rstrip("Ll") if re.fullmatch(r"-?(0x[0-9a-fA-F]+|\d+)[Ll]?", word) else None
            value |= int(plain, 0) if plain is not None else self.names[word]
            if self.peek() != ("punct", "|"):
                return value
            self.at += 1

    def numbers(self, count):
        values = []
        for _ in range(count):
            values.append(self.number())
            self.comma()
        return values

    # Statements
    def statement(self):
        first = self.take("word")
        if first == "LANGUAGE":
            primary, sub = self.numbers(2)
            self.language = sub << 10 | primary
            return
        if first == "STRINGTABLE":
            self.string_table()
            return
        kind = self.take("word")
        name = self.names[first] if first in self.names else int(first)
        if kind in ("DIALOG", "DIALOGEX"):
            self.dialogs[name] = (self.language, self.dialog(kind == "DIALOGEX"))
        elif kind == "ICON":
            self.icons[name] = (self.language, os.path.join(RES, self.take("str")))
        elif kind == "VERSIONINFO":
            self.versions[name] = (self.language, self.version())
        else:
            raise ValueError("resource script: unknown resource %s" % kind)

    def dialog(self, extended):
        dialog = {"extended": extended, "rect": self.numbers(4), "style": 0, "exstyle": 0,
                  "caption": None, "font": None, "controls": []}
        while self.peek() != ("word", "BEGIN"):
            option = self.take("word")
            if option == "STYLE":
                dialog["style"] = self.number()
            elif option == "EXSTYLE":
                dialog["exstyle"] = self.number()
            elif option == "CAPTION":
                dialog["caption"] = self.take("str")
            elif option == "FONT":
                size = self.number()
                self.comma()
                face = self.take("str")
                self.comma()
                extra = self.numbers(3) if extended and self.peek()[0] == "word" else [0, 0, 1]
                dialog["font"] = (size, face, *extra)
            else:
                raise ValueError("resource script: unknown dialog option %s" % option)
        self.take("word", "BEGIN")
        while self.peek() != ("word", "END"):
            self.take("word", "CONTROL")
            text = self.take("str") if self.peek()[0] == "str" else self.number()
            self.comma()
            control_id = self.number()
            self.comma()
            window_class = self.take("str")
            self.comma()
            style = self.number()
            self.comma()
            dialog["controls"].append((text, control_id, window_class, style, self.numbers(4)))
        self.take("word", "END")
        return dialog

    def string_table(self):
        self.take("word", "BEGIN")
        while self.peek() != ("word", "END"):
            string_id = self.number()
            self.comma()
            self.strings[string_id] = (self.language, self.take("str"))
        self.take("word", "END")

    def version(self):
        fixed = {}
        while self.peek() != ("word", "BEGIN"):
            field = self.take("word")
            fixed[field] = self.numbers(4) if field.endswith("VERSION") else self.number()
        return fixed, self.version_block()

    def version_block(self):
        """BLOCK and VALUE statements between BEGIN and END, as a list of
        (kind, name, content)."""
        self.take("word", "BEGIN")
        items = []
        while self.peek() != ("word", "END"):
            kind = self.take("word")
            name = self.take("str")
            if kind == "BLOCK":
                items.append(("BLOCK", name, self.version_block()))
                continue
            self.take("punct", ",")
            if self.peek()[0] == "str":
                items.append(("VALUE", name, self.take("str")))
            else:
                values = [self.number()]
                while self.peek() == ("punct", ","):
                    self.at += 1
                    values.append(self.number())
                items.append(("VALUE", name, values))
        self.take("word", "END")
        return items


# --- Encoding resources as Windows reads them --------------------------------

def utf16z(text):
    return text.encode("utf-16-le") + b"\0\0"


def name_or_ordinal(value):
    if value is None:
        return b"\0\0"
    if isinstance(value, int):
        return struct.pack("<HH", 0xFFFF, value)
    return utf16z(value)


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def dialog_template(dialog):
    """DLGTEMPLATE or DLGTEMPLATEEX with its items. A control class written as
    a quoted string in the script is stored by name, as the tool chain's
    resource compiler stores it (Windows reads names and atoms alike)."""
    x, y, cx, cy = dialog["rect"]
    controls = dialog["controls"]
    if dialog["extended"]:
        data = struct.pack("<HHIIIHhhhh", 1, 0xFFFF, 0, dialog["exstyle"], dialog["style"],
                           len(controls), x, y, cx, cy)
    else:
        data = struct.pack("<IIHhhhh", dialog["style"], dialog["exstyle"], len(controls),
                           x, y, cx, cy)
    data += name_or_ordinal(None) + name_or_ordinal(None) + utf16z(dialog["caption"] or "")
    if dialog["font"] is not None:
        size, face, weight, italic, charset = dialog["font"]
        data += struct.pack("<H", size)
        if dialog["extended"]:
            data += struct.pack("<HBB", weight, italic, charset)
        data += utf16z(face)
    for text, control_id, window_class, style, (x, y, cx, cy) in controls:
        style |= CONSTANTS["WS_CHILD"] | CONSTANTS["WS_VISIBLE"]
        data = pad4(data)
        if dialog["extended"]:
            data += struct.pack("<IIIhhhhi", 0, 0, style, x, y, cx, cy, control_id)
        else:
            data += struct.pack("<IIhhhhH", style, 0, x, y, cx, cy, control_id & 0xFFFF)
        data += name_or_ordinal(window_class)
        data += name_or_ordinal(text) + struct.pack("<H", 0)
    return data


def string_blocks(strings):
    """The string table blocks: block n holds the strings 16 (n - 1) to
    16 n - 1, each as a length and UTF-16 text without terminator."""
    blocks = {}
    for string_id, (language, text) in strings.items():
        block = blocks.setdefault((string_id // 16 + 1, language), [""] * 16)
        block[string_id % 16] = text
    return {key: b"".join(struct.pack("<H", len(text)) + text.encode("utf-16-le")
                          for text in texts)
            for key, texts in blocks.items()}


def icon_file(path):
    """The images of an .ico file: (directory entry fields, image bytes)."""
    with open(path, "rb") as ico:
        data = ico.read()
    reserved, kind, count = struct.unpack_from("<HHH", data)
    assert (reserved, kind) == (0, 1), "not an icon file"
    images = []
    for index in range(count):
        fields = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
        size, offset = fields[6], fields[7]
        images.append((fields[:7], data[offset:offset + size]))
    return images


def version_node(key, value, value_length, text, children):
    """One node of the version information: its length, value length, type
    (1 for text), key, value and children, each part starting on four bytes."""
    data = pad4(struct.pack("<HHH", 0, value_length, 1 if text else 0) + utf16z(key)) + value
    for child in children:
        data = pad4(data) + child
    return struct.pack("<H", len(data)) + data[2:]


def version_children(items):
    nodes = []
    for kind, name, content in items:
        if kind == "BLOCK":
            nodes.append(version_node(name, b"", 0, True, version_children(content)))
        elif isinstance(content, str):
            # A text's value length counts its characters and terminator.
            nodes.append(version_node(name, utf16z(content), len(content) + 1, True, []))
        else:
            words = struct.pack("<%dH" % len(content), *content)
            nodes.append(version_node(name, words, len(words), False, []))
    return nodes


def version_information(fixed, items):
    def dwords(four):
        return four[0] << 16 | four[1], four[2] << 16 | four[3]
    fixed_info = struct.pack("<13I", 0xFEEF04BD, 0x00010000,
                             *dwords(fixed["FILEVERSION"]), *dwords(fixed["PRODUCTVERSION"]),
                             fixed["FILEFLAGSMASK"], fixed["FILEFLAGS"], fixed["FILEOS"],
                             fixed["FILETYPE"], fixed["FILESUBTYPE"], 0, 0)
    return version_node("VS_VERSION_INFO", fixed_info, len(fixed_info), False,
                        version_children(items))


def expected_resources(script):
    """{(type, name, language): bytes} of everything the exe must carry."""
    resources = {}
    for name, (language, dialog) in script.dialogs.items():
        resources[(RT_DIALOG, name, language)] = dialog_template(dialog)
    for (block, language), data in string_blocks(script.strings).items():
        resources[(RT_STRING, block, language)] = data
    for name, (language, (fixed, items)) in script.versions.items():
        resources[(RT_VERSION, name, language)] = version_information(fixed, items)
    return resources


# --- Reading the exe ---------------------------------------------------------

def exe_resources(path):
    """{(type, name, language): bytes} of every resource of the exe."""
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(
        directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    found = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                key = (kind.id if kind.name is None else str(kind.name),
                       name.id if name.name is None else str(name.name), language.id)
                found[key] = pe.get_data(entry.OffsetToData, entry.Size)
    return found


# --- The checks ----------------------------------------------------------------

SCRIPT = Script(os.path.join(RES, "Bitset.rc"))
EXES = []


def hexdiff(actual, expected):
    for index, (a, b) in enumerate(zip(actual, expected)):
        if a != b:
            return "first difference at byte %d: %02X, expected %02X" % (index, a, b)
    return "lengths %d, expected %d" % (len(actual), len(expected))


class ScriptTest(unittest.TestCase):
    """What the system fixes, held against the script the exes are built from."""

    def test_languages_and_identifiers(self):
        self.assertEqual({n: l for n, (l, _) in SCRIPT.dialogs.items()},
                         {100: LANG_US, 102: LANG_US})
        self.assertEqual(SCRIPT.strings, {101: (LANG_US, "&About Sorvel Util...")})
        self.assertEqual({n: l for n, (l, _) in SCRIPT.icons.items()}, {128: LANG_AUSTRALIA})
        self.assertEqual({n: l for n, (l, _) in SCRIPT.versions.items()}, {1: LANG_US})
        self.assertFalse(SCRIPT.dialogs[100][1]["extended"])
        self.assertTrue(SCRIPT.dialogs[102][1]["extended"])

    def test_dialog_fonts(self):
        self.assertEqual(SCRIPT.dialogs[102][1]["font"], (8, "MS Sans Serif", 0, 0, 1))
        self.assertEqual(SCRIPT.dialogs[100][1]["font"][:2], (8, "MS Sans Serif"))

    def test_icon_formats(self):
        formats = [(w, h, colours, planes, bits)
                   for (w, h, colours, _, planes, bits, _), _ in icon_file(SCRIPT.icons[128][1])]
        self.assertEqual(formats, [(32, 32, 16, 1, 4), (16, 16, 16, 1, 4),
                                   (32, 32, 0, 1, 8), (16, 16, 0, 1, 8)])

    def test_version_information(self):
        fixed, items = SCRIPT.versions[1][1]
        self.assertEqual(fixed, {"FILEVERSION": [0, 1, 0, 2], "PRODUCTVERSION": [0, 1, 0, 2],
                                 "FILEFLAGSMASK": 0x3F, "FILEFLAGS": 0x08, "FILEOS": 0x4,
                                 "FILETYPE": 1, "FILESUBTYPE": 0})
        self.assertEqual([(kind, name) for kind, name, _ in items],
                         [("BLOCK", "StringFileInfo"), ("BLOCK", "VarFileInfo")])
        (_, block, fields), = items[0][2]
        self.assertEqual(block, "040904b0")
        values = dict((name, value) for _, name, value in fields)
        self.assertEqual([name for _, name, _ in fields],
                         ["Comments", "CompanyName", "FileDescription", "FileVersion",
                          "InternalName", "LegalCopyright", "LegalTrademarks",
                          "OriginalFilename", "PrivateBuild", "ProductName", "ProductVersion",
                          "SpecialBuild"])
        for empty in ("Comments", "LegalTrademarks", "SpecialBuild"):
            self.assertEqual(values[empty], "")
        for version in ("FileVersion", "ProductVersion"):
            self.assertEqual(values[version], "0, 1, 0, 2")
        self.assertEqual(values["PrivateBuild"], "V1.02")
        self.assertEqual(values["OriginalFilename"], "Bitset.exe")
        self.assertIn("2003", values["LegalCopyright"])
        for text in ("CompanyName", "FileDescription", "InternalName", "ProductName"):
            self.assertTrue(values[text])
        self.assertEqual(items[1][2], [("VALUE", "Translation", [0x409, 1200])])


class ExeTest(unittest.TestCase):
    """Each exe carries exactly the script's resources, byte for byte."""

    def check_each(self, check):
        self.assertTrue(EXES, "no exe given")
        for path in EXES:
            with self.subTest(exe=os.path.relpath(path, ROOT)):
                check(exe_resources(path))

    def test_dialogs_strings_and_version_byte_for_byte(self):
        def check(found):
            for key, expected in expected_resources(SCRIPT).items():
                self.assertIn(key, found)
                self.assertEqual(found[key], expected,
                                 "resource %s: %s" % (key, hexdiff(found[key], expected)))
        self.check_each(check)

    def test_icon_group_and_its_images(self):
        language, path = SCRIPT.icons[128]
        images = icon_file(path)

        def check(found):
            group = found.get((RT_GROUP_ICON, 128, language))
            self.assertIsNotNone(group, "icon group 128 in language %04X" % language)
            self.assertEqual(struct.unpack_from("<HHH", group), (0, 1, len(images)))
            self.assertEqual(len(group), 6 + 14 * len(images))
            for index, (fields, image) in enumerate(images):
                entry = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * index)
                self.assertEqual(entry[:7], fields, "image %d" % (index + 1))
                self.assertEqual(found.get((RT_ICON, entry[7], language)), image,
                                 "image %d as icon %d" % (index + 1, entry[7]))
        self.check_each(check)

    def test_nothing_else(self):
        def check(found):
            expected = set(expected_resources(SCRIPT)) | {(RT_GROUP_ICON, 128, LANG_AUSTRALIA)}
            icons = {key for key in found if key[0] == RT_ICON}
            self.assertEqual(len(icons), len(icon_file(SCRIPT.icons[128][1])))
            self.assertEqual({key for key in icons if key[2] != LANG_AUSTRALIA}, set())
            self.assertEqual(set(found) - icons, expected)
        self.check_each(check)


if __name__ == "__main__":
    EXES.extend(os.path.abspath(arg) for arg in sys.argv[1:] if not arg.startswith("-"))
    unittest.main(argv=[sys.argv[0], "-v"] + [arg for arg in sys.argv[1:] if arg.startswith("-")])
