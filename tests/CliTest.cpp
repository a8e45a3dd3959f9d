// The command-line program run in-process: the Linux platform over the
// simulated SCSI generic driver, with a scripted user.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "bitset/BookTypeCommands.h"
#include "cli/CliCommands.h"
#include "cli/ExitCodes.h"
#include "cli/NodeSession.h"
#include "tests/CliSupport.h"
#include "tests/SimulatedSgDriver.h"
#include "tests/TestSupport.h"

namespace {

class Cli : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& arguments) {
    return RunBitset(arguments, console, driver, test::NoDeviceTree());
  }
  std::vector<std::string> Cdbs(const std::string& node) {
    std::vector<std::string> cdbs;
    for (const auto& request : driver.Requests()) {
      if (request.node == node) cdbs.push_back(test::CdbText(request.cdb));
    }
    return cdbs;
  }

  test::SimulatedSgDriver driver;
  test::ScriptedConsole console;
};

const char kInquiry[] = "12 00 00 00 4A 00";
const char kRead[] = "F3 0F 02 00 00 00 07 00 80 00 00 00";
const char kWriteE2[] = "F3 0E 70 E2 00 00 00 00 00 00 00 00";

TEST_F(Cli, SetSendsEachCommandWithItsDirectionLengthAndTimeOut) {
  sim::DriveModel& drive = driver.AddDrive("/dev/sg1", test::QsiWriter("BX03", 0x01));
  EXPECT_EQ(Run({"set", "/dev/sg1", "--plus-rw", "dvd-rom", "--yes"}), kExitSuccess);
  EXPECT_EQ(Cdbs("/dev/sg1"), (std::vector<std::string>{kInquiry, kRead, kWriteE2, kRead}));
  const struct {
    int direction;
    unsigned length;
  } expected[] = {{SG_DXFER_FROM_DEV, 74}, {SG_DXFER_FROM_DEV, 128}, {SG_DXFER_NONE, 0},
                  {SG_DXFER_FROM_DEV, 128}};
  ASSERT_EQ(driver.Requests().size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(driver.Requests()[i].direction, expected[i].direction) << i;
    EXPECT_EQ(driver.Requests()[i].length, expected[i].length) << i;
    EXPECT_EQ(driver.Requests()[i].timeout, 30000u) << i;
  }
  EXPECT_EQ(drive.Config().settings, 0x03);
  EXPECT_EQ(driver.OpenCount(), 0) << "no node is left open";
  EXPECT_EQ(console.results.back(), "settings byte: 03h");
}

TEST_F(Cli, TheQuestionShowsTheChangeAndOnlyYesWrites) {
  const struct {
    const char* answer;
    int exit;
    std::size_t commands;
  } cases[] = {{"yes\n", kExitSuccess, 5}, {"n", kExitCancelled, 2}, {"", kExitCancelled, 2},
               {"sure", kExitCancelled, 2}};
  for (const auto& c : cases) {
    test::SimulatedSgDriver local;
    test::ScriptedConsole user;
    user.interactive = true;
    user.answers.push_back(c.answer);
    local.AddDrive("/dev/sg1", test::QsiWriter("BX03", 0x00));
    const std::vector<std::string> arguments{"set", "/dev/sg1", "--plus-r", "dvd-rom",
                                             "--plus-rw", "dvd-rom"};
    EXPECT_EQ(RunBitset(arguments, user, local, test::NoDeviceTree()), c.exit) << c.answer;
    EXPECT_EQ(local.Requests().size(), c.commands) << c.answer;
    EXPECT_EQ(user.questions,
              std::vector<std::string>{"Are you sure you want to change the bitsetting? [y/N] "});
    // At 00h neither bit is set: both settings change, and both are shown.
    EXPECT_NE(user.AllMessages().find("DVD+R media: DVD+R -> DVD-ROM\n"
                                      "bitset: DVD+RW media: DVD+RW -> DVD-ROM\n"),
              std::string::npos)
        << user.AllMessages();
  }
}

TEST_F(Cli, FailuresBelowTheDriveAreExplained) {
  const struct {
    const char* node;
    int openError, requestError;
    unsigned short hostStatus;
    int exit;
    const char* said;
  } cases[] = {
      {"/dev/sg1", EACCES, 0, 0, kExitNoDevice,
       "bitset: /dev/sg1: cannot open: Permission denied: read and write access is needed, usually "
       "membership of the cdrom group"},
      {"/dev/sr0", 0, EPERM, 0, kExitDriveRefused,
       "bitset: /dev/sr0: no answer to INQUIRY: Operation not permitted: through /dev/sr* the kernel "
       "passes vendor commands only for root; the drive has no /dev/sg* node (modprobe sg) to use"},
      {"sr0", 0, EPERM, 0, kExitDriveRefused,
       "bitset: sr0: no answer to INQUIRY: Operation not permitted: through /dev/sr* the kernel "
       "passes vendor commands only for root; the drive has no /dev/sg* node (modprobe sg) to use"},
      {"/dev/null", 0, ENOTTY, 0, kExitNotCdDvd,
       "bitset: /dev/null: no answer to INQUIRY: Inappropriate ioctl for device: not a SCSI device"},
      {"/dev/sg1", 0, 0, 0x03, kExitDriveRefused,
       "bitset: /dev/sg1: no answer to INQUIRY: Connection timed out: the drive did not answer within 30 "
       "seconds"},
  };
  for (const auto& c : cases) {
    test::SimulatedSgDriver local;
    test::ScriptedConsole user;
    local.AddDrive(c.node, test::QsiWriter());
    if (c.openError != 0) local.RefuseOpen(c.node, c.openError);
    if (c.requestError != 0) local.RefuseRequests(c.node, c.requestError);
    if (c.hostStatus != 0) local.SetHostStatus(c.node, c.hostStatus);
    EXPECT_EQ(RunBitset({"show", c.node}, user, local, test::NoDeviceTree()), c.exit) << c.said;
    EXPECT_EQ(user.messages, std::vector<std::string>{c.said});
    EXPECT_TRUE(user.results.empty());
    EXPECT_LE(local.Requests().size(), 1u) << "nothing after a failed INQUIRY";
  }
}

// A read the drive did not carry out, or whose answer ends before the
// settings byte, shows no settings and fails: nothing passes for a setting.
TEST_F(Cli, AReadWithoutTheSettingsByteShowsNoSettings) {
  const struct {
    std::uint8_t status;
    std::uint32_t returned;
    const char* said;
  } cases[] = {
      {0x18, 128, "status 18h (RESERVATION CONFLICT): the drive did not carry the command out"},
      {0x08, 128, "status 08h (BUSY)"},
      {0x00, 6, "the response ended before the settings byte"},
  };
  for (const auto& c : cases) {
    test::SimulatedSgDriver local;
    test::ScriptedConsole user;
    sim::DriveConfig& drive = local.AddDrive("/dev/sg1", test::QsiWriter("BX03", 0x00)).Config();
    drive.statusWithoutSense = c.status;
    drive.settingsLength = c.returned;
    EXPECT_EQ(RunBitset({"show", "/dev/sg1"}, user, local, test::NoDeviceTree()), kExitDriveRefused);
    EXPECT_EQ(user.results.size(), 1u) << "the device line only";
    EXPECT_NE(user.AllMessages().find(c.said), std::string::npos) << user.AllMessages();
    EXPECT_EQ(RunBitset({"set", "/dev/sg1", "--plus-r", "dvd+r", "--yes"}, user, local,
                        test::NoDeviceTree()),
              kExitDriveRefused);
    EXPECT_EQ(local.Drive("/dev/sg1")->Commands().size(), 4u) << "INQUIRY and read, twice; no write";
  }
}

// --dry-run stops before the first write; --verbose shows every command and
// its outcome on standard error, after the program's name.
TEST_F(Cli, DryRunAndVerbose) {
  driver.AddDrive("/dev/sg1", test::QsiWriter("BX03", 0x02));
  driver.AddDrive("/dev/sg2", test::PlainCdRom());
  EXPECT_EQ(Run({"-v", "set", "/dev/sg1", "--plus-r", "dvd-rom", "--plus-rw", "dvd+rw", "-n"}),
            kExitSuccess);
  EXPECT_EQ(Cdbs("/dev/sg1"), (std::vector<std::string>{kInquiry, kRead}));
  EXPECT_EQ(driver.Drive("/dev/sg1")->Config().settings, 0x02);
  const std::string said = console.AllMessages();
  for (const char* line : {"bitset: cdb: 12 00 00 00 4A 00 (from drive, 74 bytes)\n"
                           "bitset: status: 00h (GOOD), 36 bytes transferred\n"
                           "bitset: cdb: F3 0F 02 00 00 00 07 00 80 00 00 00 (from drive, 128 bytes)\n",
                           "bitset: DVD+R media: DVD+R -> DVD-ROM\nbitset: DVD+RW media: DVD-ROM -> DVD+RW\n"
                           "bitset: Dry run: nothing was sent to the drive\n"}) {
    EXPECT_NE(said.find(line), std::string::npos) << line << said;
  }
  console.messages.clear();
  EXPECT_EQ(Run({"-vv", "show", "/dev/sg2"}), kExitDriveRefused);
  EXPECT_NE(console.AllMessages().find(
                "bitset: status: 02h (CHECK CONDITION), 0 bytes transferred\n"
                "bitset: sense: 70 00 05 00 00 00 00 0A 00 00 00 00 20 00 00 00 00 00 (key 5h "
                "ILLEGAL REQUEST, ASC 20h, ASCQ 00h)\n"),
            std::string::npos)
      << console.AllMessages();
  EXPECT_NE(console.AllMessages().find("bitset: data in: 05 00 02 02 1F"), std::string::npos);
}

TEST_F(Cli, ShowAsJsonLines) {
  driver.AddDrive("/dev/sg1", test::QsiWriter("BX03", 0xFF)).Config().vendor = "QSI-NUTK";  // all 8 bytes
  EXPECT_EQ(Run({"show", "/dev/sg1", "--json"}), kExitSuccess);
  EXPECT_EQ(console.results,
            (std::vector<std::string>{
                R"({"device":"/dev/sg1","also":[],"type":5,"type_name":"CD/DVD","vendor":"QSI-NUTK",)"
                R"("product":"DVDRW SDW-082","revision":"BX03"})",
                R"({"device":"/dev/sg1","plus_r":"DVD-ROM","plus_rw":"DVD-ROM","settings":255})"}));
  EXPECT_TRUE(console.messages.empty());
}

// Output, writes and exit code tell one story, by the settings byte's two
// bits, which the write values set and clear; at 00h a note tells how the
// window shows that byte.
TEST_F(Cli, SetWritesOnlyRealChangesAndNeverContradictsItself) {
  const struct {
    std::uint8_t settings;
    bool ignoresWrites;
    std::vector<std::string> options;
    int exit;
    std::vector<std::string> writes;
    const char* said;
    const char* plusR;  // shown at the end
  } cases[] = {
      {0x02, true, {"--plus-r", "dvd-rom"}, kExitDriveRefused, {"D1"},
       "The drive did not take the change: it reports DVD+R for DVD+R media", "DVD+R"},
      {0x03, false, {"--plus-r", "dvd+r", "--plus-rw", "dvd+rw"}, kExitSuccess, {"D0", "E0"},
       "settings byte 00h: the window shows DVD-ROM for DVD+R media at this byte", "DVD+R"},
      {0x01, false, {"--plus-r", "dvd+r"}, kExitSuccess, {"D0"}, "", "DVD+R"},
      {0x00, false, {"--plus-r", "dvd+r"}, kExitSuccess, {}, "Nothing to change", "DVD+R"},
      {0x00, false, {"--plus-r", "dvd-rom"}, kExitSuccess, {"D1"}, "", "DVD-ROM"},
      {0x01, false, {"--plus-rw", "dvd-rom"}, kExitSuccess, {"E2"}, "", "DVD-ROM"},
  };
  for (const auto& c : cases) {
    test::SimulatedSgDriver local;
    test::ScriptedConsole user;
    local.AddDrive("/dev/sg1", test::QsiWriter("BX03", c.settings)).Config().ignoresWrites =
        c.ignoresWrites;
    std::vector<std::string> arguments{"set", "/dev/sg1", "--yes"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(RunBitset(arguments, user, local, test::NoDeviceTree()), c.exit) << c.options[1];
    std::vector<std::string> writes;
    for (const auto& request : local.Requests()) {
      if (request.cdb[1] == 0x0E) writes.push_back(test::CdbText({request.cdb[3]}));
    }
    EXPECT_EQ(writes, c.writes) << c.options[1];
    EXPECT_NE(user.AllMessages().find(c.said), std::string::npos) << user.AllMessages();
    EXPECT_EQ(user.results.at(1), std::string("DVD+R media:   ") + c.plusR) << user.AllMessages();
  }
}

// disc: what each disc says in words, and each failure with its own exit
// code; INQUIRY and the three standard commands only, whatever the drive.
TEST_F(Cli, DiscTellsWhatTheDiscSaysAndNeverGuesses) {
  const struct {
    const char* config;
    int exit;
    std::size_t commands;
    const char* said;  // the verdict, or the message
  } rows[] = {
      {"disc=dvd+r:dvd-rom", kExitSuccess, 4,
       "a DVD+R that reads as DVD-ROM: its book type was set when it was written"},
      {"disc=dvd+rw:dvd+rw", kExitSuccess, 4, "a DVD+RW that carries its own book type"},
      {"disc=dvd-rom;vendor-commands=0", kExitSuccess, 4, "a pressed DVD-ROM"},
      {"disc=none", kExitNoDisc, 3,
       "bitset: /dev/sg1: no disc in the drive (READ DVD STRUCTURE: sense key 2h (NOT READY), ASC "
       "3Ah, ASCQ 00h)"},
      {"disc=cd", kExitNotDvd, 2,
       "bitset: /dev/sg1: the disc is not a DVD but a CD, which has no book type (profile CD-ROM "
       "(0008h))"},
      {"disc=cd;profile=0", kExitNotDvd, 3,
       "bitset: /dev/sg1: the disc is not a DVD but a CD, which has no book type (READ DVD "
       "STRUCTURE: sense key 5h (ILLEGAL REQUEST), ASC 30h, ASCQ 02h)"},
      {"disc=dvd-rom;status=0x18", kExitDriveRefused, 2,
       "bitset: /dev/sg1: no answer to GET CONFIGURATION: status 18h (RESERVATION CONFLICT): the "
       "drive did not carry the command out"},
      {"disc=dvd-rom;disc-answer-length=7", kExitDriveRefused, 2,
       "bitset: /dev/sg1: the answer to GET CONFIGURATION ended before the fields read from it (7 "
       "bytes)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.config);
    test::SimulatedSgDriver local;
    test::ScriptedConsole user;
    sim::DriveConfig config;
    std::string error;
    ASSERT_TRUE(sim::ParseDriveConfig(row.config, config, error)) << error;
    local.AddDrive("/dev/sg1", config);
    EXPECT_EQ(RunBitset({"disc", "/dev/sg1"}, user, local, test::NoDeviceTree()), row.exit);
    ASSERT_EQ(local.Requests().size(), row.commands);
    EXPECT_EQ(local.Requests()[0].cdb[0], 0x12);
    for (const auto& request : local.Requests()) EXPECT_NE(request.cdb[0], 0xF3) << "a vendor command";
    if (row.exit == kExitSuccess) {
      EXPECT_EQ(user.results.size(), 8u);
      EXPECT_EQ(user.results.back(), row.said);
    } else {
      EXPECT_EQ(user.messages, std::vector<std::string>{row.said});
      EXPECT_EQ(user.results.size(), 1u) << "the device line only";
    }
  }
}

TEST_F(Cli, DiscShowsEachFieldWithItsCodeAndAsJson) {
  driver.AddDrive("/dev/sg1", test::QsiWriter()).Config().disc = {sim::Medium::DvdPlusR, false, 0x5};
  EXPECT_EQ(Run({"disc", "/dev/sg1"}), kExitSuccess);
  EXPECT_EQ(std::vector<std::string>(console.results.begin() + 1, console.results.end() - 1),
            (std::vector<std::string>{"profile:       DVD+R (001Bh)", "book type:     5h",
                                      "part version:  1", "layers:        1",
                                      "layer type:    recordable (2h)", "disc status:   complete"}));
  EXPECT_EQ(Run({"disc", "/dev/sg1", "--json"}), kExitSuccess);
  EXPECT_EQ(console.results.back(),
            R"({"device":"/dev/sg1","profile":27,"profile_name":"DVD+R","book_type":5,)"
            R"("book_type_name":"book type 5h","part_version":1,"layers":1,"layer_type":2,)"
            R"("layer_type_name":"recordable","disc_status":2,"disc_status_name":"complete",)"
            R"("verdict":"a DVD+R that reads as book type 5h: its book type was set when it was written"})");
}

// disc needs read access only: a node the user may not write opens for
// reading (the other commands keep asking for both); without read access
// the message says what is needed.
TEST_F(Cli, DiscOpensANodeItMayOnlyReadForReading) {
  driver.AddDrive("/dev/sg1", test::QsiWriter()).Config().disc = {sim::Medium::DvdPlusR, false, 0x0};
  driver.ReadOnlyNode("/dev/sg1");
  EXPECT_EQ(Run({"-v", "disc", "/dev/sg1"}), kExitSuccess);
  EXPECT_EQ(driver.Opens(), (std::vector<std::string>{"/dev/sg1", "/dev/sg1 read-only"}));
  EXPECT_EQ(console.messages.at(0), "bitset: /dev/sg1: opened for reading only: writing it is not permitted");
  EXPECT_EQ(Run({"show", "/dev/sg1"}), kExitNoDevice);
  EXPECT_EQ(driver.Opens().size(), 3u) << "show opens for reading and writing only";
  EXPECT_EQ(Cdbs("/dev/sg1").size(), 4u) << "INQUIRY and the three reads; nothing for show";
  driver.RefuseOpen("/dev/sg1", EACCES);
  EXPECT_EQ(Run({"disc", "/dev/sg1"}), kExitNoDevice);
  EXPECT_EQ(console.messages.back(), "bitset: /dev/sg1: cannot open: Permission denied: read access is "
                                     "needed, usually membership of the cdrom group");
}

// What a transport answered, as it is told.
struct AnsweringTransport : ScsiTransport {
  ScsiOutcome Execute(const ScsiCommand&) override { return answer; }
  ScsiOutcome answer;
};

// Each end of a command in words, in the message and in the trace, sense
// data read in either format: a write refused with descriptor-format sense,
// through the session, then outcomes as drives end them.
TEST(DescribeFailure, TellsEachEndInWords) {
  test::SimulatedSgDriver driver;
  sim::DriveConfig refusing = test::QsiWriter();
  refusing.writeFails = true;
  refusing.descriptorSense = true;
  driver.AddDrive("/dev/sg1", refusing);
  std::vector<std::string> traced;
  NodeSession session(driver, "/dev/sg1", {1, [&](const std::string& line) { traced.push_back(line); }});
  ASSERT_TRUE(session.Open() && session.Inquire());
  EXPECT_FALSE(session.Run([](CScsiPassThrough& channel) { return SetBookType(channel, 0xD1) == kCommandSucceeded; }));
  EXPECT_EQ(DescribeFailure(session.Failure(), "/dev/sg1"), "sense key 5h (ILLEGAL REQUEST), ASC 24h, ASCQ 00h");
  EXPECT_NE(traced.back().find("(key 5h ILLEGAL REQUEST, ASC 24h, ASCQ 00h)"), std::string::npos) << traced.back();
  const struct {
    std::vector<std::uint8_t> sense;
    std::uint8_t status;
    const char *said, *traced;
    ScsiEnd end = ScsiEnd::Sense;  // Refused and NoAnswer: never reached the drive
    int systemError = 0;
  } cases[] = {
      {{0x73, 0x03, 0x0C, 0x02}, 0x02, "sense key 3h (MEDIUM ERROR), ASC 0Ch, ASCQ 02h, deferred",
       "sense: 73 03 0C 02 (key 3h MEDIUM ERROR, ASC 0Ch, ASCQ 02h, deferred)"},
      {{}, 0x18, "status 18h (RESERVATION CONFLICT): the drive did not carry the command out",
       "status: 18h (RESERVATION CONFLICT), 0 bytes transferred"},
      {{}, 0, "Operation not permitted", "not carried to the drive: Operation not permitted", ScsiEnd::Refused, EPERM},
      {{}, 0, "no answer", "not carried to the drive: no answer", ScsiEnd::NoAnswer},
      {{}, 0, "Connection timed out: the drive did not answer within 30 seconds",
       "not carried to the drive: Connection timed out", ScsiEnd::NoAnswer, ETIMEDOUT},
  };
  for (const auto& c : cases) {
    AnsweringTransport drive;
    std::copy(c.sense.begin(), c.sense.end(), drive.answer.sense);
    drive.answer.senseLength = static_cast<std::uint8_t>(c.sense.size());
    SetAnswer(drive.answer, c.status, 0);
    if (c.end == ScsiEnd::Refused) SetRefused(drive.answer, c.systemError);
    if (c.end == ScsiEnd::NoAnswer) SetNoAnswer(drive.answer, c.systemError, c.systemError == ETIMEDOUT);
    CommandTrace trace(drive, 1, [&](const std::string& line) { traced.push_back(line); });
    const std::uint8_t cdb[6] = {};
    ScsiCommand command;
    command.cdb = cdb;
    command.cdbLength = 6;
    EXPECT_EQ(DescribeFailure(trace.Execute(command), "/dev/sg1"), c.said);
    EXPECT_EQ(traced.back(), c.traced);
  }
}

}  // namespace
