// The exe's dialog and the command-line program against the same simulated
// drives: one table of cases, each run through both, which must send the
// drive the same commands and report the same outcome. The one difference is
// a settings byte of 00h: the window shows DVD-ROM for +R media there, the
// command line shows the bit (DVD+R) and a note saying how the window shows it.
#include <gtest/gtest.h>

#include "app/DvdInfoDlg.h"
#include "cli/CliCommands.h"
#include "cli/ExitCodes.h"
#include "tests/CliSupport.h"
#include "tests/SimulatedSgDriver.h"
#include "tests/TestSupport.h"

namespace {

struct Case {
  const char* what;
  sim::DriveConfig drive;
  bool plusRw;     // the +RW setting, else the +R setting
  int choice;      // 0 the medium's own type, 1 DVD-ROM
  const char* value;    // the value byte written, when the write is sent
  std::string message;  // what the exe says, and the CLI too; empty for none
  int exit;        // of the CLI
};

// What one run left behind: the commands after the drive was found and
// probed, the two book types shown afterwards, the messages.
struct Outcome {
  std::vector<std::string> commands;
  std::string plusR, plusRw;
  std::string messages;
  int settings = -1;  // the drive's settings byte at the end
};

std::vector<std::string> After(const sim::DriveModel& drive, std::size_t skip) {
  std::vector<std::string> cdbs = test::CdbsOf(drive);
  cdbs.erase(cdbs.begin(), cdbs.begin() + static_cast<std::ptrdiff_t>(std::min(skip, cdbs.size())));
  return cdbs;
}

// The exe: the drive as D:, the radio button of the choice, the set button,
// Yes to the question.
Outcome RunExe(const Case& c) {
  memory::MemoryPlatform platform;
  platform.SetVersion(test::kNt, 5, 1);
  sim::DriveModel& drive = platform.AddDrive('D', c.drive);
  platform.QueueAnswer(Id::Yes);
  Outcome outcome;
  platform.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
    drive.ClearCommands();
    const int own = c.plusRw ? IDC_PLUS_RW_OWN : IDC_PLUS_R_OWN;
    const int rom = c.plusRw ? IDC_PLUS_RW_ROM : IDC_PLUS_R_ROM;
    platform.Click(window, c.choice == 0 ? own : rom);
    platform.Click(window, c.plusRw ? IDC_SET_PLUS_RW : IDC_SET_PLUS_R);
    outcome.plusR = platform.Text(window, IDC_PLUS_R_TEXT);
    outcome.plusRw = platform.Text(window, IDC_PLUS_RW_TEXT);
  });
  CDvdInfoDlg dialog;
  try {
    dialog.DoModal();
  } catch (const memory::ProcessExit&) {
  }
  outcome.commands = After(drive, 0);
  for (const std::string& text : platform.MessageTexts()) {
    if (text != "Are you sure you want to change the bitsetting?") outcome.messages += text + "\n";
  }
  return outcome;
}

// The CLI: set with --yes; the commands after its INQUIRY and its probe.
Outcome RunCli(const Case& c, int& exit) {
  test::SimulatedSgDriver driver;
  test::ScriptedConsole console;
  const sim::DriveModel& drive = driver.AddDrive("/dev/sg1", c.drive);
  const char* value = c.choice == 1 ? "dvd-rom" : (c.plusRw ? "dvd+rw" : "dvd+r");
  exit = RunBitset({"set", "/dev/sg1", c.plusRw ? "--plus-rw" : "--plus-r", value, "--yes"},
                   console, driver, test::NoDeviceTree());
  Outcome outcome;
  outcome.commands = After(drive, 2);
  for (const std::string& line : console.results) {
    if (line.compare(0, 13, "DVD+R media: ") == 0) outcome.plusR = line.substr(15);
    if (line.compare(0, 13, "DVD+RW media:") == 0) outcome.plusRw = line.substr(15);
  }
  outcome.messages = console.AllMessages();
  outcome.settings = drive.Config().settings;
  return outcome;
}

const char kRead[] = "F3 0F 02 00 00 00 07 00 80 00 00 00";

std::string Write(const char* value) {
  return std::string("F3 0E 70 ") + value + " 00 00 00 00 00 00 00 00";
}

sim::DriveConfig FailingWriter() {
  sim::DriveConfig config = test::QsiWriter();
  config.writeFails = true;
  config.settings = 0x02;  // +R media as DVD+R: a change to DVD-ROM is sent
  return config;
}

TEST(ExeAndCliAgree, OnEverySimulatedDrive) {
  const char kFirmware[] = "Wrong firmware revision,  you must upgrade to at least BX03 firmware";
  const char kFailed[] = "Error. May not be a QSI / Nu-Tek drive or wrong firmware";
  const Case cases[] = {
      {"+R to DVD-ROM", test::QsiWriter("BX03", 0x02), false, 1, "D1", "", kExitSuccess},
      {"+R back to DVD+R", test::QsiWriter("BX03", 0x03), false, 0, "D0", "", kExitSuccess},
      {"+RW to DVD+RW", test::QsiWriter("BX03", 0x03), true, 0, "E0", "", kExitSuccess},
      {"+RW to DVD-ROM, other bits set", test::QsiWriter("BX03", 0x84), true, 1, "E2", "",
       kExitSuccess},
      {"+RW back to DVD+RW, ending at 00h", test::QsiWriter("BX03", 0x02), true, 0, "E0", "",
       kExitSuccess},
      {"firmware BX02", test::QsiWriter("BX02", 0x00), false, 1, nullptr, kFirmware,
       kExitFirmwareRefused},
      {"firmware bx01", test::QsiWriter("bx01", 0x00), true, 1, nullptr, kFirmware,
       kExitFirmwareRefused},
      {"refused write", FailingWriter(), false, 1, "D1", kFailed, kExitDriveRefused},
  };
  for (const Case& c : cases) {
    int exit = -1;
    const Outcome exe = RunExe(c);
    const Outcome cli = RunCli(c, exit);
    EXPECT_EQ(exit, c.exit) << c.what;
    EXPECT_EQ(cli.commands, exe.commands) << c.what;
    if (c.value == nullptr) {
      EXPECT_TRUE(exe.commands.empty()) << c.what;
    } else {
      ASSERT_FALSE(exe.commands.empty()) << c.what;
      EXPECT_EQ(exe.commands.front(), Write(c.value)) << c.what;
    }
    if (c.message.empty()) {
      EXPECT_EQ(exe.commands.size(), 2u) << c.what;
      EXPECT_EQ(exe.commands.back(), kRead) << c.what;
      const bool zero = cli.settings == 0;
      EXPECT_EQ(cli.plusR, zero ? "DVD+R" : exe.plusR) << c.what;
      EXPECT_EQ(exe.plusR, zero ? "DVD-ROM" : cli.plusR) << c.what;
      EXPECT_EQ(cli.plusRw, exe.plusRw) << c.what;
      EXPECT_TRUE(exe.messages.empty()) << c.what << ": " << exe.messages;
      EXPECT_EQ(cli.messages, zero ? "bitset: settings byte 00h: the window shows DVD-ROM for DVD+R "
                                     "media at this byte\n"
                                   : "")
          << c.what;
    } else {
      EXPECT_EQ(exe.messages, c.message + "\n") << c.what;
      EXPECT_NE(cli.messages.find(c.message), std::string::npos) << c.what << ": " << cli.messages;
    }
  }
}

}  // namespace
