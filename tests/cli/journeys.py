#!/usr/bin/env python3
"""Journeys of the real bitset program on Linux, against simulated drives.

The program runs as a user would run it, with the SG_IO preload library of
the Wine journeys answering its SG_IO requests for device files named in
BITSET_SIM_DRIVES; the drives' command log tells what each drive received.
The device nodes and sysfs are a tree of the test's own (BITSET_DEV_DIR,
BITSET_SYS_DIR), shaped as the kernel's: each node is a character device
(the numbers of /dev/null, made with mknod, which needs root), and sysfs
links /sys/class/block/srN and /sys/class/scsi_generic/sgN to one SCSI
device directory named by its address. Run as root, the program is started
as the user nobody, so that a node without read and write permission really
cannot be opened.

    journeys.py BITSET_PROGRAM [unittest arguments]

Settings, from the environment (ctest passes them):
    BITSET_SGIO_PRELOAD   the SG_IO preload library of the host build
"""

import json
import os
import pty
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PRELOAD = os.environ.get("BITSET_SGIO_PRELOAD",
                         os.path.join(ROOT, "build", "host", "libbitset-sgio-sim.so"))
PROGRAM = None  # from the command line

QSI = "vendor=QSI;product=DVDRW SDW-082;revision=BX03"
PLAIN_CDROM = "vendor=LITEON;product=CD-ROM LTN486S;revision=YS0N;vendor-commands=0"
HARD_DISK = "type=0;vendor=ATA;product=ST380011A;revision=3.06;vendor-commands=0"
QSI_LINE = "CD/DVD QSI     DVDRW SDW-082    BX03"

INQUIRY = "12 00 00 00 4A 00 in 74"
READ_SETTINGS = "F3 0F 02 00 00 00 07 00 80 00 00 00 in 128"
QUESTION = "Are you sure you want to change the bitsetting? [y/N] "
NOBODY = 65534


def write_setting(value):
    return "F3 0E 70 %02X 00 00 00 00 00 00 00 00 none 0" % value


class Machine:
    """A /dev and /sys with simulated drives, and a way to run the program."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="bitset-cli-")
        os.chmod(self.root, 0o755)
        self.dev = os.path.join(self.root, "dev")
        os.mkdir(self.dev)
        self.log = os.path.join(self.root, "commands.log")
        open(self.log, "w").close()
        os.chmod(self.log, 0o666)
        self.drives = {}

    def node(self, name, config=None, address=None, mode=0o666, sysfs_type=None):
        path = os.path.join(self.dev, name)
        os.mknod(path, 0o600 | stat.S_IFCHR, os.makedev(1, 3))
        os.chmod(path, mode)
        if config is not None:
            self.drives[path] = config
        if address is not None:
            self.sysfs(name, address, sysfs_type)
        return path

    def sysfs(self, name, address, sysfs_type):
        """The kernel's shape: /sys/devices/.../H:C:T:L holds block/srN and
        scsi_generic/sgN, each with a `device` link back to it, and
        /sys/class/<kind>/<name> links to that entry."""
        sys_dir = os.path.join(self.root, "sys")
        device = os.path.join(sys_dir, "devices", "pci0000:00", "host0", address)
        os.makedirs(device, exist_ok=True)
        if sysfs_type is not None:
            with open(os.path.join(device, "type"), "w") as type_file:
                type_file.write("%d\n" % sysfs_type)
        kind = "scsi_generic" if name.startswith("sg") else "block"
        entry = os.path.join(device, kind, name)
        os.makedirs(entry)
        os.symlink("../../../" + address, os.path.join(entry, "device"))
        os.makedirs(os.path.join(sys_dir, "class", kind), exist_ok=True)
        os.symlink(os.path.relpath(entry, os.path.join(sys_dir, "class", kind)),
                   os.path.join(sys_dir, "class", kind, name))

    def environment(self):
        env = dict(os.environ)
        env["LD_PRELOAD"] = PRELOAD
        env["ASAN_OPTIONS"] = "verify_asan_link_order=0"
        env["BITSET_SIM_DRIVES"] = "|".join("%s=%s" % item for item in self.drives.items())
        env["BITSET_SIM_LOG"] = self.log
        env["BITSET_DEV_DIR"] = self.dev
        env["BITSET_SYS_DIR"] = os.path.join(self.root, "sys")
        return env

    def run(self, *arguments, answer=None):
        """Runs the program; with `answer`, standard input is a terminal that
        types it. Returns (exit code, stdout lines, stderr text)."""
        stdin, terminal = subprocess.DEVNULL, None
        if answer is not None:
            terminal, stdin = pty.openpty()
            os.write(terminal, answer.encode())
        try:
            done = subprocess.run([PROGRAM] + list(arguments), stdin=stdin, capture_output=True,
                                  text=True, env=self.environment(), timeout=60,
                                  preexec_fn=as_nobody if os.geteuid() == 0 else None)
        finally:
            if terminal is not None:
                os.close(terminal)
                os.close(stdin)
        return done.returncode, done.stdout.splitlines(), done.stderr

    def commands(self):
        """(node name, CDB direction length) of each command, outcome left off."""
        with open(self.log) as log:
            lines = [line.split(" ", 1) for line in log.read().splitlines()]
        return [(os.path.basename(node), re.sub(r" (good|check \S+)$", "", command))
                for node, command in lines]

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


def as_nobody():
    os.setgroups([])
    os.setgid(NOBODY)
    os.setuid(NOBODY)


class CliJourney(unittest.TestCase):
    def setUp(self):
        self.machine = Machine()
        self.addCleanup(self.machine.close)

    def test_list_names_each_drive_once_and_the_node_it_cannot_open(self):
        m = self.machine
        sg0 = m.node("sg0", HARD_DISK, "0:0:0:0")
        sg1 = m.node("sg1", QSI, "1:0:0:0")
        sr0 = m.node("sr0", QSI, "1:0:0:0")
        sg2 = m.node("sg2", PLAIN_CDROM, "2:0:0:0")
        sg3 = m.node("sg3", QSI, "3:0:0:0", mode=0o600)
        # A disk the user may not open, as sysfs tells: not worth a word.
        sg4 = m.node("sg4", HARD_DISK, "4:0:0:0", mode=0o600, sysfs_type=0)
        code, out, err = m.run("list")
        self.assertEqual(code, 0, err)
        self.assertEqual(out, [
            "%s  %s  (also %s)" % (sg1, QSI_LINE, sr0),
            "%s  CD/DVD LITEON  CD-ROM LTN486S   YS0N" % sg2,
        ])
        self.assertIn("%s: cannot open: Permission denied: read and write access is needed, "
                      "usually membership of the cdrom group" % sg3, err)
        # INQUIRY alone, once per device; the hard disk is questioned, not listed.
        self.assertEqual(m.commands(), [("sg0", "12 00 00 00 4A 00 in 74"),
                                        ("sg1", "12 00 00 00 4A 00 in 74"),
                                        ("sg2", "12 00 00 00 4A 00 in 74")])
        self.assertNotIn(sg0, "\n".join(out) + err)
        self.assertNotIn(sg4, "\n".join(out) + err)

    def test_list_as_json_lines(self):
        m = self.machine
        sg1 = m.node("sg1", QSI + ";type=4;vendor=HL-DT-ST")
        code, out, _ = m.run("list", "--json")
        self.assertEqual(code, 0)
        self.assertEqual([json.loads(line) for line in out], [{
            "device": sg1, "also": [], "type": 4, "type_name": "WORM  ", "vendor": "HL-DT-ST",
            "product": "DVDRW SDW-082", "revision": "BX03"}])

    def test_show_reads_the_settings_with_the_exes_read_command(self):
        m = self.machine
        sg1 = m.node("sg1", QSI + ";settings=0x02")
        code, out, err = m.run("show", sg1)
        self.assertEqual(code, 0, err)
        self.assertEqual(out, ["%s  %s" % (sg1, QSI_LINE), "DVD+R media:   DVD+R",
                               "DVD+RW media:  DVD-ROM", "settings byte: 02h"])
        self.assertEqual([c for _, c in m.commands()], [INQUIRY, READ_SETTINGS])

    def test_show_given_the_optical_node_goes_through_the_generic_node(self):
        m = self.machine
        m.node("sg0", PLAIN_CDROM, "0:0:0:0")  # another drive first: the one named is shown
        sg1 = m.node("sg1", QSI + ";settings=0x01", "1:0:0:0")
        sr0 = m.node("sr0", QSI, "1:0:0:0")
        code, out, err = m.run("show", sr0)
        self.assertEqual(code, 0, err)
        self.assertEqual(out[0], "%s  %s  (also %s)" % (sg1, QSI_LINE, sr0))
        self.assertEqual(m.commands(), [("sg1", INQUIRY), ("sg1", READ_SETTINGS)])
        code, out, err = m.run("show", sr0, "--json")
        self.assertEqual(json.loads(out[0])["also"], [sr0])

    def test_a_user_outside_cdrom_is_told_which_node_refused(self):
        m = self.machine
        sg1 = m.node("sg1", QSI, "1:0:0:0", mode=0o660)
        sr0 = m.node("sr0", QSI, "1:0:0:0", mode=0o660)
        code, _, err = m.run("show", sr0)
        if os.geteuid() != 0:
            self.skipTest("only root can run the program as another user")
        self.assertEqual(code, 3)
        self.assertIn("bitset: %s: cannot open: Permission denied" % sg1, err)

    def test_nothing_in_dev_or_sys_makes_it_hang(self):
        m = self.machine
        sg1 = m.node("sg1", QSI, "1:0:0:0")
        os.mkfifo(os.path.join(m.root, "sys", "devices", "pci0000:00", "host0", "1:0:0:0", "type"))
        os.mkfifo(os.path.join(m.dev, "sg2"), 0o666)
        os.mkdir(os.path.join(m.dev, "sg3"))
        open(os.path.join(m.dev, "sg4"), "w").close()
        for name in ("sg2", "sg4"):
            os.chmod(os.path.join(m.dev, name), 0o666)
        code, out, err = m.run("list")
        self.assertEqual(code, 0, err)
        self.assertEqual(out, ["%s  %s" % (sg1, QSI_LINE)])
        for name in ("sg2", "sg4"):
            self.assertIn("%s: cannot open: Inappropriate ioctl for device: not a SCSI device"
                          % os.path.join(m.dev, name), err)
        os.remove(sg1)  # nothing left that opens but a disk: no device found
        m.node("sg5", HARD_DISK, "5:0:0:0")
        code, _, err = m.run("list")
        self.assertEqual((code, "No CD/DVD or WORM device found" in err), (3, True), err)

    def test_drive_text_cannot_drive_the_terminal(self):
        m = self.machine
        # CSI alone (9Bh), in UTF-8 (C2h 9Bh), and the right-to-left override.
        sg1 = m.node("sg1", "vendor=Q~\x1b[2J;product=DVD\rRW\x07\x1f\u202e;revision=\udc9b\u009b3")
        code, out, err = m.run("show", sg1)
        self.assertEqual(code, 0, err)
        self.assertEqual(out[0], "%s  CD/DVD Q~\\x1B[2J  DVD\\x0DRW\\x07\\x1F\\xE2\\x80\\xAE      "
                                 "\\x9B\\xC2\\x9B3" % sg1)
        code, out, err = m.run("show", sg1, "--json")
        self.assertEqual(json.loads(out[0])["product"], "DVD\rRW\x07\x1f\xe2\x80\xae")
        self.assertEqual(json.loads(out[0])["revision"], "\x9b\xc2\x9b3")
        for code, out, err in (m.run("show", sg1), m.run("list", "--json")):
            self.assertTrue(all(" " <= c <= "~" for c in "".join(out) + err.replace("\n", "")))

    def test_nothing_printed_reaches_the_drive(self):
        """With standard output or error closed, the node must not take its
        number: a terminal stands in for the drive, to see what reaches it."""
        m = self.machine
        master, slave = pty.openpty()
        self.addCleanup(os.close, master)
        self.addCleanup(os.close, slave)
        os.set_blocking(master, False)
        node = os.ttyname(slave)
        m.drives[node] = QSI
        for closed, arguments in ((1, ["show", node]), (2, ["-v", "show", node])):
            open(m.log, "w").close()
            done = subprocess.run([PROGRAM] + arguments, stdin=subprocess.DEVNULL,
                                  capture_output=True, env=m.environment(), timeout=60,
                                  preexec_fn=lambda fd=closed: os.close(fd))
            try:
                written = os.read(master, 4096)
            except BlockingIOError:
                written = b""
            self.assertEqual((done.returncode, written), (0, b""), closed)
            self.assertEqual([c for _, c in m.commands()], [INQUIRY, READ_SETTINGS], closed)

    def test_results_that_cannot_be_written_fail(self):
        m = self.machine
        m.node("sg1", QSI)
        for command in (["list"], ["list", "--json"], ["--version"]):
            with open("/dev/full", "w") as full:
                done = subprocess.run([PROGRAM] + command, stdout=full, stderr=subprocess.PIPE,
                                      text=True, env=m.environment(), timeout=60)
            self.assertNotEqual(done.returncode, 0, command)
            self.assertIn("bitset: cannot write the results: No space left on device", done.stderr)

    def test_show_on_a_drive_without_the_vendor_commands(self):
        m = self.machine
        sg2 = m.node("sg2", PLAIN_CDROM)
        code, _, err = m.run("show", sg2)
        self.assertEqual(code, 6)
        self.assertIn("Not a QSI / Nu-tek Drive or function unsupported (%s: sense key 5h "
                      "(ILLEGAL REQUEST), ASC 20h, ASCQ 00h)" % sg2, err)

    def test_disc_opens_a_node_it_may_only_read_for_reading(self):
        m = self.machine
        sg1 = m.node("sg1", QSI + ";disc=dvd+r:dvd-rom", mode=0o444)
        code, out, err = m.run("-v", "disc", sg1)
        if os.geteuid() != 0:
            self.skipTest("only root can run the program as another user")
        self.assertEqual(code, 0, err)
        self.assertIn("opened for reading only", err)
        self.assertEqual(out[-1], "a DVD+R that reads as DVD-ROM: its book type was set when it "
                                  "was written")
        self.assertEqual([c for _, c in m.commands()],
                         [INQUIRY, "46 01 00 00 00 00 00 00 08 00 in 8",
                          "AD 00 00 00 00 00 00 00 08 04 00 00 in 2052",
                          "51 00 00 00 00 00 00 00 22 00 in 34"])
        code, _, err = m.run("show", sg1)
        self.assertEqual(code, 3, "show needs write access")

    def test_set_with_yes_writes_and_reads_back(self):
        m = self.machine
        sg1 = m.node("sg1", QSI + ";settings=0x04")
        code, out, err = m.run("set", sg1, "--plus-r", "dvd-rom", "--plus-rw", "dvd-rom", "--yes")
        self.assertEqual(code, 0, err)
        self.assertEqual(out[1:], ["DVD+R media:   DVD-ROM", "DVD+RW media:  DVD-ROM",
                                   "settings byte: 07h"])
        self.assertEqual([c for _, c in m.commands()],
                         [INQUIRY, READ_SETTINGS, write_setting(0xD1), write_setting(0xE2),
                          READ_SETTINGS])

    def test_set_asks_on_a_terminal_and_no_sends_nothing(self):
        m = self.machine
        sg1 = m.node("sg1", QSI + ";settings=0x02")
        code, _, err = m.run("set", sg1, "--plus-r", "dvd-rom", answer="n\n")
        self.assertEqual(code, 7)
        self.assertIn(QUESTION, err)
        self.assertEqual([c for _, c in m.commands()], [INQUIRY, READ_SETTINGS])

    def test_set_asks_on_a_terminal_and_yes_writes(self):
        m = self.machine
        sg1 = m.node("sg1", QSI + ";settings=0x03")
        code, _, err = m.run("set", sg1, "--plus-r", "dvd+r", answer="y\n")
        self.assertEqual(code, 0, err)
        self.assertIn("DVD+R media: DVD-ROM -> DVD+R", err)
        self.assertEqual([c for _, c in m.commands()][2:], [write_setting(0xD0), READ_SETTINGS])

    def test_set_without_a_terminal_or_yes_refuses(self):
        m = self.machine
        sg1 = m.node("sg1", QSI + ";settings=0x01")
        code, _, err = m.run("set", sg1, "--plus-rw", "dvd-rom")
        self.assertEqual(code, 7)
        self.assertIn("no terminal", err)
        self.assertEqual([c for _, c in m.commands()], [INQUIRY, READ_SETTINGS])

    def test_old_firmware_is_refused_with_nothing_sent_but_inquiry(self):
        m = self.machine
        sg1 = m.node("sg1", "vendor=QSI;product=DVDRW SDW-082;revision=BX02")
        code, _, err = m.run("set", sg1, "--plus-r", "dvd-rom", "--yes")
        self.assertEqual(code, 5)
        self.assertIn("Wrong firmware revision,  you must upgrade to at least BX03 firmware", err)
        self.assertEqual([c for _, c in m.commands()], [INQUIRY])

    def test_a_refused_write_is_reported_never_as_success(self):
        m = self.machine
        sg1 = m.node("sg1", QSI + ";write-fails=1;settings=0x02")
        code, _, err = m.run("set", sg1, "--plus-r", "dvd-rom", "--yes")
        self.assertEqual(code, 6)
        self.assertIn("Error. May not be a QSI / Nu-Tek drive or wrong firmware (%s: sense key 5h "
                      "(ILLEGAL REQUEST), ASC 24h, ASCQ 00h)" % sg1, err)
        self.assertNotIn("did not take the change", err)  # said once, as the refusal
        self.assertEqual([c for _, c in m.commands()],
                         [INQUIRY, READ_SETTINGS, write_setting(0xD1), READ_SETTINGS])

    def test_a_device_that_is_not_cd_dvd_gets_nothing_but_inquiry(self):
        m = self.machine
        sg0 = m.node("sg0", HARD_DISK)
        for command in (["show", sg0], ["set", sg0, "--plus-r", "dvd-rom", "--yes"]):
            code, _, err = m.run(*command)
            self.assertEqual(code, 4, command)
            self.assertIn("not a CD/DVD or WORM device (peripheral type 0)", err)
        self.assertEqual([c for _, c in m.commands()], [INQUIRY, INQUIRY])

    def test_missing_device_usage_help_and_version(self):
        m = self.machine
        code, _, err = m.run("list")
        self.assertEqual(code, 3)
        self.assertIn("bitset: nodes tried: none, %s has no sg* or sr* node" % m.dev, err)
        self.assertIn("(modprobe sg)", err)
        code, _, err = m.run("show", os.path.join(m.dev, "sg9"))
        self.assertEqual(code, 3)
        self.assertIn("cannot open: No such file or directory", err)
        code, _, err = m.run("set", "/dev/sg1")
        self.assertEqual(code, 2)
        self.assertIn("set needs --plus-r or --plus-rw", err)
        code, _, err = m.run("\x1b[2J")
        self.assertEqual((code, "unknown command '\\x1B[2J'" in err), (2, True), err)
        code, out, _ = m.run("--version")
        self.assertEqual((code, out), (0, ["bitset 1.02"]))
        code, out, _ = m.run("--help")
        self.assertEqual(code, 0)
        self.assertIn("  7  cancelled: the change was not confirmed", out)
        self.assertEqual(m.commands(), [])


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit("usage: journeys.py BITSET_PROGRAM [unittest arguments]")
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    for path, what in ((PROGRAM, "the bitset program"), (PRELOAD, "the SG_IO preload library")):
        if not os.path.exists(path):
            sys.exit("%s is missing: %s (./test.sh builds it)" % (what, path))
    unittest.main()
