// Discovery and selection on their own: a channel and a device list over
// the simulated drives, no window.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "devices/BusScan.h"
#include "devices/DeviceList.h"
#include "devices/DeviceSelection.h"
#include "devices/DriveBoxLines.h"
#include "devices/DriveLetterDiscovery.h"
#include "framework/FileException.h"
#include "scsi/AspiLibrary.h"
#include "scsi/ScsiPassThrough.h"
#include "tests/TestSupport.h"

namespace {

class DriveLetterWalkTest : public ::testing::Test {
 protected:
  ~DriveLetterWalkTest() override { list.FreeAll(); }

  memory::MemoryPlatform platform;
  CScsiPassThrough channel{ScsiRoute::Spti, platform};
  DeviceList list;
};

TEST_F(DriveLetterWalkTest, ListsTheAnsweringOpticalDrivesInDriveOrder) {
  platform.SetDriveRoots({"a:\\"});
  platform.AddDrive('C', test::HardDisk());
  platform.AddUnopenableDrive('D');
  platform.AddDrive('E', test::QsiWriter());
  sim::DriveConfig silent = test::QsiWriter();
  silent.inquiryFails = true;
  platform.AddDrive('F', silent);
  platform.AddDrive('G', test::PlainCdRom());
  ASSERT_TRUE(WalkDriveLetters(platform, channel, list));
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_STREQ(list.GetAt(0)->DriveName, "E:");
  EXPECT_EQ(list.GetAt(0)->HostAdapter, 1);  // C: answered before it; D: and F: did not
  EXPECT_EQ(list.GetAt(0)->Revision, "BX03");
  EXPECT_STREQ(list.GetAt(1)->DriveName, "G:");
  EXPECT_EQ(list.GetAt(1)->HostAdapter, 2);
  EXPECT_EQ(channel.BoundDevice(), list.GetAt(1));  // the last drive questioned, listed
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

TEST_F(DriveLetterWalkTest, LastDriveNotKeptLeavesTheChannelUnbound) {
  for (const sim::DriveConfig& last : {test::HardDisk(), [] {
                                         sim::DriveConfig failing = test::QsiWriter();
                                         failing.inquiryFails = true;
                                         return failing;
                                       }()}) {
    memory::MemoryPlatform drives;
    drives.AddDrive('D', test::QsiWriter());
    drives.AddDrive('E', last);
    CScsiPassThrough walker{ScsiRoute::Spti, drives};
    DeviceList found;
    ASSERT_TRUE(WalkDriveLetters(drives, walker, found));
    EXPECT_EQ(found.GetCount(), 1);
    EXPECT_EQ(walker.BoundDevice(), nullptr);
    found.FreeAll();
  }
}

TEST_F(DriveLetterWalkTest, AllTwentySixRootsAreQuestioned) {
  platform.SetDriveRoots({"A:\\", "B:\\"});
  for (char letter = 'C'; letter <= 'Z'; ++letter) platform.AddDrive(letter, test::QsiWriter());
  EXPECT_TRUE(WalkDriveLetters(platform, channel, list));
  EXPECT_EQ(list.GetCount(), 24);
  // Room for 26 roots of four bytes and the closing zero.
  EXPECT_EQ(platform.DriveStringsLengths(), std::vector<std::uint32_t>{105});
}

// A drive that returns less than the whole response: the bytes it does not
// return read as zero, never as what an earlier drive returned.
TEST_F(DriveLetterWalkTest, ShortInquiryDataLeavesTheTextsEmpty) {
  platform.AddDrive('D', test::QsiWriter());
  sim::DriveConfig terse = test::PlainCdRom();
  terse.inquiryLength = 5;
  platform.AddDrive('E', terse);
  EXPECT_TRUE(WalkDriveLetters(platform, channel, list));
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetAt(1)->VendorProduct, "");
  EXPECT_EQ(list.GetAt(1)->Revision, "");
}

TEST_F(DriveLetterWalkTest, NoDriveListQuestionsNothing) {
  platform.SetDriveRoots({});
  EXPECT_FALSE(WalkDriveLetters(platform, channel, list));
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_TRUE(platform.DeviceEvents().empty());
}

TEST_F(DriveLetterWalkTest, FileExceptionPassesThroughKeepingWhatWasListed) {
  // E: cannot be opened: its INQUIRY opens once more, with E:'s record bound.
  const struct {
    int throwingOpen;
    bool boundToD;
  } cases[] = {
      {2, true},   // opening E:, while D:'s listed record is still bound
      {3, false},  // the retry inside E:'s INQUIRY: E:'s record dies with the walk
  };
  for (const auto& c : cases) {
    memory::MemoryPlatform drives;
    drives.AddDrive('D', test::QsiWriter());
    drives.AddUnopenableDrive('E');
    drives.AddDrive('F', test::QsiWriter());
    drives.ThrowFileExceptionAt("CreateFile", c.throwingOpen);
    CScsiPassThrough walker{ScsiRoute::Spti, drives};
    DeviceList found;
    CFileException* caught = nullptr;
    try {
      WalkDriveLetters(drives, walker, found);
    } catch (CFileException* exception) {
      caught = exception;
    }
    ASSERT_NE(caught, nullptr);
    caught->Delete();
    ASSERT_EQ(found.GetCount(), 1);
    EXPECT_STREQ(found.GetAt(0)->DriveName, "D:");
    EXPECT_EQ(walker.BoundDevice(), c.boundToD ? found.GetAt(0) : nullptr) << c.throwingOpen;
    EXPECT_EQ(drives.OpenDeviceCount(), 0);
    found.FreeAll();
  }
}

TEST(DriveNamesTest, UpperCasedWithoutTheFloppyLetters) {
  const struct {
    std::vector<std::string> roots;
    std::vector<std::string> names;
  } cases[] = {
      {{"A:\\", "b:\\", "c:\\", "D:\\"}, {"C:", "D:"}},
      {{"z:\\"}, {"Z:"}},
      {{"A:\\", "B:\\"}, {}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    char buffer[105] = {};
    std::size_t at = 0;
    for (const std::string& root : c.roots) {
      std::memcpy(buffer + at, root.c_str(), root.size() + 1);
      at += 4;
    }
    EXPECT_EQ(DriveNamesOf(buffer, sizeof buffer), c.names) << c.roots.size();
  }
}

TEST(DriveNamesTest, AllTwentySixLettersFitAndNothingBeyondIsRead) {
  char buffer[105];
  std::memset(buffer, 'X', sizeof buffer);  // no terminating entry at all
  for (int letter = 0; letter < 26; ++letter) {
    std::memcpy(buffer + 4 * letter, "A:\\", 4);
    buffer[4 * letter] = static_cast<char>('A' + letter);
  }
  const std::vector<std::string> names = DriveNamesOf(buffer, 26 * 4);
  ASSERT_EQ(names.size(), 24u);
  EXPECT_EQ(names.front(), "C:");
  EXPECT_EQ(names.back(), "Z:");
}

class BusScanOnItsOwnTest : public ::testing::Test {
 protected:
  BusScanOnItsOwnTest() { platform.SetVersion(test::kWindows, 4, 10); }
  ~BusScanOnItsOwnTest() override { list.FreeAll(); }

  BusScanResult Scan() {
    EXPECT_EQ(library.Load(), 0);
    return ScanAspiBuses(library, list);
  }

  memory::MemoryPlatform platform;
  CAspiLibrary library;
  DeviceList list;
};

TEST_F(BusScanOnItsOwnTest, ListsTheDeviceFoundLastFirst) {
  memory::AspiSimulation& aspi = platform.InstallAspi();
  aspi.adapters = 2;
  aspi.AddDevice(0, 1, 0, test::QsiWriter());
  aspi.AddDevice(0, 3, 0, test::HardDisk());
  sim::DriveConfig worm = test::PlainCdRom();
  worm.peripheralType = 4;
  aspi.AddDevice(1, 14, 14, worm);
  EXPECT_EQ(Scan(), BusScanResult::kScanned);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(BusAddressLine(*list.GetAt(0)), "1:14:14  WORM   LITEON  CD-ROM LTN486S  ");
  EXPECT_EQ(BusAddressLine(*list.GetAt(1)), "0:1:0  CD/DVD QSI     DVDRW SDW-082   ");
  EXPECT_EQ(list.GetAt(1)->Revision, "BX03");
  // Targets and logical units 0 to 14 of both adapters, each asked once.
  ASSERT_EQ(aspi.requests.size(), 2u * 15 * 15);
  for (const memory::AspiSimulation::Request& request : aspi.requests) {
    EXPECT_LT(request.target, 15);
    EXPECT_LT(request.lun, 15);
    EXPECT_EQ(request.cdb, (std::vector<std::uint8_t>{0x12, 0x00, 0x00, 0x00, 0x4A, 0x00}));
    EXPECT_EQ(request.length, 74u);
  }
}

TEST_F(BusScanOnItsOwnTest, ResultTellsWhyNothingWasListed) {
  const struct {
    std::uint8_t status;
    int adapters;
    BusScanResult result;
  } cases[] = {
      {4, 1, BusScanResult::kLibraryNotReady},
      {1, 0, BusScanResult::kNoAdapters},
      {1, 1, BusScanResult::kScanned},
  };
  for (const auto& c : cases) {
    memory::MemoryPlatform libraries;
    libraries.SetVersion(test::kWindows, 4, 10);
    memory::AspiSimulation& aspi = libraries.InstallAspi();
    aspi.status = c.status;
    aspi.adapters = c.adapters;
    CAspiLibrary loaded;
    ASSERT_EQ(loaded.Load(), 0);
    EXPECT_EQ(ScanAspiBuses(loaded, list), c.result) << int{c.status} << " " << c.adapters;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(aspi.requests.size(), c.result == BusScanResult::kScanned ? 225u : 0u);
  }
}

TEST(DriveBoxLineTest, BothFormsKeepTheStoredTextWhole) {
  CDeviceInfo device;
  device.VendorProduct = "QSI     DVDRW SDW-082   ";
  std::memcpy(device.DriveName, "D:", 3);
  EXPECT_EQ(DriveLetterLine(device), "QSI     DVDRW SDW-082    (D:)");
  device.HostAdapter = 255;
  device.TargetId = 14;
  device.Lun = 7;
  device.PeripheralType = 5;
  EXPECT_EQ(BusAddressLine(device), "255:14:7  CD/DVD QSI     DVDRW SDW-082   ");
  device.PeripheralType = 0x25;  // no name: the field is six blanks wide
  EXPECT_EQ(BusAddressLine(device), "255:14:7         QSI     DVDRW SDW-082   ");
}

TEST(ResolveSelectionTest, FromLineToRecord) {
  auto firstRecord = std::make_unique<CDeviceInfo>();
  auto secondRecord = std::make_unique<CDeviceInfo>();
  CDeviceInfo& first = *firstRecord;
  CDeviceInfo& second = *secondRecord;
  DeviceList list;
  list.AddTail(std::move(firstRecord));
  list.AddTail(std::move(secondRecord));
  const struct {
    int line, lines;
    DeviceSelection::Outcome outcome;
    CDeviceInfo* device;
    bool fellBack;
  } cases[] = {
      {1, 2, DeviceSelection::kFound, &second, false},
      {0, 2, DeviceSelection::kFound, &first, false},
      {-1, 2, DeviceSelection::kFound, &first, true},  // no selection: line 0
      {2, 2, DeviceSelection::kFound, &first, true},   // beyond the drive box: line 0
      {0, 0, DeviceSelection::kNoLines, nullptr, false},
      {-1, 0, DeviceSelection::kNoLines, nullptr, false},
      {2, 3, DeviceSelection::kBeyondList, nullptr, false},
  };
  for (const auto& c : cases) {
    const DeviceSelection selection = ResolveSelection(list, c.line, c.lines);
    EXPECT_EQ(selection.outcome, c.outcome) << c.line << " of " << c.lines;
    EXPECT_EQ(selection.device, c.device) << c.line << " of " << c.lines;
    EXPECT_EQ(selection.fellBackToFirstLine, c.fellBack) << c.line << " of " << c.lines;
  }
  list.AddTail(nullptr);
  const DeviceSelection missing = ResolveSelection(list, 2, 3);
  EXPECT_EQ(missing.outcome, DeviceSelection::kRecordMissing);
  EXPECT_EQ(missing.device, &first);
  list.FreeAll();
}

}  // namespace
