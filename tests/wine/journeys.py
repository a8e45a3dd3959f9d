#!/usr/bin/env python3
"""End-to-end journeys of the real Bitset.exe under Wine.

Each journey starts the x86_64 Bitset.exe in a throwaway Wine prefix on a
private X display, with simulated drives: behind device files through the
SG_IO preload library (the pass-through route) or in the simulated
WNASPI32.DLL (the ASPI route). BitsetDriver.exe, running in the same prefix,
reads the window and acts as the user; the drives' command log tells what
each drive received.

    journeys.py [TestClass[.test_name]...]     (unittest arguments)

Settings, from the environment (ctest passes them):
    BITSET_WIN64_DIR      the win64 build folder (Bitset.exe, tests/, sim/)
    BITSET_SGIO_PRELOAD   the SG_IO preload library of the host build
    BITSET_WINE_WORK      where prefixes and logs go
    BITSET_SCREENSHOTS    where the screenshot test saves its pictures
"""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WIN64_DIR = os.environ.get("BITSET_WIN64_DIR", os.path.join(ROOT, "build", "win64"))
PRELOAD = os.environ.get("BITSET_SGIO_PRELOAD",
                         os.path.join(ROOT, "build", "host", "libbitset-sgio-sim.so"))
WORK = os.environ.get("BITSET_WINE_WORK", os.path.join(ROOT, "build", "wine", "tests"))
SCREENSHOTS = os.environ.get("BITSET_SCREENSHOTS", os.path.join(ROOT, "build", "screenshots"))


def wine_environment():
    """The Wine settings that scripts/wine-env.sh gives every run here."""
    printed = subprocess.run([os.path.join(ROOT, "scripts", "wine-env.sh")], check=True,
                             stdout=subprocess.PIPE, universal_newlines=True).stdout
    return dict(line.split("=", 1) for line in printed.splitlines() if "=" in line)


def resource_ids():
    """The identifiers that res/resource.h defines, by name."""
    with open(os.path.join(ROOT, "res", "resource.h")) as header:
        return {name: int(value, 0)
                for name, value in re.findall(r"^#define\s+(\w+)\s+(\w+)", header.read(), re.M)}


WINE_ENV = wine_environment()
WINE64 = WINE_ENV["WINE64"]
WINESERVER = WINE_ENV["WINESERVER"]

CAPTION = "Sorvel ZezIzurora Utility V1.02"
QSI = "vendor=QSI;product=DVDRW SDW-082;revision=BX03;vendor-commands=1"
QSI_LINE = "QSI     DVDRW SDW-082   "  # INQUIRY vendor and product, 24 characters
PLAIN_CDROM = "vendor=LITEON;product=CD-ROM LTN486S;revision=YS0N;vendor-commands=0"
PLAIN_LINE = "LITEON  CD-ROM LTN486S  "

# The commands, as the drive log shows them.
INQUIRY = "12 00 00 00 4A 00 in 74"
READ_SETTINGS = "F3 0F 02 00 00 00 07 00 80 00 00 00 in 128"


def write_setting(value):
    return "F3 0E 70 %02X 00 00 00 00 00 00 00 00 out 0" % value


# Control ids, and the about entry's system command.
IDS = resource_ids()
DRIVE_BOX = IDS["IDC_DRIVE_BOX"]
PLUS_RW_TEXT = str(IDS["IDC_PLUS_RW_TEXT"])
PLUS_R_TEXT = str(IDS["IDC_PLUS_R_TEXT"])
SET_PLUS_RW = IDS["IDC_SET_PLUS_RW"]
PLUS_R_OWN = IDS["IDC_PLUS_R_OWN"]
PLUS_R_ROM = IDS["IDC_PLUS_R_ROM"]
PLUS_RW_OWN = IDS["IDC_PLUS_RW_OWN"]
PLUS_RW_ROM = IDS["IDC_PLUS_RW_ROM"]
SET_PLUS_R = IDS["IDC_SET_PLUS_R"]
HELP_BUTTON = IDS["IDC_HELP_BUTTON"]
ABOUT_COMMAND = IDS["IDM_ABOUTBOX"]

HELP_TITLE = "Bitset Help"  # the title in help/Bitset.hhp

CONFIRMATION = {"caption": "Are you sure?",
                "text": "Are you sure you want to change the bitsetting?",
                "buttons": ["yes", "no"], "owner": CAPTION}


def require(path, what, how):
    if not os.path.exists(path):
        raise AssertionError("%s is missing: %s\n  %s" % (what, path, how))


def check_tools():
    require(os.path.join(WIN64_DIR, "Bitset.exe"), "the x86_64 Bitset.exe",
            "build it with ./scripts/build.sh win64")
    require(os.path.join(WIN64_DIR, "tests", "BitsetDriver.exe"), "the window driver",
            "build it with ./scripts/build.sh win64")
    require(os.path.join(WIN64_DIR, "help.chm"), "help.chm", "build it with ./scripts/build.sh win64")
    require(os.path.join(WIN64_DIR, "sim", "wnaspi32.dll"), "the simulated WNASPI32.DLL",
            "build it with ./scripts/build.sh win64")
    require(PRELOAD, "the SG_IO preload library", "build it with ./scripts/build.sh host")
    for tool, package in ((WINE64, "wine64"), ("/usr/bin/Xvfb", "xvfb"),
                          ("/usr/bin/import", "imagemagick")):
        require(tool, tool, "install %s: ./scripts/install-deps.sh" % package)


class Display:
    """A private X server for one journey."""

    def __init__(self, log_path):
        read_end, write_end = os.pipe()
        self._log = open(log_path, "wb")
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end)] + WINE_ENV["BITSET_XVFB_ARGS"].split() +
            ["-noreset"], pass_fds=(write_end,), stdout=self._log, stderr=subprocess.STDOUT)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.close()
            raise AssertionError("Xvfb did not start; see %s" % log_path)
        self.name = ":" + number

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self._log.close()


class Session:
    """One Wine prefix with its drives, the running Bitset.exe and its driver."""

    def __init__(self, name, sg_drives=None, aspi_drives=None, version=None, native_aspi=False):
        check_tools()
        self.name = name
        self.dir = os.path.join(WORK, name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.prefix = os.path.join(self.dir, "prefix")
        self.log_path = os.path.join(self.dir, "drive-commands.log")
        self.devices = {}
        self.process = None
        self._log_seen = 0
        self.display = None

        # Drive letter -> (device file, drive config).
        sg_drives = sg_drives or {}
        prefix_args = []
        for letter, config in sorted(sg_drives.items()):
            device = os.path.join(self.dir, "sr-%s" % letter.lower())
            open(device, "wb").close()
            self.devices[letter] = device
            prefix_args += ["--cdrom", "%s:%s" % (letter.lower(), device)]
        if version:
            prefix_args += ["--version", version]
        subprocess.run([os.path.join(ROOT, "scripts", "wine-prefix.sh"), self.prefix] + prefix_args,
                       check=True, stdout=subprocess.DEVNULL)
        self.program_dir = os.path.join(self.prefix, "drive_c", "bitset")
        os.makedirs(self.program_dir)
        shutil.copy(os.path.join(WIN64_DIR, "Bitset.exe"), self.program_dir)
        shutil.copy(os.path.join(WIN64_DIR, "tests", "BitsetDriver.exe"), self.program_dir)
        if native_aspi:
            shutil.copy(os.path.join(WIN64_DIR, "sim", "wnaspi32.dll"), self.program_dir)

        self.display = Display(os.path.join(self.dir, "xvfb.log"))
        self.env = dict(os.environ)
        for variable in ("LD_PRELOAD", "BITSET_SIM_DRIVES", "BITSET_SIM_ASPI", "BITSET_SIM_LOG"):
            self.env.pop(variable, None)
        overrides = WINE_ENV["WINEDLLOVERRIDES"]
        if native_aspi:
            overrides += ";" + WINE_ENV["BITSET_NATIVE_ASPI_OVERRIDE"]
        self.env.update(WINEPREFIX=self.prefix, WINEDEBUG=WINE_ENV["WINEDEBUG"],
                        WINEDLLOVERRIDES=overrides, DISPLAY=self.display.name)
        self.app_env = dict(self.env)
        self.app_env["BITSET_SIM_LOG"] = self.log_path
        if sg_drives:
            self.app_env["LD_PRELOAD"] = PRELOAD
            self.app_env["BITSET_SIM_DRIVES"] = "|".join(
                "%s=%s" % (self.devices[letter], config) for letter, config in sorted(sg_drives.items()))
        if aspi_drives:
            self.app_env["BITSET_SIM_ASPI"] = "|".join(
                "%s=%s" % (address, config) for address, config in sorted(aspi_drives.items()))

    # --- The program -------------------------------------------------------
    def start(self):
        self._app_out = open(os.path.join(self.dir, "bitset.out"), "wb")
        self.process = subprocess.Popen([WINE64, "C:\\bitset\\Bitset.exe"], cwd=self.program_dir,
                                        env=self.app_env, stdout=self._app_out,
                                        stderr=subprocess.STDOUT)

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("Bitset.exe did not end within %d s" % timeout)

    def drive(self, *steps, timeout=60):
        """Runs the driver's steps; returns the JSON lines it printed."""
        # Files, not pipes: Wine's helper processes that a program happens to
        # start inherit its output and would keep a pipe open.
        out_path = os.path.join(self.dir, "driver.out")
        err_path = os.path.join(self.dir, "driver.err")
        with open(out_path, "wb") as out_file, open(err_path, "wb") as err_file:
            try:
                returncode = subprocess.run(
                    [WINE64, "C:\\bitset\\BitsetDriver.exe"] + [str(s) for s in steps],
                    cwd=self.program_dir, env=self.env, stdout=out_file, stderr=err_file,
                    timeout=timeout).returncode
            except subprocess.TimeoutExpired:
                returncode = None
        with open(out_path, "rb") as out_file, open(err_path, "rb") as err_file:
            out = out_file.read().decode("utf-8", "replace")
            err = err_file.read().decode("utf-8", "replace")
        if returncode != 0:
            raise AssertionError("driver steps %s %s:\n%s%s\nBitset.exe output:\n%s"
                                 % (list(steps), "timed out" if returncode is None
                                    else "failed (exit %d)" % returncode, out, err,
                                    self.app_output()))
        return [json.loads(line) for line in out.splitlines() if line.strip()]

    def app_output(self):
        try:
            with open(os.path.join(self.dir, "bitset.out"), "rb") as output:
                return output.read().decode("utf-8", "replace")
        except OSError:
            return ""

    # --- The drives ----------------------------------------------------------
    def new_commands(self):
        """The commands the drives received since the last call, one string each."""
        try:
            with open(self.log_path) as log:
                lines = log.read().splitlines()
        except FileNotFoundError:
            lines = []
        fresh = lines[self._log_seen:]
        self._log_seen = len(lines)
        return fresh

    def open_device_files(self):
        """Open descriptors, in Bitset.exe and the wineserver, of the simulated
        device files and of the C: folder that \\\\.\\C: opens."""
        found = []
        pids = [self.process.pid] + self._wineserver_pids()
        targets = {os.path.realpath(path) for path in self.devices.values()}
        targets.add(os.path.realpath(os.path.join(self.prefix, "drive_c")))
        for pid in pids:
            fd_dir = "/proc/%d/fd" % pid
            try:
                names = os.listdir(fd_dir)
            except OSError:
                continue
            for name in names:
                try:
                    target = os.readlink(os.path.join(fd_dir, name))
                except OSError:
                    continue
                if target in targets:
                    found.append("%d:%s" % (pid, target))
        return found

    def _wineserver_pids(self):
        pids = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as cmdline:
                    if b"wineserver" not in cmdline.read():
                        continue
                with open("/proc/%s/environ" % entry, "rb") as environ:
                    if ("WINEPREFIX=%s" % self.prefix).encode() in environ.read().split(b"\0"):
                        pids.append(int(entry))
            except OSError:
                continue
        return pids

    # --- The screen ----------------------------------------------------------
    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-display", self.display.name, "-window", "root", path],
                       check=True, timeout=30)

    def close(self):
        if self.process is not None and self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()
        subprocess.run([WINESERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        if self.process is not None:
            self._app_out.close()
        if self.display is not None:
            self.display.close()


class Journey(unittest.TestCase):
    maxDiff = None

    def session(self, **kwargs):
        session = Session(self.id().split(".", 1)[1].replace(".", "-"), **kwargs)
        self.addCleanup(session.close)
        return session

    def assert_confirmation_then(self, session, button, answer):
        """Presses a set button and answers the question with `answer`."""
        box, = session.drive("click", button, "wait-msgbox", 10000)
        self.assertEqual(CONFIRMATION, box)
        session.drive("answer", answer)

    def assert_no_message_box(self, session):
        self.assertEqual([None], session.drive("msgbox"))

    def assert_ends_with_message(self, session, text):
        """The program shows `text`, never its window, and ends with 0 after OK."""
        box, = session.drive("wait-msgbox", 20000)
        self.assertEqual("Bitset", box["caption"])
        self.assertEqual(text, box["text"])
        self.assertEqual(["ok"], box["buttons"])
        session.drive("answer", "ok")
        self.assertEqual(0, session.wait_exit())

    def close_and_wait(self, session):
        session.drive("close", "wait-gone", 10000)
        self.assertEqual(0, session.wait_exit())


class PassThroughRoute(Journey):
    """The NT family: drives found by letter, commands through SG_IO."""

    def test_qsi_writer_book_types_are_read_and_set(self):
        s = self.session(sg_drives={"D": QSI + ";settings=0x00"})
        s.start()
        state, = s.drive("wait-window", "state")
        # C: is a folder drive: opened, refused by the pass-through, left out.
        self.assertEqual([QSI_LINE + " (D:)"], state["drives"])
        self.assertEqual(0, state["selected"])
        self.assertEqual({PLUS_R_TEXT: "DVD-ROM", PLUS_RW_TEXT: "DVD+RW"}, state["text"])
        self.assertEqual({"1333": True, "1334": False, "1335": True, "1336": False}, state["checked"])
        self.assertEqual({"1337": True, "1319": True}, state["enabled"])
        self.assert_no_message_box(s)
        self.assertEqual([s.devices["D"] + " " + c + " good" for c in
                          (INQUIRY, READ_SETTINGS, READ_SETTINGS, READ_SETTINGS)], s.new_commands())

        # +R as DVD-ROM, confirmed: one write, then the settings are read back.
        state, = s.drive("click", PLUS_R_ROM, "state")
        self.assertEqual({"1333": False, "1334": True, "1335": True, "1336": False}, state["checked"])
        self.assertEqual([], s.new_commands())
        self.assert_confirmation_then(s, SET_PLUS_R, "yes")
        self.assertEqual([s.devices["D"] + " " + write_setting(0xD1) + " good",
                          s.devices["D"] + " " + READ_SETTINGS + " good"], s.new_commands())

        # Declined: nothing is sent.
        self.assert_confirmation_then(s, SET_PLUS_R, "no")
        self.assertEqual([], s.new_commands())

        # +RW as DVD-ROM: the field follows the drive's new settings.
        s.drive("click", PLUS_RW_ROM)
        self.assert_confirmation_then(s, SET_PLUS_RW, "yes")
        self.assertEqual([s.devices["D"] + " " + write_setting(0xE2) + " good",
                          s.devices["D"] + " " + READ_SETTINGS + " good"], s.new_commands())
        state, = s.drive("state")
        self.assertEqual({PLUS_R_TEXT: "DVD-ROM", PLUS_RW_TEXT: "DVD-ROM"}, state["text"])
        self.assertEqual({"1333": False, "1334": True, "1335": False, "1336": True}, state["checked"])

        # Back to DVD+R for +R: 0xD0 clears bit 0 of 0x03.
        s.drive("click", PLUS_R_OWN)
        self.assert_confirmation_then(s, SET_PLUS_R, "yes")
        self.assertEqual([s.devices["D"] + " " + write_setting(0xD0) + " good",
                          s.devices["D"] + " " + READ_SETTINGS + " good"], s.new_commands())
        state, = s.drive("state")
        self.assertEqual({PLUS_R_TEXT: "DVD+R", PLUS_RW_TEXT: "DVD-ROM"}, state["text"])

        # The device is opened for each command only: nothing stays open.
        self.assertEqual([], s.open_device_files())
        self.close_and_wait(s)
        self.assertEqual([], s.new_commands())

    def test_drive_without_vendor_commands_offers_nothing_to_set(self):
        s = self.session(sg_drives={"D": PLAIN_CDROM})
        s.start()
        state, = s.drive("wait-window", "state")
        self.assertEqual([PLAIN_LINE + " (D:)"], state["drives"])
        self.assertEqual({PLUS_R_TEXT: "------", PLUS_RW_TEXT: "------"}, state["text"])
        self.assertEqual({"1337": False, "1319": False}, state["enabled"])
        # The first drive that does not answer is passed over without a word.
        self.assert_no_message_box(s)
        dev = s.devices["D"] + " "
        self.assertEqual([dev + INQUIRY + " good",
                          dev + READ_SETTINGS + " check 5/20/00",
                          dev + READ_SETTINGS + " check 5/20/00"], s.new_commands())
        self.assertEqual([], s.open_device_files())
        self.close_and_wait(s)

    def test_only_answering_cd_dvd_drives_are_listed(self):
        s = self.session(sg_drives={"D": "type=0;vendor=ATA;product=ST380011A;vendor-commands=0",
                                    "E": QSI, "F": QSI + ";inquiry-fails=1"})
        s.start()
        state, = s.drive("wait-window", "state")
        self.assertEqual([QSI_LINE + " (E:)"], state["drives"])
        self.assertEqual({PLUS_R_TEXT: "DVD-ROM", PLUS_RW_TEXT: "DVD+RW"}, state["text"])
        self.assert_no_message_box(s)
        self.assertEqual([s.devices["D"] + " " + INQUIRY + " good",
                          s.devices["E"] + " " + INQUIRY + " good",
                          s.devices["F"] + " " + INQUIRY + " check 2/04/00"]
                         + [s.devices["E"] + " " + READ_SETTINGS + " good"] * 3, s.new_commands())
        self.assertEqual([], s.open_device_files())
        self.close_and_wait(s)

    def test_changing_drives_follows_each_drive(self):
        s = self.session(sg_drives={"D": PLAIN_CDROM, "E": QSI + ";settings=0x03"})
        s.start()
        state, = s.drive("wait-window", "state")
        self.assertEqual([PLAIN_LINE + " (D:)", QSI_LINE + " (E:)"], state["drives"])
        self.assertEqual({"1337": False, "1319": False}, state["enabled"])
        s.new_commands()

        state, = s.drive("select", 1, "state")
        self.assertEqual({PLUS_R_TEXT: "DVD-ROM", PLUS_RW_TEXT: "DVD-ROM"}, state["text"])
        self.assertEqual({"1337": True, "1319": True}, state["enabled"])
        self.assert_no_message_box(s)
        self.assertEqual([s.devices["E"] + " " + READ_SETTINGS + " good"] * 2, s.new_commands())

        # A set goes to the drive chosen, not to the first one.
        self.assert_confirmation_then(s, SET_PLUS_R, "yes")
        self.assertEqual([s.devices["E"] + " " + write_setting(0xD0) + " good",
                          s.devices["E"] + " " + READ_SETTINGS + " good"], s.new_commands())
        state, = s.drive("state")
        self.assertEqual({PLUS_R_TEXT: "DVD+R", PLUS_RW_TEXT: "DVD-ROM"}, state["text"])

        # Back to the drive without vendor commands: now it is said.
        s.drive("select", 0)
        box, = s.drive("wait-msgbox", 10000)
        self.assertEqual({"caption": "Bitset",
                          "text": "Not a QSI / Nu-tek Drive or function unsupported",
                          "buttons": ["ok"], "owner": CAPTION}, box)
        s.drive("answer", "ok")
        state, = s.drive("state")
        self.assertEqual({PLUS_R_TEXT: "------", PLUS_RW_TEXT: "------"}, state["text"])
        self.assertEqual({"1337": False, "1319": False}, state["enabled"])
        self.assertEqual([], s.open_device_files())
        self.close_and_wait(s)

    def test_old_firmware_is_refused_before_anything_is_sent(self):
        s = self.session(sg_drives={"D": QSI + ";revision=BX02"})
        s.start()
        state, = s.drive("wait-window", "state")
        self.assertEqual({"1337": True, "1319": True}, state["enabled"])
        s.new_commands()
        box, = s.drive("click", SET_PLUS_RW, "wait-msgbox", 10000)
        self.assertEqual({"caption": "Bitset",
                          "text": "Wrong firmware revision,  you must upgrade to at least BX03 firmware",
                          "buttons": ["ok"], "owner": CAPTION}, box)
        s.drive("answer", "ok")
        self.assertEqual([], s.new_commands())
        self.close_and_wait(s)

    def test_refused_write_is_reported_and_ends_the_program(self):
        s = self.session(sg_drives={"D": QSI + ";write-fails=1"})
        s.start()
        s.drive("wait-window")
        s.new_commands()
        self.assert_confirmation_then(s, SET_PLUS_R, "yes")
        box, = s.drive("wait-msgbox", 10000)
        self.assertEqual({"caption": "Bitset",
                          "text": "Error. May not be a QSI / Nu-Tek drive or wrong firmware",
                          "buttons": ["ok"], "owner": CAPTION}, box)
        s.drive("answer", "ok")
        self.assertEqual(0, s.wait_exit())
        dev = s.devices["D"] + " "
        self.assertEqual([dev + write_setting(0xD0) + " check 5/24/00", dev + READ_SETTINGS + " good"],
                         s.new_commands())

    def test_no_drive_at_all_ends_with_the_reason(self):
        # Only the C: folder drive, and Wine's own WNASPI32 without adapters.
        s = self.session()
        s.start()
        self.assert_ends_with_message(
            s, "Aspi & SPTI init failed For SPTI, your login needs administrator rights.")
        self.assertEqual([], s.new_commands())


class AspiRoute(Journey):
    """The 9x family: drives found by scanning the ASPI library's buses."""

    def test_qsi_writer_found_on_the_bus_and_set(self):
        s = self.session(aspi_drives={"0:1:0": QSI + ";settings=0x00"}, version="win98",
                         native_aspi=True)
        s.start()
        state, = s.drive("wait-window", "state")
        self.assertEqual(["0:1:0  CD/DVD " + QSI_LINE], state["drives"])
        self.assertEqual({PLUS_R_TEXT: "DVD-ROM", PLUS_RW_TEXT: "DVD+RW"}, state["text"])
        self.assertEqual({"1337": True, "1319": True}, state["enabled"])
        self.assert_no_message_box(s)
        self.assertEqual(["0:1:0 " + c + " good" for c in
                          (INQUIRY, READ_SETTINGS, READ_SETTINGS, READ_SETTINGS)], s.new_commands())

        s.drive("click", PLUS_RW_ROM)
        self.assert_confirmation_then(s, SET_PLUS_RW, "yes")
        self.assertEqual(["0:1:0 " + write_setting(0xE2) + " good",
                          "0:1:0 " + READ_SETTINGS + " good"], s.new_commands())
        state, = s.drive("state")
        # Settings 0x02: +R is no longer shown as DVD-ROM, as only a byte of 0 reads so.
        self.assertEqual({PLUS_R_TEXT: "DVD+R", PLUS_RW_TEXT: "DVD-ROM"}, state["text"])

        self.assert_confirmation_then(s, SET_PLUS_RW, "no")
        self.assertEqual([], s.new_commands())
        self.close_and_wait(s)

    def test_drives_on_two_adapters_are_listed_last_found_first(self):
        s = self.session(aspi_drives={"0:1:0": QSI, "1:0:0": PLAIN_CDROM}, version="win98",
                         native_aspi=True)
        s.start()
        state, = s.drive("wait-window", "state")
        self.assertEqual(["1:0:0  CD/DVD " + PLAIN_LINE,
                          "0:1:0  CD/DVD " + QSI_LINE], state["drives"])
        self.assertEqual({"1337": False, "1319": False}, state["enabled"])
        self.assert_no_message_box(s)
        commands = s.new_commands()
        self.assertEqual(["0:1:0 " + INQUIRY + " good", "1:0:0 " + INQUIRY + " good"], commands[:2])

        state, = s.drive("select", 1, "state")
        self.assertEqual({PLUS_R_TEXT: "DVD-ROM", PLUS_RW_TEXT: "DVD+RW"}, state["text"])
        self.assertEqual({"1337": True, "1319": True}, state["enabled"])
        s.new_commands()
        self.assert_confirmation_then(s, SET_PLUS_R, "yes")
        self.assertEqual(["0:1:0 " + write_setting(0xD0) + " good",
                          "0:1:0 " + READ_SETTINGS + " good"], s.new_commands())
        self.close_and_wait(s)

    def test_wines_own_aspi_without_adapters_ends_with_the_reason(self):
        s = self.session(version="win98")
        s.start()
        self.assert_ends_with_message(
            s, "Aspi init failed Uninstall ASPI and install ASPI V4.60 (not later)")


class Screen(Journey):
    """What the main window looks like on the screen after start-up."""

    def test_main_window_is_drawn(self):
        s = self.session(sg_drives={"D": QSI})
        s.start()
        s.drive("wait-window")
        left, top, right, bottom = s.drive("rect")[0]
        self.assertTrue(0 <= left < right <= 800 and 0 <= top < bottom <= 600,
                        "window at %r" % ([left, top, right, bottom],))
        time.sleep(0.5)  # the virtual desktop paints what the window drew
        screen = os.path.join(SCREENSHOTS, "main.png")
        s.screenshot(screen)
        window = os.path.join(SCREENSHOTS, "main-window.png")
        subprocess.run(["convert", screen, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top,
                                                                    left, top),
                        "+repage", window], check=True)

        def colours(path):
            out = subprocess.run(["identify", "-format", "%k", path], check=True,
                                 capture_output=True).stdout
            return int(out)

        # The desktop around it is one colour; the window has a frame, a
        # caption, text and controls in many.
        self.assertGreater(colours(window), 8, "the window looks empty: " + window)
        outside = os.path.join(s.dir, "outside.png")
        subprocess.run(["convert", screen, "-crop", "%dx%d+0+0" % (max(left, 1), 600), "+repage",
                        outside], check=True)
        self.assertLessEqual(colours(outside), 2, "something else is on the desktop: " + screen)
        print("screenshots: %s, %s" % (screen, window))
        self.close_and_wait(s)

    def test_about_box_opens_from_the_system_menu(self):
        s = self.session(sg_drives={"D": QSI})
        s.start()
        s.drive("wait-window")
        about = s.drive("syscommand", ABOUT_COMMAND, "about")[0]
        self.assertEqual(about["title"], "Sorvel Bitsetting Utility V1.02")
        self.assertTrue(about["ownedByMain"])
        self.assertFalse(about["mainEnabled"], "the main window is disabled while it runs")
        # Centred over the main window.
        left, top, right, bottom = about["rect"]
        main_left, main_top, main_right, main_bottom = about["mainRect"]
        self.assertLessEqual(abs((left + right) - (main_left + main_right)), 2)
        self.assertLessEqual(abs((top + bottom) - (main_top + main_bottom)), 2)
        # The attribution fits its one line in the template's font.
        self.assertLessEqual(about["attributionWidth"], about["attributionRoom"],
                             "%r is wider than its line" % about["attribution"])
        # 0x20 is no about command: nothing opens, the window stays usable.
        s.drive("syscommand", 0x20, "settle")
        self.assertIsNone(s.drive("msgbox")[0])
        self.close_and_wait(s)


class Help(Journey):
    """The Help button and the HTML Help viewer."""

    def test_help_button_opens_help_chm_beside_the_exe(self):
        s = self.session(sg_drives={"D": QSI})
        shutil.copy(os.path.join(WIN64_DIR, "help.chm"), s.program_dir)
        s.start()
        s.drive("wait-window")
        s.new_commands()
        # The viewer's window carries the help file's title.
        help_window, = s.drive("click", HELP_BUTTON, "wait-help", HELP_TITLE, 20000)
        self.assertEqual(HELP_TITLE, help_window["title"])
        time.sleep(0.5)
        s.screenshot(os.path.join(SCREENSHOTS, "help.png"))
        self.assert_no_message_box(s)
        # Closing the viewer leaves the program as it was, and usable.
        s.drive("close-help")
        self.assertEqual([None], s.drive("help-window"))
        state, = s.drive("state")
        self.assertEqual({PLUS_R_TEXT: "DVD-ROM", PLUS_RW_TEXT: "DVD+RW"}, state["text"])
        self.assertEqual({"1337": True, "1319": True}, state["enabled"])
        self.assertEqual([], s.new_commands(), "help sends the drive nothing")
        self.close_and_wait(s)

    def test_without_help_chm_the_program_keeps_running(self):
        s = self.session(sg_drives={"D": QSI})
        s.start()
        s.drive("wait-window")
        s.drive("click", HELP_BUTTON, "settle")
        time.sleep(2)  # time for a viewer to come up, were there one
        self.assertEqual([None], s.drive("help-window"))
        self.assert_no_message_box(s)
        state, = s.drive("state")
        self.assertEqual({"1337": True, "1319": True}, state["enabled"])
        self.close_and_wait(s)


class ScriptSession(Session):
    """Bitset.exe as scripts/run-wine.sh starts it (./run.sh ends in that
    script), driven in the script's own prefix."""

    def __init__(self, name, options, script_env):
        check_tools()
        self.name = name
        self.dir = os.path.join(WORK, name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.prefix = os.path.join(self.dir, "run", "prefix")
        self.program_dir = os.path.join(self.prefix, "drive_c", "bitset")
        self.log_path = os.path.join(self.dir, "run", "drive-commands.log")
        self.devices, self._log_seen, self.process, self.display = {}, 0, None, None
        self.display = Display(os.path.join(self.dir, "xvfb.log"))
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG=WINE_ENV["WINEDEBUG"],
                        WINEDLLOVERRIDES=WINE_ENV["WINEDLLOVERRIDES"], DISPLAY=self.display.name)
        out_path = os.path.join(self.dir, "run-wine.out")
        self._app_out = open(out_path, "wb")
        self.process = subprocess.Popen(
            [os.path.join(ROOT, "scripts", "run-wine.sh")] + options, stdout=self._app_out,
            stderr=subprocess.STDOUT, env=dict(
                os.environ, DISPLAY=self.display.name, BITSET_WIN64_DIR=WIN64_DIR,
                BITSET_RUN_DIR=os.path.join(self.dir, "run"), BITSET_SGIO_PRELOAD=PRELOAD,
                **script_env))
        deadline = time.time() + 60
        while "Waiting for Bitset.exe" not in self.script_output():
            if self.process.poll() is not None or time.time() > deadline:
                self.close()
                raise AssertionError("run-wine.sh %s did not start Bitset.exe:\n%s"
                                     % (options, self.script_output()))
            time.sleep(0.2)
        shutil.copy(os.path.join(WIN64_DIR, "tests", "BitsetDriver.exe"), self.program_dir)

    def script_output(self):
        with open(os.path.join(self.dir, "run-wine.out"), "rb") as output:
            return output.read().decode("utf-8", "replace")


class RunScript(Journey):
    """Help opens from ./run.sh, whichever drive the script gives the program."""

    def test_help_opens_with_every_option_of_run_wine(self):
        device = os.path.join(WORK, "RunScript-device", "sr0")
        os.makedirs(os.path.dirname(device), exist_ok=True)
        open(device, "wb").close()
        for options, script_env in (
                ([], {}), (["--aspi"], {}), (["--config", "settings=0x03"], {}),
                # A real drive, here a device file that the simulation answers.
                (["--drive", device], {"LD_PRELOAD": PRELOAD,
                                       "BITSET_SIM_DRIVES": device + "=" + QSI})):
            with self.subTest(options=options):
                s = ScriptSession("RunScript-" + ("".join(options[:1]).strip("-") or "plain"),
                                  options, script_env)
                try:
                    self.assertIn(os.path.join(ROOT, "help", "booktype.htm"), s.script_output())
                    s.drive("wait-window")
                    window, = s.drive("click", HELP_BUTTON, "wait-help", HELP_TITLE, 20000)
                    self.assertEqual(HELP_TITLE, window["title"])
                    s.drive("close-help", "close", "wait-gone", 10000)
                    self.assertEqual(0, s.wait_exit(), "run-wine.sh ends with the program's code")
                finally:
                    s.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
