#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "scsi/AspiLibrary.h"
#include "scsi/AspiSrb.h"
#include "tests/TestSupport.h"

namespace {

TEST(AspiCommandStatus, PacksTheOutcomeOfARequest) {
  const struct {
    std::uint8_t status, adapter, target, senseKey, asc, ascq;
    std::uint32_t expected;
    const char* what;
  } cases[] = {
      {kSsComp, 0, 0, 0x05, 0x24, 0x00, 0x00000000u, "complete, sense ignored"},
      {kSsErr, 0, 0x02, 0x05, 0x24, 0x00, 0x00052400u, "sense form"},
      {kSsErr, 0, 0x02, 0x25, 0x24, 0x01, 0x00052401u, "only the key's low bits"},
      {kSsErr, 0x11, 0, 0, 0, 0, 0x04110000u, "selection time-out"},
      {kSsErr, 0, 0x02, 0, 0, 0, 0x04000200u, "check condition without sense"},
      {kSsPending, 0, 0, 0, 0, 0, 0x04000000u, "nothing at all"},
      {0x81, 0, 0, 0, 0, 0, 0x81000000u, "invalid host adapter"},
  };
  for (const auto& c : cases) {
    SrbExecScsiCmd srb;
    std::memset(&srb, 0, sizeof srb);
    srb.SRB_Status = c.status;
    srb.SRB_HaStat = c.adapter;
    srb.SRB_TargStat = c.target;
    srb.SenseArea[2] = c.senseKey;
    srb.SenseArea[12] = c.asc;
    srb.SenseArea[13] = c.ascq;
    EXPECT_EQ(static_cast<std::uint32_t>(AspiCommandStatus(srb)), c.expected) << c.what;
  }
}

TEST(AspiLibraryLoad, TriesTheFourPlacesInTurn) {
  memory::MemoryPlatform platform;
  platform.InstallAspi("D:\\Program Files\\Ahead\\Nero\\WNASPI32.DLL");
  {
    CAspiLibrary library;
    EXPECT_EQ(library.Load(), 0);
    EXPECT_EQ(platform.LoadAttempts(),
              (std::vector<std::string>{"WNASPI32.DLL", "C:\\Program Files\\Ahead\\Nero\\WNASPI32.DLL",
                                        "D:\\Program Files\\Ahead\\Nero\\WNASPI32.DLL"}));
    EXPECT_EQ(library.GetSupportInfo(), 0x0101u);
    EXPECT_EQ(std::count(platform.Calls().begin(), platform.Calls().end(), "GetProcAddress"), 5);
  }
  EXPECT_TRUE(platform.LibraryFreed());
}

TEST(AspiLibraryLoad, ReportsTheLoadErrorWhenNowhereToBeFound) {
  memory::MemoryPlatform platform;
  CAspiLibrary library;
  EXPECT_EQ(library.Load(), 126);
  EXPECT_EQ(platform.LoadAttempts().size(), 4u);
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(library.GetSupportInfo() + library.SendCommand(nullptr), 0u);
}

TEST(AspiLibraryLoad, WithoutSendCommandFailsButStaysLoaded) {
  memory::MemoryPlatform platform;
  platform.InstallAspi().exportsSendCommand = false;
  {
    CAspiLibrary library;
    EXPECT_EQ(library.Load(), 1);
    EXPECT_TRUE(library.IsLoaded());
    EXPECT_FALSE(platform.LibraryFreed());
  }
  EXPECT_TRUE(platform.LibraryFreed());
}

TEST(AspiRequest, WaitsForAPendingRequestAndReleasesTheEvent) {
  memory::MemoryPlatform platform;
  memory::AspiSimulation& aspi = platform.InstallAspi();
  aspi.AddDevice(0, 1, 0, test::QsiWriter());
  for (bool atOnce : {false, true}) {
    aspi.completesAtOnce = atOnce;
    CAspiLibrary library;
    ASSERT_EQ(library.Load(), 0);
    std::uint8_t cdb[16] = {0x12, 0, 0, 0, 0x4A, 0};
    std::uint8_t response[74] = {};
    const AspiRequest request{0, 1, 0, kSrbDirIn, cdb, 6, response, sizeof response};
    EXPECT_EQ(SendAspiRequest(library, request), 0);
    EXPECT_EQ(response[0], 0x05);
    EXPECT_EQ(platform.OpenEventCount(), 0);
    const memory::AspiSimulation::Request& sent = aspi.requests.back();
    EXPECT_EQ(sent.command, 0x02);  // SC_EXEC_SCSI_CMD
    EXPECT_EQ(sent.senseLength, 14);
    EXPECT_EQ(sent.flags, 0x48);
    EXPECT_EQ(sent.cdbLength, 6);
    EXPECT_EQ(sent.length, 74u);
    // A refused submission is not waited for.
    const AspiRequest lost{3, 0, 0, kSrbDirOut, cdb, 6, nullptr, 0};
    EXPECT_EQ(static_cast<std::uint32_t>(SendAspiRequest(library, lost)), 0x81000000u);
  }
}

TEST(AspiLibraryLoad, NoErrorCodeFromTheSystemStillFails) {
  memory::MemoryPlatform platform;
  platform.FailLoadingWithoutError();
  CAspiLibrary library;
  EXPECT_EQ(library.Load(), 1);
  EXPECT_FALSE(library.IsLoaded());
}

TEST(AspiLibraryLoad, TheBufferFunctionsAreOptional) {
  memory::MemoryPlatform platform;
  platform.InstallAspi().exportsBufferFunctions = false;
  CAspiLibrary library;
  EXPECT_EQ(library.Load(), 0);
}

// A request that cannot get its event sends nothing and fails. A failed
// wait is waited again, up to three times; a request still running then is
// failed, and its block and event are kept for the library to finish with.
TEST(AspiRequest, NeverReturnsWhileTheRequestIsPending) {
  const struct {
    const char* call;  // the event call that fails, or none
    memory::FaultMode mode;
    long long answer;
    int times;  // successive calls that fail
    bool sent, succeeds;
  } cases[] = {
      {"", memory::FaultMode::Fail, 0, 0, true, true},
      {"CreateEvent", memory::FaultMode::Fail, 0, 1, false, false},
      {"ResetEvent", memory::FaultMode::Fail, 0, 1, true, true},
      {"WaitForSingleObject", memory::FaultMode::Fail, 0, 2, true, true},
      {"WaitForSingleObject", memory::FaultMode::Answer, 0x102, 1, true, true},
      {"WaitForSingleObject", memory::FaultMode::Fail, 0, 3, true, false},
  };
  for (const auto& c : cases) {
    memory::MemoryPlatform platform;
    memory::AspiSimulation& aspi = platform.InstallAspi();
    aspi.AddDevice(0, 1, 0, test::QsiWriter());
    CAspiLibrary library;
    ASSERT_EQ(library.Load(), 0);
    std::uint8_t cdb[16] = {0x12, 0, 0, 0, 0x4A, 0};
    std::uint8_t response[74] = {};
    for (int nth = 1; nth <= c.times; ++nth) platform.InjectFault(c.call, nth, c.mode, c.answer);
    const CommandStatus status = SendAspiRequest(library, {0, 1, 0, kSrbDirIn, cdb, 6, response, 74});
    EXPECT_EQ(aspi.requests.size(), c.sent ? 1u : 0u) << c.call;
    EXPECT_EQ(status == kCommandSucceeded, c.succeeds) << c.call << c.times;
    EXPECT_EQ(response[0], c.succeeds ? 0x05 : 0x00) << c.call << c.times;
    const bool givenUp = c.sent && !c.succeeds;
    EXPECT_EQ(aspi.pending.size(), givenUp ? 1u : 0u) << c.call << c.times;
    EXPECT_EQ(platform.OpenEventCount(), givenUp ? 1 : 0) << c.call << c.times;
    if (givenUp) {  // the library finishes later, into a block that still exists
      const EventHandle event = static_cast<SrbExecScsiCmd*>(aspi.pending[0])->SRB_PostProc;
      EXPECT_EQ(platform.WaitForSingleObject(event, 0), 0u);
      EXPECT_TRUE(aspi.pending.empty());
    }
  }
}

class BusScanTest : public test::DialogTest {
 protected:
  BusScanTest() { platform.SetVersion(test::kWindows, 4, 10); }
};

TEST_F(BusScanTest, ListsInReverseScanOrderAndSelectsTheLastFound) {
  memory::AspiSimulation& aspi = platform.InstallAspi();
  aspi.adapters = 2;
  aspi.AddDevice(0, 1, 0, test::QsiWriter());
  sim::DriveModel& cdrom = aspi.AddDevice(1, 0, 0, test::PlainCdRom());
  sim::DriveConfig disk = test::HardDisk();
  aspi.AddDevice(0, 0, 0, disk);
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    EXPECT_EQ(Inspect(dialog).SelectedDevice(), Inspect(dialog).Devices().GetAt(0));
    EXPECT_EQ(Inspect(dialog).Channel().BoundAspiLibrary() != nullptr, true);
  });
  EXPECT_EQ(Lines(), (std::vector<std::string>{"1:0:0  CD/DVD LITEON  CD-ROM LTN486S  ",
                                               "0:1:0  CD/DVD QSI     DVDRW SDW-082   "}));
  int inquiries = 0;
  for (const auto& request : aspi.requests) {
    if (request.cdb[0] == 0x12) ++inquiries;
    EXPECT_LT(request.target, 15);
    EXPECT_LT(request.lun, 15);
  }
  EXPECT_EQ(inquiries, 2 * 225);  // every address of both adapters, none skipped
  // After the scan, commands go to the first line's device only: its
  // INQUIRY, the silent first probe and the start-up refresh.
  EXPECT_EQ(test::CdbsOf(cdrom).size(), 3u);
  EXPECT_TRUE(platform.DeviceEvents().empty());
}

TEST_F(BusScanTest, WormDevicesShowTheirTypeName) {
  sim::DriveConfig worm = test::PlainCdRom();
  worm.peripheralType = 4;
  platform.InstallAspi().AddDevice(0, 2, 1, worm);
  RunDialog();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"0:2:1  WORM   LITEON  CD-ROM LTN486S  "}));
}

TEST_F(BusScanTest, CommandsTravelAsSrbsAndTellTheirSenseCodes) {
  sim::DriveModel& drive = platform.InstallAspi().AddDevice(0, 1, 0, test::QsiWriter("BX03", 0x01));
  platform.QueueAnswer(Id::Yes);
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "DVD-ROM");
    platform.Click(window, IDC_PLUS_RW_ROM);
    platform.Click(window, IDC_SET_PLUS_RW);
    EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "DVD-ROM");
    drive.Config().vendorCommands = false;
    EXPECT_EQ(dialog.QueryBookSettings(), -1);
    const ScsiOutcome& outcome = Inspect(dialog).Channel().LastOutcome();
    EXPECT_EQ(outcome.end, ScsiEnd::Sense);
    EXPECT_EQ(outcome.codes.key, 0x05);
    EXPECT_EQ(outcome.codes.asc, 0x20);
    EXPECT_EQ(outcome.codes.ascq, 0x00);
    EXPECT_EQ(outcome.commandStatus, 0x00052000);
  });
  EXPECT_EQ(drive.Config().settings, 0x03);
  const memory::AspiSimulation::Request& write = platform.Aspi()->requests[platform.Aspi()->requests.size() - 3];
  EXPECT_EQ(write.flags, 0x50);
  EXPECT_EQ(write.cdbLength, 12);
}

TEST_F(BusScanTest, ReadyLibraryWithoutAdaptersLeavesTheDriveBoxAlone) {
  platform.InstallAspi().adapters = 0;
  RunDialog();
  EXPECT_EQ(platform.TraceIndex("CB_RESETCONTENT"), -1);
  EXPECT_TRUE(platform.Aspi()->requests.empty());
}

TEST_F(BusScanTest, StartUpFailsWithOneMessageWhenNothingOpticalIsFound) {
  const struct {
    const char* what;
    std::function<void(memory::AspiSimulation&)> arrange;
  } cases[] = {
      {"library not ready", [](memory::AspiSimulation& aspi) { aspi.status = 4; }},
      {"adapters with a hard disk only",
       [](memory::AspiSimulation& aspi) {
         aspi.adapters = 2;
         aspi.AddDevice(1, 3, 0, test::HardDisk());
       }},
  };
  for (const auto& c : cases) {
    memory::MemoryPlatform inner;
    inner.SetVersion(test::kWindows, 4, 10);
    c.arrange(inner.InstallAspi());
    const test::AppRun run = test::RunApplication();
    EXPECT_EQ(inner.MessageTexts(),
              (std::vector<std::string>{"Aspi init failed Uninstall ASPI and install ASPI V4.60 (not later)"}))
        << c.what;
    EXPECT_TRUE(run.exited) << c.what;
    EXPECT_EQ(run.exitCode, 0u) << c.what;
  }
}

// Every logical unit of a target is asked before the next target.
TEST_F(BusScanTest, ScansTheUnitsOfATargetBeforeTheNextTarget) {
  memory::AspiSimulation& aspi = platform.InstallAspi();
  aspi.AddDevice(0, 1, 2, test::QsiWriter());
  aspi.AddDevice(0, 2, 1, test::PlainCdRom());
  RunDialog();
  ASSERT_GE(aspi.requests.size(), 17u);
  for (int at = 0; at < 17; ++at) {
    EXPECT_EQ(aspi.requests[at].target * 15 + aspi.requests[at].lun, at) << "request " << at;
  }
  EXPECT_EQ(Lines(), (std::vector<std::string>{"0:2:1  CD/DVD LITEON  CD-ROM LTN486S  ",
                                               "0:1:2  CD/DVD QSI     DVDRW SDW-082   "}));
}

TEST_F(BusScanTest, NtFamilyWithADriveLetterNeverLoadsTheLibrary) {
  platform.SetVersion(test::kNt, 5, 0);
  platform.InstallAspi().AddDevice(0, 1, 0, test::QsiWriter());
  platform.AddDrive('D', test::QsiWriter());
  RunDialog();
  EXPECT_TRUE(platform.LoadAttempts().empty());
  EXPECT_TRUE(platform.Aspi()->requests.empty());
}

}  // namespace
