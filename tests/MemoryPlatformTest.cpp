// The in-memory platform punishes what Windows punishes: the tests can
// only catch a fault the fake does not forgive.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "framework/FileException.h"
#include "scsi/AspiSrb.h"
#include "tests/TestSupport.h"

namespace {

using memory::WouldHang;
using SendCommand = std::uint32_t (*)(void* srb);

// The simulated library's SendASPI32Command, with a QSI writer at 0:1:0.
SendCommand AspiWithOneWriter(memory::MemoryPlatform& platform) {
  platform.InstallAspi().AddDevice(0, 1, 0, test::QsiWriter());
  return reinterpret_cast<SendCommand>(
      platform.GetProcAddress(platform.LoadLibrary("WNASPI32.DLL"), "SendASPI32Command"));
}

TEST(StrictMemoryPlatform, EventsKeepTheirResetModeAndInitialState) {
  memory::MemoryPlatform platform;
  const struct {
    bool manualReset, initialState;
    std::uint32_t first, second;  // two waits of 0 ms: WAIT_OBJECT_0 or WAIT_TIMEOUT
  } cases[] = {
      {true, true, 0, 0},          // stays signalled
      {false, true, 0, 0x102},     // the first wait takes the signal
      {true, false, 0x102, 0x102},
      {false, false, 0x102, 0x102},
  };
  for (const auto& c : cases) {
    EventHandle event = platform.CreateEvent(c.manualReset, c.initialState);
    EXPECT_EQ(platform.WaitForSingleObject(event, 0), c.first);
    EXPECT_EQ(platform.WaitForSingleObject(event, 0), c.second);
    EXPECT_TRUE(platform.ResetEvent(event));
    EXPECT_EQ(platform.WaitForSingleObject(event, 0), 0x102u);
    EXPECT_TRUE(platform.CloseHandle(event));
  }
}

TEST(StrictMemoryPlatform, AnEndlessWaitThatNothingEndsFailsAtOnce) {
  memory::MemoryPlatform platform;
  EventHandle event = platform.CreateEvent(true, false);
  EXPECT_THROW(platform.WaitForSingleObject(event, kInfinite), WouldHang);
  platform.CloseHandle(event);
}

// A request runs only while its own event is waited on; a wait that finds
// the event already signalled returns before the request has finished.
TEST(StrictMemoryPlatform, AspiRequestsRunOnlyWhileTheirEventIsWaitedOn) {
  memory::MemoryPlatform platform;
  const SendCommand send = AspiWithOneWriter(platform);
  for (bool signalledBefore : {false, true}) {
    EventHandle other = platform.CreateEvent(true, false);
    EventHandle event = platform.CreateEvent(true, signalledBefore);
    std::uint8_t data[74] = {};
    SrbExecScsiCmd srb;
    std::memset(&srb, 0, sizeof srb);
    srb.SRB_Cmd = kScExecScsiCmd;
    srb.SRB_Target = 1;
    srb.SRB_Flags = kSrbDirIn | kSrbEventNotify;
    srb.SRB_BufLen = sizeof data;
    srb.SRB_BufPointer = data;
    srb.SRB_CDBLen = 6;
    srb.CDBByte[0] = 0x12;
    srb.CDBByte[4] = 74;
    srb.SRB_PostProc = event;
    EXPECT_EQ(send(&srb), kSsPending);
    EXPECT_EQ(srb.SRB_Status, kSsPending);
    EXPECT_EQ(platform.WaitForSingleObject(other, 0), 0x102u);  // another event: still pending
    EXPECT_EQ(srb.SRB_Status, kSsPending);
    EXPECT_EQ(platform.WaitForSingleObject(event, kInfinite), 0u);
    EXPECT_EQ(srb.SRB_Status, signalledBefore ? kSsPending : kSsComp);
    if (signalledBefore) {
      EXPECT_EQ(platform.WaitForSingleObject(event, kInfinite), 0u);
      EXPECT_EQ(srb.SRB_Status, kSsComp);
    }
    platform.CloseHandle(other);
    platform.CloseHandle(event);
  }
}

TEST(StrictMemoryPlatform, AspiRefusesAtOnceWithoutSignalling) {
  memory::MemoryPlatform platform;
  const SendCommand send = AspiWithOneWriter(platform);
  const struct {
    std::uint8_t command, adapter, target, status;
  } cases[] = {
      {kScExecScsiCmd, 0, 2, kSsNoDevice},  // nothing at that address
      {kScExecScsiCmd, 1, 1, kSsInvalidHa},
      {0x01, 0, 1, kSsInvalidCmd},
  };
  for (const auto& c : cases) {
    EventHandle event = platform.CreateEvent(true, false);
    SrbExecScsiCmd srb;
    std::memset(&srb, 0, sizeof srb);
    srb.SRB_Cmd = c.command;
    srb.SRB_HaId = c.adapter;
    srb.SRB_Target = c.target;
    srb.SRB_PostProc = event;
    EXPECT_EQ(send(&srb), c.status);
    EXPECT_THROW(platform.WaitForSingleObject(event, kInfinite), WouldHang);
    platform.CloseHandle(event);
  }
}

TEST(StrictMemoryPlatform, WindowCallsRefuseWhatIsNoWindow) {
  memory::MemoryPlatform platform;
  int notAWindow = 0;
  for (WindowHandle window : {static_cast<WindowHandle>(nullptr), static_cast<WindowHandle>(&notAWindow)}) {
    EXPECT_FALSE(platform.EnableWindow(window, false));
    EXPECT_FALSE(platform.IsWindowEnabled(window));
    EXPECT_FALSE(platform.SetWindowPos(window, 0, 0, 1, 1, 0));
    EXPECT_EQ(platform.GetDlgItem(window, 1000), nullptr);
    EXPECT_EQ(platform.GetNextWindow(window), nullptr);
    EXPECT_EQ(platform.SendMessage(window, Msg::SetText, 0, reinterpret_cast<LParam>("x")), 0);
    EXPECT_TRUE(platform.GetDescendants(window).empty());
    EXPECT_EQ(platform.GetSystemMenu(window), nullptr);
    EXPECT_EQ(platform.GetLastError(), 1400u);  // ERROR_INVALID_WINDOW_HANDLE
  }
}

TEST(StrictMemoryPlatform, OnlyTheExecutablesIconLoads) {
  memory::MemoryPlatform platform;
  EXPECT_NE(platform.LoadIcon(IDR_MAINFRAME), nullptr);
  EXPECT_EQ(platform.LoadIcon(IDR_MAINFRAME + 1), nullptr);
  EXPECT_EQ(platform.LoadIcon(IDD_ABOUTBOX), nullptr);
}

// What escapes a message handler is caught by the dialog procedure and
// shown, as on Windows; the dialog goes on.
TEST(StrictMemoryPlatform, TheDialogProcedureShowsWhatEscapesAHandler) {
  struct Throwing : DialogTarget {
    void AttachWindow(WindowHandle) override {}
    bool HandleMessage(std::uint32_t message, WParam, LParam, LResult&) override {
      if (message == Msg::InitDialog) throw std::runtime_error("out of luck");
      if (message == Msg::Close) throw new CFileException(3);
      return false;
    }
  };
  memory::MemoryPlatform platform;
  Throwing target;
  platform.RunModalDialog(IDD_ABOUTBOX, nullptr, target);
  EXPECT_EQ(platform.MessageTexts(), (std::vector<std::string>{"out of luck", "File exception 3"}));
  EXPECT_EQ(platform.MessageBoxes()[0].type, 0x10u);  // MB_OK | MB_ICONERROR
}

}  // namespace
