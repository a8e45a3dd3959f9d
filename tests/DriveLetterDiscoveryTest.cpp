#include <gtest/gtest.h>

#include "platform/Format.h"
#include "tests/TestSupport.h"

namespace {

using memory::DeviceEvent;

// One device call as text: "open \\.\C:", "io C: 12 00 00 00 4A 00", "close C:".
std::vector<std::string> Traffic(const memory::MemoryPlatform& platform, std::size_t count) {
  std::vector<std::string> lines;
  for (const DeviceEvent& event : platform.DeviceEvents()) {
    if (lines.size() == count) break;
    switch (event.kind) {
      case DeviceEvent::Open: lines.push_back("open " + event.path); break;
      case DeviceEvent::OpenFailed: lines.push_back("open failed " + event.path); break;
      case DeviceEvent::Close: lines.push_back(std::string("close ") + event.drive + ":"); break;
      case DeviceEvent::Io: {
        std::string line = event.drive != 0 ? std::string("io ") + event.drive + ":" : "io none";
        for (std::uint8_t byte : event.cdb) line += FormatString(" %02X", byte);
        lines.push_back(line);
        break;
      }
    }
  }
  return lines;
}

class DriveLetterDiscoveryTest : public test::DialogTest {
 protected:
  DriveLetterDiscoveryTest() { platform.SetVersion(test::kNt, 5, 1); }
};

TEST_F(DriveLetterDiscoveryTest, ListsTheOpticalDrivesOfAMixedSystem) {
  platform.SetDriveRoots({"A:\\"});
  platform.AddDrive('C', test::HardDisk());
  platform.AddDrive('D', test::QsiWriter());
  platform.AddDrive('E', test::PlainCdRom());
  std::vector<int> adapters;
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    for (const CDeviceInfo* device : Inspect(dialog).Devices()) adapters.push_back(device->HostAdapter);
  });
  EXPECT_EQ(Traffic(platform, 9), (std::vector<std::string>{
                                       "open \\\\.\\C:", "io C: 12 00 00 00 4A 00", "close C:",
                                       "open \\\\.\\D:", "io D: 12 00 00 00 4A 00", "close D:",
                                       "open \\\\.\\E:", "io E: 12 00 00 00 4A 00", "close E:"}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"QSI     DVDRW SDW-082    (D:)",
                                               "LITEON  CD-ROM LTN486S   (E:)"}));
  EXPECT_EQ(adapters, (std::vector<int>{1, 2}));  // C: answered and counts as 0
  EXPECT_TRUE(platform.MessageTexts().empty());
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

TEST_F(DriveLetterDiscoveryTest, SkipsADriveThatCannotBeOpened) {
  platform.AddUnopenableDrive('C');
  platform.AddDrive('D', test::QsiWriter());
  int adapter = -1;
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) { adapter = Inspect(dialog).Devices().GetAt(0)->HostAdapter; });
  // The record's empty drive name is tried once more by the channel; no
  // device is reached.
  EXPECT_EQ(Traffic(platform, 6),
            (std::vector<std::string>{"open failed \\\\.\\C:", "open failed \\\\.\\", "io none",
                                      "open \\\\.\\D:", "io D: 12 00 00 00 4A 00", "close D:"}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"QSI     DVDRW SDW-082    (D:)"}));
  EXPECT_EQ(adapter, 0);
  EXPECT_TRUE(platform.MessageTexts().empty());
}

TEST_F(DriveLetterDiscoveryTest, DriveWhoseInquiryFailsIsNotCounted) {
  sim::DriveConfig failing = test::QsiWriter();
  failing.inquiryFails = true;
  platform.AddDrive('D', failing);
  platform.AddDrive('E', test::PlainCdRom());
  int adapter = -1;
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    ASSERT_EQ(Inspect(dialog).Devices().GetCount(), 1);
    adapter = Inspect(dialog).Devices().GetAt(0)->HostAdapter;
  });
  EXPECT_EQ(Lines(), (std::vector<std::string>{"LITEON  CD-ROM LTN486S   (E:)"}));
  EXPECT_EQ(adapter, 0);
}

TEST_F(DriveLetterDiscoveryTest, WormDevicesAreListedAndQualifiedTypesAreNot) {
  sim::DriveConfig worm = test::PlainCdRom();
  worm.peripheralType = 4;
  worm.vendor = "PIONEER";
  worm.product = "DW-S114X";
  sim::DriveConfig qualified = test::QsiWriter();
  qualified.peripheralType = 0x25;
  platform.AddDrive('D', qualified);
  platform.AddDrive('E', worm);
  RunDialog();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"PIONEER DW-S114X         (E:)"}));
}

TEST_F(DriveLetterDiscoveryTest, LowerCaseLettersAreUpperCasedBeforeUse) {
  platform.AddDrive('D', test::QsiWriter());
  platform.SetDriveRoots({"a:\\", "d:\\"});
  RunDialog();
  EXPECT_EQ(Traffic(platform, 1), (std::vector<std::string>{"open \\\\.\\D:"}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"QSI     DVDRW SDW-082    (D:)"}));
}

TEST_F(DriveLetterDiscoveryTest, OnlyFloppiesEndsTheProgramWithTheStartUpMessage) {
  platform.SetDriveRoots({"A:\\", "B:\\"});
  RunDialog();
  EXPECT_TRUE(platform.DeviceEvents().empty());
  EXPECT_GE(platform.TraceIndex("CB_RESETCONTENT 1000"), 0);
  EXPECT_EQ(platform.MessageTexts(),
            (std::vector<std::string>{
                "Aspi & SPTI init failed For SPTI, your login needs administrator rights."}));
  EXPECT_EQ(platform.MessageBoxes()[0].caption, "Bitset");
  EXPECT_EQ(platform.MessageBoxes()[0].type, 0u);
  EXPECT_EQ(ExitCode(), 0);
}

TEST_F(DriveLetterDiscoveryTest, NoDriveListFromThePlatformTriesAspi) {
  platform.SetDriveRoots({});
  sim::DriveModel& drive = platform.InstallAspi().AddDevice(0, 1, 0, test::QsiWriter());
  RunDialog();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"0:1:0  CD/DVD QSI     DVDRW SDW-082   "}));
  EXPECT_TRUE(platform.MessageTexts().empty());
  // A device the bus scan found has no drive letter: its commands go
  // through the library that found it, never to a device path.
  EXPECT_TRUE(platform.DeviceEvents().empty());
  EXPECT_EQ(test::CdbsOf(drive),
            (std::vector<std::string>{"12 00 00 00 4A 00", "F3 0F 02 00 00 00 07 00 80 00 00 00",
                                      "F3 0F 02 00 00 00 07 00 80 00 00 00",
                                      "F3 0F 02 00 00 00 07 00 80 00 00 00"}));
  EXPECT_TRUE(Enabled(IDC_SET_PLUS_R));
}

TEST_F(DriveLetterDiscoveryTest, DiscardedRecordIsNeitherSelectedNorBound) {
  platform.AddDrive('D', test::QsiWriter());
  platform.AddDrive('E', test::HardDisk());  // questioned last, then destroyed
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    EXPECT_TRUE(dialog.EnumerateSptiDrives());
    EXPECT_EQ(Inspect(dialog).SelectedDevice(), nullptr);
    EXPECT_EQ(Inspect(dialog).Channel().BoundDevice(), nullptr);
  });
}

// The exception comes while E:'s record exists and is bound for its INQUIRY:
// the record dies with the walk, and nothing may still point at it.
void ThrowWhileQuestioningE(memory::MemoryPlatform& platform) {
  platform.AddDrive('D', test::QsiWriter());
  platform.AddDrive('E', test::PlainCdRom());
  platform.ThrowFileExceptionAt("DeviceIoControl", 2);  // E:'s INQUIRY
}

TEST_F(DriveLetterDiscoveryTest, FileExceptionIsReportedAndLeavesNothingDangling) {
  ThrowWhileQuestioningE(platform);
  platform.InstallAspi().AddDevice(0, 1, 0, test::QsiWriter());
  bool selectedListed = false;
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    for (const CDeviceInfo* device : Inspect(dialog).Devices()) {
      selectedListed = selectedListed || device == Inspect(dialog).SelectedDevice();
    }
  });
  ASSERT_FALSE(platform.MessageTexts().empty());
  EXPECT_EQ(platform.MessageTexts()[0],
            "Fatal Error In SPTI, try changing to ASPI, Exception " +
                test::ExceptionNumberText(platform.ThrownExceptionAddress()));
  // The bus scan lists its own device first, then what the walk had listed.
  EXPECT_EQ(Lines(), (std::vector<std::string>{"0:1:0  CD/DVD QSI     DVDRW SDW-082   ",
                                               "0:0:0  CD/DVD QSI     DVDRW SDW-082   "}));
  EXPECT_TRUE(selectedListed);
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

}  // namespace
