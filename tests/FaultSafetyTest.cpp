// Failing platform calls and allocations must never turn into a write the
// user did not agree to, a command to a drive the window does not show, or
// a request left running after its sender returned.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/PlatformClass.h"
#include "devices/DeviceList.h"
#include "scsi/AspiLibrary.h"
#include "scsi/AspiSrb.h"
#include "scsi/ScsiPassThrough.h"
#include "tests/AllocationFaults.h"
#include "tests/TestSupport.h"

namespace {

using memory::FaultMode;

const char kInquiry[] = "12 00 00 00 4A 00";
const char kRead[] = "F3 0F 02 00 00 00 07 00 80 00 00 00";

// How many book-type writes reached a drive.
int Writes(const sim::DriveModel& drive) {
  int writes = 0;
  for (const sim::CommandRecord& command : drive.Commands()) {
    if (command.cdb.size() > 1 && command.cdb[0] == 0xF3 && command.cdb[1] == 0x0E) ++writes;
  }
  return writes;
}

int VendorCommands(const sim::DriveModel& drive) {
  int vendor = 0;
  for (const sim::CommandRecord& command : drive.Commands()) vendor += command.cdb[0] == 0xF3;
  return vendor;
}

class FaultSafety : public test::DialogTest {
 protected:
  FaultSafety() { platform.SetVersion(test::kNt, 5, 1); }

  // The box's selected line names the device that commands go to.
  void ExpectBoxShowsBoundDevice(CDvdInfoDlg& dialog) {
    const int shown = platform.Control(window_, IDC_DRIVE_BOX)->curSel;
    ASSERT_GE(shown, 0) << "no line selected";
    const DialogInspector inspect(dialog);
    EXPECT_EQ(inspect.Devices().GetAt(shown), inspect.Channel().BoundDevice());
  }
};

TEST_F(FaultSafety, OnlyYesToTheQuestionWrites) {
  const struct {
    FaultMode mode;
    int answer;
  } cases[] = {{FaultMode::Fail, 0}, {FaultMode::Answer, Id::Ok}, {FaultMode::Answer, Id::Cancel}};
  for (const auto& c : cases) {
    memory::MemoryPlatform inner;
    inner.SetVersion(test::kNt, 5, 1);
    sim::DriveModel& drive = inner.AddDrive('D', test::QsiWriter("BX03", 0x00));
    CDvdInfoDlg dialog;
    inner.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
      inner.Click(window, IDC_PLUS_R_ROM);
      inner.InjectFault("MessageBox", 1, c.mode, c.answer);
      inner.Click(window, IDC_SET_PLUS_R);
    });
    dialog.DoModal();
    EXPECT_EQ(Writes(drive), 0) << "answer " << c.answer;
  }
}

// Line i of the drive box names element i of the list, whatever line could not be added.
TEST_F(FaultSafety, ALineThatCannotBeAddedDropsItsRecordOnTheLetterRoute) {
  sim::DriveModel& d = platform.AddDrive('D', test::QsiWriter("BX03", 0x00));
  sim::DriveModel& e = platform.AddDrive('E', test::QsiWriter("BX03", 0x03));
  platform.InjectFault("CB_ADDSTRING", 1);
  platform.QueueAnswer(Id::Yes);
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    ASSERT_EQ(Inspect(dialog).Devices().GetCount(), 1);
    EXPECT_STREQ(Inspect(dialog).Devices().GetAt(0)->DriveName, "E:");
    EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "DVD-ROM") << "the settings shown are E:'s";
    platform.Click(window, IDC_SET_PLUS_R);
  });
  ASSERT_EQ(Lines().size(), 1u);
  EXPECT_NE(Lines()[0].find("(E:)"), std::string::npos);
  EXPECT_EQ(Writes(d), 0);
  EXPECT_EQ(Writes(e), 1);
}

TEST_F(FaultSafety, ALineThatCannotBeAddedDropsItsRecordOnTheBusScan) {
  platform.SetVersion(test::kWindows, 4, 10);
  memory::AspiSimulation& aspi = platform.InstallAspi();
  sim::DriveModel& first = aspi.AddDevice(0, 1, 0, test::QsiWriter("BX03", 0x00));
  sim::DriveModel& last = aspi.AddDevice(0, 2, 0, test::QsiWriter("BX03", 0x03));
  platform.InjectFault("CB_ADDSTRING", 1);  // the line of 0:2:0, listed first
  platform.QueueAnswer(Id::Yes);
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    ASSERT_EQ(Inspect(dialog).Devices().GetCount(), 1);
    EXPECT_EQ(Inspect(dialog).Devices().GetAt(0)->TargetId, 1);
    EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "DVD+RW");
    platform.Click(window, IDC_SET_PLUS_R);
  });
  ASSERT_EQ(Lines().size(), 1u);
  EXPECT_EQ(Lines()[0].compare(0, 5, "0:1:0"), 0);
  EXPECT_EQ(Writes(last), 0);
  EXPECT_EQ(Writes(first), 1);
}

TEST_F(FaultSafety, AnUnreadableSelectionFallsBackVisiblyToTheFirstLine) {
  platform.AddDrive('D', test::QsiWriter("BX03", 0x00));
  platform.AddDrive('E', test::QsiWriter("BX03", 0x03));
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    platform.InjectFault("CB_GETCURSEL", 1);
    platform.SelectLine(window, IDC_DRIVE_BOX, 1);
    ExpectBoxShowsBoundDevice(dialog);
  });
}

TEST_F(FaultSafety, AFailedFirstSelectionIsMadeVisible) {
  platform.AddDrive('D', test::QsiWriter("BX03", 0x00));
  platform.InjectFault("CB_SETCURSEL", 1);  // discovery's
  platform.InjectFault("CB_SETCURSEL", 2);  // the first drive's
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) { ExpectBoxShowsBoundDevice(dialog); });
}

TEST_F(FaultSafety, WithNoLineSelectableNothingIsSent) {
  sim::DriveModel& d = platform.AddDrive('D', test::QsiWriter("BX03", 0x00));
  for (int nth = 1; nth <= 8; ++nth) platform.InjectFault("CB_SETCURSEL", nth);
  RunDialog();
  EXPECT_EQ(VendorCommands(d), 0);
}

TEST_F(FaultSafety, AnUnreadableRadioChoiceSendsNothing) {
  const struct {
    int button;
    int getCheck;  // the call that reads the group's first button
  } cases[] = {{IDC_SET_PLUS_R, 1}, {IDC_SET_PLUS_RW, 3}};
  for (const auto& c : cases) {
    memory::MemoryPlatform inner;
    inner.SetVersion(test::kNt, 5, 1);
    sim::DriveModel& drive = inner.AddDrive('D', test::QsiWriter("BX03", 0x00));
    inner.SetDefaultAnswer(Id::Yes);
    CDvdInfoDlg dialog;
    inner.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
      inner.InjectFault("BM_GETCHECK", c.getCheck);
      inner.Click(window, c.button);
    });
    dialog.DoModal();
    EXPECT_EQ(Writes(drive), 0) << c.button;
  }
}

TEST_F(FaultSafety, AClosedHandleIsNeverReusedAfterAnException) {
  sim::DriveModel& d = platform.AddDrive('D', test::QsiWriter("BX03", 0x00));
  sim::DriveModel& e = platform.AddDrive('E', test::QsiWriter("BX03", 0x03));
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    platform.InjectFault("DeviceIoControl", 1, FaultMode::ThrowBadAlloc);
    // The dialog procedure catches what escapes the handler and shows it.
    platform.SelectLine(window, IDC_DRIVE_BOX, 0);
    EXPECT_EQ(platform.MessageTexts().back(), std::bad_alloc().what());
    EXPECT_EQ(platform.OpenDeviceCount(), 0);
    d.ClearCommands();
    e.ClearCommands();
    platform.SelectLine(window, IDC_DRIVE_BOX, 1);
    EXPECT_TRUE(d.Commands().empty());
    EXPECT_EQ(test::CdbsOf(e), (std::vector<std::string>{kRead, kRead}));
  });
}

TEST(CommandChannel, NeverUsesAHandleOpenedForAnotherDrive) {
  memory::MemoryPlatform platform;
  platform.SetVersion(test::kNt, 5, 1);
  sim::DriveModel& d = platform.AddDrive('D', test::QsiWriter());
  sim::DriveModel& e = platform.AddDrive('E', test::QsiWriter());
  CScsiPassThrough channel{RouteFor(GetPlatformClass()), platform};
  CDeviceInfo record;
  std::memcpy(record.DriveName, "E:", sizeof record.DriveName);
  channel.OpenDrive("D:");
  channel.BindDevice(&record);
  std::uint8_t response[74] = {};
  channel.CommandByte(0) = 0x12;
  channel.CommandByte(4) = 0x4A;
  channel.CommandByte(5) = 0x00;
  EXPECT_EQ(channel.ExecuteCommand(kDataFromDrive, response, sizeof response), kCommandSucceeded);
  EXPECT_TRUE(d.Commands().empty());
  EXPECT_EQ(test::CdbsOf(e), (std::vector<std::string>{kInquiry}));
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

// A record whose destruction can be seen.
class WatchedRecord : public CDeviceInfo {
 public:
  explicit WatchedRecord(bool& destroyed) : destroyed_(destroyed) {}
  ~WatchedRecord() override { destroyed_ = true; }

 private:
  bool& destroyed_;
};

TEST(DeviceList, ARecordIsNotLostWhenTheListCannotGrow) {
  for (bool atHead : {false, true}) {
    DeviceList list;
    bool destroyed = false;
    auto record = std::make_unique<WatchedRecord>(destroyed);
    {
      test::FailingAllocation failing(1);
      if (atHead) {
        EXPECT_THROW(list.AddHead(std::move(record)), std::bad_alloc);
      } else {
        EXPECT_THROW(list.AddTail(std::move(record)), std::bad_alloc);
      }
    }
    EXPECT_TRUE(destroyed) << atHead;
    EXPECT_TRUE(list.IsEmpty());
    list.FreeAll();
  }
}

// The channel keeps to the route it chose when made, even when asked again
// the platform would answer otherwise.
TEST(CommandChannel, OpensOnlyOnTheRouteItWasMadeFor) {
  memory::MemoryPlatform platform;
  platform.AddDrive('D', test::QsiWriter());
  platform.SetVersion(test::kWindows, 4, 10);
  CScsiPassThrough channel{RouteFor(GetPlatformClass()), platform};
  platform.SetVersion(test::kNt, 5, 1);
  EXPECT_EQ(channel.OpenDrive("D:"), 1);
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

}  // namespace
