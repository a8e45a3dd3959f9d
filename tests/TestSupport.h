// Helpers shared by the tests: the in-memory platform with the system's
// usual start-up surroundings, and a way to run the whole application.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BitsetApp.h"
#include "res/resource.h"
#include "tests/memory/MemoryPlatform.h"

namespace test {

constexpr std::uint32_t kNt = 2;
constexpr std::uint32_t kWindows = 1;

// A QSI writer with the given revision and settings byte.
inline sim::DriveConfig QsiWriter(const std::string& revision = "BX03", std::uint8_t settings = 0) {
  sim::DriveConfig config;
  config.revision = revision;
  config.settings = settings;
  return config;
}

// A CD/DVD drive without the vendor commands.
inline sim::DriveConfig PlainCdRom() {
  sim::DriveConfig config;
  config.vendor = "LITEON";
  config.product = "CD-ROM LTN486S";
  config.revision = "YS0N";
  config.vendorCommands = false;
  return config;
}

inline sim::DriveConfig HardDisk() {
  sim::DriveConfig config;
  config.peripheralType = 0;
  config.vendor = "ATA";
  config.product = "ST380011A";
  config.revision = "3.06";
  config.vendorCommands = false;
  return config;
}

// How a run of the whole program ended.
struct AppRun {
  bool exited = false;  // the process was ended from within
  unsigned exitCode = 0;
};

// Runs the application object as the program's entry would.
inline AppRun RunApplication() {
  AppRun run;
  CBitsetApp app;
  try {
    app.Run();
  } catch (const memory::ProcessExit& exit) {
    run.exited = true;
    run.exitCode = exit.code;
  }
  return run;
}

// A CDB as hex bytes, "12 00 00 00 4A 00".
inline std::string CdbText(const std::vector<std::uint8_t>& cdb) {
  std::string text;
  for (std::uint8_t byte : cdb) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%s%02X", text.empty() ? "" : " ", byte);
    text += hex;
  }
  return text;
}

// What "%d" of an exception pointer shows: the low 32 bits of its address,
// as a signed number.
inline std::string ExceptionNumberText(std::uintptr_t address) {
  const auto low = static_cast<std::uint32_t>(address & 0xFFFFFFFFu);
  return std::to_string(low >= 0x80000000u ? -static_cast<long long>(0x100000000ull - low)
                                           : static_cast<long long>(low));
}

// The CDBs that reached one drive, as hex strings.
inline std::vector<std::string> CdbsOf(const sim::DriveModel& drive) {
  std::vector<std::string> cdbs;
  for (const sim::CommandRecord& command : drive.Commands()) cdbs.push_back(CdbText(command.cdb));
  return cdbs;
}

}  // namespace test

#include <functional>

#include "app/DvdInfoDlg.h"
#include "tests/DialogInspector.h"

namespace test {

// The main dialog run modally on the in-memory platform.
class DialogTest : public ::testing::Test {
 protected:
  using Session = std::function<void(CDvdInfoDlg& dialog, WindowHandle window)>;

  // Runs the dialog; `session` is what the user does while it is open.
  // Returns the dialog's result, or -100 when the process was ended.
  LResult RunDialog(const Session& session = nullptr) {
    CDvdInfoDlg dialog;
    dialog_ = &dialog;
    platform.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
      window_ = window;
      if (session) session(dialog, window);
    });
    LResult result = -100;
    try {
      result = dialog.DoModal();
    } catch (const memory::ProcessExit& exit) {
      exitCode_ = static_cast<int>(exit.code);
    }
    if (window_ == nullptr) window_ = platform.LastDialog();
    dialog_ = nullptr;
    return result;
  }

  std::string Text(int id) const { return platform.Text(window_, id); }
  bool Enabled(int id) const { return platform.Enabled(window_, id); }
  int Checked(int id) const { return platform.Checked(window_, id); }
  std::vector<std::string> Lines() const { return platform.Control(window_, IDC_DRIVE_BOX)->lines; }
  int ExitCode() const { return exitCode_; }

  memory::MemoryPlatform platform;
  WindowHandle window_ = nullptr;
  CDvdInfoDlg* dialog_ = nullptr;
  int exitCode_ = -1;
};

}  // namespace test
