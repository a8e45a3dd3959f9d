#!/usr/bin/env python3
"""The command line on a real Linux kernel.

Boots Debian's kernel under QEMU (scripts/kernel-shell.sh) with four drives:
the simulated drive served to the kernel through LIO's TCMU backstore, QEMU's
virtio-scsi CDs with and without a disc, and QEMU's IDE (ATAPI) CD. Inside, as
root, as a member of group cdrom and as a user outside it, it runs `bitset`
through every sr and sg node (tests/kernel/run-plan), then checks exit codes,
key phrases of the output, the simulated drive's log and state, and QEMU's
trace of the commands its own drives received.

    journey.py BITSET_STATIC TCMU_HANDLER

Exits 77 (skipped) when QEMU or the kernel cannot run here.
"""
import json
import os
import re
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field

SKIPPED = 77
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
USERS = ("root", "member", "outsider")  # member is in group cdrom
QEMU_DRIVES = ("disc", "empty", "dvd", "atapi")
DRIVES = ("model",) + QEMU_DRIVES

# Exit codes of bitset.
SUCCESS, USAGE, NO_DEVICE, NOT_CD_DVD, FIRMWARE, REFUSED, CANCELLED = 0, 2, 3, 4, 5, 6, 7
NO_DISC, NOT_DVD = 8, 9


@dataclass
class Case:
    id: str
    user: str
    command: str
    exit: int
    drive: str = "-"             # config of the simulated drive the case starts with
    commands: list = None        # the simulated drive's log, named (see command_name)
    settings: int = None         # its settings byte afterwards
    out: tuple = ()              # phrases of standard output
    err: tuple = ()              # phrases of standard error
    check: object = None         # a further check of the run: returns a fault or None


@dataclass
class Run:
    exit: int = None
    out: list = field(default_factory=list)
    err: list = field(default_factory=list)
    drive: list = field(default_factory=list)
    reset: list = field(default_factory=list)


def command_name(line):
    """A drive log line as the command it was: INQUIRY, read, write D1, or
    the opcode of what the kernel sends on its own (00 TEST UNIT READY, 4A
    GET EVENT STATUS NOTIFICATION...)."""
    cdb = line.split("cdb=", 1)[1].split(" dir=")[0].split()
    if cdb[0] == "12":
        return "INQUIRY"
    if cdb[:2] == ["F3", "0F"]:
        return "read"
    if cdb[:3] == ["F3", "0E", "70"]:
        return "write " + cdb[3]
    return cdb[0]


def shows_dvd_rom(settings, bit):
    """The book type a settings byte reports, as the command line reads it:
    a bit set means DVD-ROM (the window alone shows DVD-ROM for +R at 00h)."""
    return bool(settings & bit)


def changes(before, plus_r=None, plus_rw=None):
    """The write commands of a set from settings `before`: one per book type
    that really changes (choices: True for DVD-ROM), and the settings after."""
    writes, after = [], before
    for choice, bit, on, off in ((plus_r, 1, "D1", "D0"), (plus_rw, 2, "E2", "E0")):
        if choice is None or shows_dvd_rom(before, bit) == choice:
            continue
        writes.append("write " + (on if choice else off))
        after = after | bit if choice else after & ~bit
    return writes, after


def set_options(plus_r, plus_rw):
    options = ""
    if plus_r is not None:
        options += " --plus-r " + ("dvd-rom" if plus_r else "dvd+r")
    if plus_rw is not None:
        options += " --plus-rw " + ("dvd-rom" if plus_rw else "dvd+rw")
    return options


def list_cases(user):
    if user == "outsider":
        # Nothing opens: the nodes tried and what to check.
        return [Case(f"list.{user}", user, "bitset list", NO_DEVICE, commands=[],
                     err=("@model.sg", "@disc.sg", "@atapi.sg", "cdrom")),
                Case(f"list-json.{user}", user, "bitset list --json", NO_DEVICE, commands=[],
                     check=json_lines)]
    return [Case(f"list.{user}", user, "bitset list", SUCCESS, commands=["INQUIRY"],
                 out=("@model.sg", "QSI", "BX03", "@disc.sg", "@empty.sg", "@atapi.sg"),
                 check=each_drive_once),
            Case(f"list-json.{user}", user, "bitset list --json", SUCCESS, commands=["INQUIRY"],
                 check=model_in_json)]


def show_cases(user):
    cases = []
    for drive in DRIVES:
        for node in ("sr", "sg"):
            case = Case(f"show.{user}.{drive}.{node}", user, f"bitset show @{drive}.{node}",
                        SUCCESS, drive="settings=0x02", commands=[], settings=0x02)
            if user == "outsider":
                case.exit, case.err = NO_DEVICE, ("Permission denied",)
                case.check = names_a_node_of(drive)
            elif drive == "model":
                # Named by its sr node too, the drive is reached through its sg
                # node: the kernel sends nothing of its own, as it does on
                # opening an sr node.
                case.commands = ["INQUIRY", "read"]
                case.out = ("@model.sg", "DVD+R media:   DVD+R", "DVD+RW media:  DVD-ROM", "02h")
            else:
                case.exit, case.err = REFUSED, ("ILLEGAL REQUEST", "ASC 20h", "ASCQ 00h")
            cases.append(case)
    return cases


def set_cases(user):
    rows = [  # name, settings before, +R, +RW (True: DVD-ROM), node, phrase of stderr
        ("plus-r", 0x02, True, None, "sr", ()),
        ("plus-rw", 0x01, None, True, "sr", ()),
        ("both", 0x02, True, False, "sr", ()),
        ("plus-r-back", 0x03, False, None, "sg", ()),
        ("plus-rw-back", 0x03, None, False, "sg", ()),
        ("one-of-two", 0x01, True, True, "sr", ()),
        ("unchanged", 0x03, True, True, "sg", ()),
        ("byte-00h", 0x00, True, None, "sg", ()),
        ("byte-00h-own", 0x00, False, None, "sg", ("the window shows DVD-ROM",)),
    ]
    cases = []
    for name, before, plus_r, plus_rw, node, err in rows:
        writes, after = changes(before, plus_r, plus_rw)
        command = f"bitset set @model.{node}{set_options(plus_r, plus_rw)} --yes"
        case = Case(f"set.{user}.{name}", user, command, SUCCESS, drive=f"settings={before:#04x}",
                    commands=["INQUIRY", "read"] + writes + (["read"] if writes else []),
                    settings=after, out=(f"settings byte: {after:02X}h",), err=err)
        if user == "outsider":
            case.exit, case.commands, case.settings, case.out = NO_DEVICE, [], before, ()
            case.err, case.check = ("Permission denied",), names_a_node_of("model")
        cases.append(case)
    if user != "outsider":
        cases.append(Case(f"set.{user}.no-terminal", user, "bitset set @model.sr --plus-r dvd-rom",
                          CANCELLED, drive="settings=0x02", settings=0x02,
                          check=nothing_written, err=("--yes",)))
        for drive in QEMU_DRIVES:
            cases.append(Case(f"set.{user}.{drive}", user,
                              f"bitset set @{drive}.sr --plus-r dvd-rom --yes", REFUSED,
                              commands=[], err=("ILLEGAL REQUEST", "ASC 20h")))
    return cases


def firmware_cases(user):
    """The drive with firmware BX02: listed and shown, never written."""
    if user == "outsider":
        return []
    bx02 = "revision=BX02;settings=0x02"
    return [
        Case(f"bx02.{user}.list", user, "bitset list", SUCCESS, drive=bx02, out=("BX02",)),
        Case(f"bx02.{user}.show", user, "bitset show @model.sr", SUCCESS, drive=bx02,
             commands=["INQUIRY", "read"], out=("settings byte: 02h",)),
        Case(f"bx02.{user}.set", user, "bitset set @model.sr --plus-r dvd-rom --plus-rw dvd-rom --yes",
             FIRMWARE, drive=bx02, settings=0x02, check=nothing_written),
        Case(f"bx02.{user}.no-terminal", user, "bitset set @model.sg --plus-r dvd-rom", FIRMWARE,
             drive=bx02, settings=0x02, check=nothing_written),
    ]


def other_cases():
    return [
        Case("nodes", "root", "stat -c '%U:%G %a %n' /dev/sr* /dev/sg*", SUCCESS,
             check=nodes_as_udev_leaves_them),
        Case("kernel-view", "root", "cat /proc/sys/dev/cdrom/info", SUCCESS,
             check=kernel_took_the_capabilities),
        # The simulated drive with a written disc, served to the kernel: its
        # data reads through the sr node.
        Case("disc-through-sr", "member", "dd if=@model.sr bs=2048 count=1 2>/dev/null | wc -c",
             SUCCESS, drive="disc=dvd+r:dvd-rom", out=("2048",)),
        Case("dry-run", "root", "bitset set @model.sr -n --plus-r dvd-rom --plus-rw dvd-rom",
             SUCCESS, drive="settings=0x02", commands=["INQUIRY", "read"], settings=0x02),
        Case("usage", "root", "bitset set", USAGE, commands=[]),
        Case("no-such-node", "root", "bitset show /dev/sr9", NO_DEVICE, commands=[]),
        Case("not-scsi", "root", "bitset show /dev/null", NOT_CD_DVD, commands=[]),
    ]


# What `bitset disc` reads from each drive's disc: the exit code and phrases
# of standard output or error. The simulated drive serves a written DVD+R;
# QEMU's own drives answer with code none of ours wrote.
DISCS = {
    "model": (SUCCESS, ("DVD+R (001Bh)", "DVD-ROM (0h)", "part version:  1", "layers:        1",
                        "recordable (2h)", "complete",
                        "a DVD+R that reads as DVD-ROM: its book type was set when it was written"),
              ()),
    "dvd": (SUCCESS, ("DVD-ROM (0010h)", "DVD-ROM (0h)", "part version:  1", "layers:        1",
                      "read-only (1h)", "a pressed DVD-ROM"), ()),
    "disc": (NOT_DVD, (), ("not a DVD but a CD",)),
    "empty": (NO_DISC, (), ("no disc in the drive", "ASC 3Ah")),
    "atapi": (NO_DISC, (), ("no disc in the drive", "ASC 3Ah")),
}
WRITTEN_DVD_PLUS_R = "disc=dvd+r:dvd-rom"


def disc_cases(user):
    """disc on every drive, standard commands only: as root through sr, as a
    member of cdrom through sr and sg, and as a user outside it, refused."""
    cases = []
    nodes = ("sr", "sg") if user == "member" else ("sr",)
    for drive, (exit, out, err) in DISCS.items():
        for node in nodes + (("sg",) if user == "outsider" and drive == "model" else ()):
            model = drive == "model"
            case = Case(f"disc.{user}.{drive}.{node}", user, f"bitset disc @{drive}.{node}", exit,
                        drive=WRITTEN_DVD_PLUS_R if model else "-", out=out, err=err,
                        check=DISC_COMMANDS if model else disc_commands([]))
            if user == "outsider":
                case.exit, case.drive, case.out, case.err = NO_DEVICE, "-", (), ("Permission denied",)
                case.commands, case.check = [], names_a_node_of(drive)
            cases.append(case)
    if user == "root":
        cases += [
            Case("disc.root.blank", user, "bitset disc @model.sg", SUCCESS, drive="disc=dvd+r:blank",
                 out=("blank", "a blank DVD+R"), check=DISC_COMMANDS),
            Case("disc.root.plus-rw", user, "bitset disc @model.sg --json", SUCCESS,
                 drive="disc=dvd+rw:dvd+rw", check=disc_json(26, 9, "DVD+RW")),
            Case("disc.root.refusing", user, "bitset disc @model.sg", REFUSED,
                 drive=WRITTEN_DVD_PLUS_R + ";status=0x08", err=("GET CONFIGURATION", "BUSY"),
                 check=disc_commands(["INQUIRY", "46"])),
        ]
    return cases


def plan_cases():
    cases = other_cases()
    for user in USERS:
        cases += list_cases(user) + show_cases(user) + set_cases(user) + firmware_cases(user)
        cases += disc_cases(user)
    return cases


# Further checks of one run: a fault, or None.

def json_lines(run, nodes):
    for line in run.out:
        try:
            json.loads(line)
        except ValueError:
            return f"not a JSON line: {line!r}"
    return None


def model_in_json(run, nodes):
    fault = json_lines(run, nodes)
    if fault:
        return fault
    devices = {entry.get("device"): entry for entry in map(json.loads, run.out)}
    model = devices.get(nodes["model"][1])
    if not model or model.get("vendor") != "QSI" or model.get("revision") != "BX03":
        return f"the simulated drive is not listed by {nodes['model'][1]}: {devices}"
    if model.get("also") != [nodes["model"][0]]:
        return f"its sr node is not named: {model}"
    if len(devices) != len(DRIVES):
        return f"{len(devices)} devices listed, not {len(DRIVES)}"
    qemu = [devices.get(nodes[drive][1], {}) for drive in QEMU_DRIVES]
    if any(entry.get("type") != 5 or entry.get("vendor") != "QEMU" for entry in qemu):
        return f"QEMU's drives are not CD/DVD drives of vendor QEMU: {qemu}"
    return None


def each_drive_once(run, nodes):
    if len(run.out) != len(DRIVES):
        return f"{len(run.out)} lines for {len(DRIVES)} drives"
    return None


def names_a_node_of(drive):
    """The permission message names the node tried: one of the drive's."""
    def check(run, nodes):
        text = "\n".join(run.err)
        if not any(re.search(re.escape(node) + r"\b", text) for node in nodes[drive]):
            return f"no node of {drive} {nodes[drive]} named"
        return None
    return check


def nothing_written(run, nodes):
    written = [name for name in run.commands if name.startswith("write")]
    return f"written: {written}" if written else None


def disc_commands(sent):
    """No vendor command reaches the simulated drive, and it received `sent`
    in this order (the kernel's own commands, 00h, 4Ah and its scan after a
    disc change, may come between)."""
    def check(run, nodes):
        vendor = [name for name in run.commands if name.startswith(("read", "write", "F3"))]
        if vendor:
            return f"vendor commands sent: {vendor}"
        received = iter(run.commands)
        if not all(name in received for name in sent):
            return f"not {sent} in this order: {run.commands}"
        return None
    return check


DISC_COMMANDS = disc_commands(["INQUIRY", "46", "AD", "51"])


def disc_json(profile, book_type, name):
    def check(run, nodes):
        fault = json_lines(run, nodes) or DISC_COMMANDS(run, nodes)
        if fault:
            return fault
        disc = json.loads(run.out[-1]) if run.out else {}
        wanted = {"profile": profile, "profile_name": name, "book_type": book_type,
                  "book_type_name": name, "disc_status_name": "complete"}
        wrong = {key: disc.get(key) for key, value in wanted.items() if disc.get(key) != value}
        return f"the disc's JSON line: {wrong}" if wrong else None
    return check


def kernel_took_the_capabilities(run, nodes):
    """The kernel's view of the simulated drive, from its answers to the
    scan (MODE SENSE page 2Ah, GET CONFIGURATION): a DVD writer with a tray."""
    table = {line.split(":")[0]: line.split(":", 1)[1].split() for line in run.out if ":" in line}
    names = table.get("drive name", [])
    model = nodes["model"][0].replace("/dev/", "")
    if model not in names:
        return f"{model} not in the kernel's table: {names}"
    column = names.index(model)
    wrong = [row for row in ("Can read DVD", "Can write DVD-R", "Can write CD-RW", "Can open tray",
                             "Can play audio") if table.get(row, [])[column:column + 1] != ["1"]]
    return f"the kernel does not see the drive's capabilities: {wrong}" if wrong else None


def nodes_as_udev_leaves_them(run, nodes):
    wrong = [line for line in run.out if not line.startswith("root:cdrom 660 ")]
    if wrong or len(run.out) != 2 * len(DRIVES):
        return f"nodes not root:cdrom 0660: {run.out}"
    return None


def parse_results(text):
    runs, nodes = {}, {}
    for line in text.splitlines():
        parts = line.rstrip("\r").split("\t", 2)
        if parts[0] == "N" and len(parts) == 3:
            sr, sg = parts[2].split("\t")
            nodes[parts[1]] = (sr, sg)
        elif len(parts) == 3 and parts[0] in "ROEDX":
            run = runs.setdefault(parts[1], Run())
            if parts[0] == "R":
                run.exit = int(parts[2])
            else:
                {"O": run.out, "E": run.err, "D": run.drive, "X": run.reset}[parts[0]].append(parts[2])
    return runs, nodes


def resolve(text, nodes):
    for name, (sr, sg) in nodes.items():
        text = text.replace(f"@{name}.sr", sr).replace(f"@{name}.sg", sg)
    return text


def faults_of(case, run, nodes):
    if run is None or run.exit is None:
        return ["did not run"]
    faults = []
    if run.reset != ["ok"]:
        faults.append(f"the drive was not reset: {run.reset}")
    if run.exit != case.exit:
        faults.append(f"exit {run.exit}, expected {case.exit}")
    run.commands = [command_name(line) for line in run.drive if line.startswith("cdb=")]
    if case.commands is not None and run.commands != case.commands:
        faults.append(f"drive received {run.commands}, expected {case.commands}")
    state = [line for line in run.drive if line.startswith("state ")]
    settings = int(state[0].split("settings=")[1].split()[0], 16) if state else None
    if case.settings is not None and settings != case.settings:
        faults.append(f"drive settings {settings}, expected {case.settings:#04x}")
    for stream, phrases in (("out", case.out), ("err", case.err)):
        text = "\n".join(getattr(run, stream))
        for phrase in phrases:
            if resolve(phrase, nodes) not in text:
                faults.append(f"std{stream} lacks {resolve(phrase, nodes)!r}")
    if any(line and not line.startswith("bitset: ") for line in run.err) and \
            case.command.startswith("bitset"):
        faults.append("a message on stderr does not start with 'bitset: '")
    if case.check:
        fault = case.check(run, nodes)
        if fault:
            faults.append(fault)
    return faults


def qemu_commands(trace):
    """Each QEMU drive's commands in the order received: the whole CDB from
    the ATAPI trace, the opcode alone from the virtio-scsi CDs (parsed, or
    refused as a group QEMU cannot size, as F3h is)."""
    received = {drive: [] for drive in QEMU_DRIVES}
    targets = {"0": "disc", "1": "empty", "2": "dvd"}
    for line in trace.splitlines():
        packet = re.search(r"ide_atapi_cmd_packet .*packet: ((?:[0-9a-f]{2} ?)+)", line)
        scsi = re.search(r"scsi_req_parse(?:d|_bad) target (\d+) lun 0 tag -?\d+ command (\d+)", line)
        if packet:
            received["atapi"].append(packet.group(1).split())
        elif scsi and scsi.group(1) in targets:
            received[targets[scsi.group(1)]].append([f"{int(scsi.group(2)):02x}"])
    return received


def qemu_side_faults(cases, trace):
    """QEMU's drives refuse F3h: each show or set there sends the read alone
    after its INQUIRY, never a write."""
    expected = {drive: 0 for drive in QEMU_DRIVES}
    for case in cases:
        for drive in QEMU_DRIVES:
            if case.user != "outsider" and re.search(rf"bitset (show|set) @{drive}\.", case.command):
                expected[drive] += 1
    faults = []
    for drive, commands in qemu_commands(trace).items():
        vendor = [cdb for cdb in commands if cdb[0] == "f3"]
        if len(vendor) != expected[drive]:
            faults.append(f"QEMU's {drive} drive received {len(vendor)} F3h commands, expected "
                          f"{expected[drive]} (the reads)")
        if any(len(cdb) > 1 and cdb[1] != "0f" for cdb in vendor):
            faults.append(f"QEMU's {drive} drive received an F3h command other than the read")
        # Every run starts with an INQUIRY: one F3h at most between two.
        since_inquiry = 0
        for cdb in commands:
            since_inquiry = 0 if cdb[0] == "12" else since_inquiry + (cdb[0] == "f3")
            if since_inquiry > 1:
                faults.append(f"QEMU's {drive} drive received more than the read after an INQUIRY")
                break
    return faults


def write_plan(cases, path):
    with open(path, "w") as plan:
        for case in cases:
            plan.write("\t".join((case.id, case.user, case.drive, case.command)) + "\n")


def read_file(path):
    if not os.path.exists(path):
        return ""
    with open(path, errors="replace") as file:
        return file.read()


def show_run(case, run, nodes):
    print(f"--- {case.id} ({case.user}): {resolve(case.command, nodes)}")
    if run:
        for label, lines in (("out", run.out), ("err", run.err), ("drive", run.drive)):
            for line in lines:
                print(f"    {label}: {line}")


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: journey.py BITSET_STATIC TCMU_HANDLER")
    cases = plan_cases()
    with tempfile.TemporaryDirectory() as work:
        write_plan(cases, os.path.join(work, "plan"))
        started = time.monotonic()
        guest = subprocess.run(
            [os.path.join(SOURCE, "scripts/kernel-shell.sh"), "--plan", os.path.join(work, "plan"),
             "--out", work],
            env=dict(os.environ, BITSET=sys.argv[1], TCMU_HANDLER=sys.argv[2]))
        seconds = time.monotonic() - started
        if guest.returncode == SKIPPED:
            print("SKIPPED: QEMU or the kernel cannot run here (install-deps.sh installs them)")
            return SKIPPED
        results, trace, console = (read_file(os.path.join(work, name))
                                   for name in ("results", "trace", "console"))
    runs, nodes = parse_results(results)
    print(f"guest: {seconds:.1f} s, {len(runs)} runs; drives: {nodes}")
    faults = 0
    if "END" not in results.splitlines() or sorted(nodes) != sorted(DRIVES):
        print(f"the guest did not run the whole plan (exit {guest.returncode}); its console:")
        print(console)
        return 1
    for case in cases:
        found = faults_of(case, runs.get(case.id), nodes)
        if found:
            faults += 1
            show_run(case, runs.get(case.id), nodes)
            for fault in found:
                print(f"    FAULT: {fault}")
    for fault in qemu_side_faults(cases, trace):
        faults += 1
        print(f"FAULT: {fault}")
    print(f"{len(cases)} runs, {faults} with faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
