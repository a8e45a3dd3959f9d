#include <gtest/gtest.h>

#include "tests/TestSupport.h"

namespace {

// Whether `expected` occur in `trace` in this order (other entries between).
::testing::AssertionResult InOrder(const std::vector<std::string>& trace,
                                   const std::vector<std::string>& expected) {
  std::size_t at = 0;
  for (const std::string& wanted : expected) {
    while (at < trace.size() && trace[at].compare(0, wanted.size(), wanted) != 0) ++at;
    if (at == trace.size()) return ::testing::AssertionFailure() << "missing or out of order: " << wanted;
    ++at;
  }
  return ::testing::AssertionSuccess();
}

class StartupTest : public test::DialogTest {
 protected:
  StartupTest() { platform.SetVersion(test::kNt, 5, 1); }
};

TEST_F(StartupTest, InitialisationRunsItsStepsInOrder) {
  platform.AddDrive('D', test::QsiWriter());
  RunDialog();
  EXPECT_TRUE(InOrder(platform.Trace(), {
                                            "SetText 1009 Choose a DVD Drive",
                                            "SetText 1013 BOOK TYPE",
                                            "SetText 1315 ",  // the data exchange of the framework
                                            "SetWindowPos 0 0,0 396x269 0005",
                                            "SetWindowPos 1009 9,17 109x55 0004",
                                            "CreateFont Arial",
                                            "InvalidateRect 0 erase",
                                            "GetSystemMenu",
                                            "Dialog 0080 1",  // big icon
                                            "Dialog 0080 0",  // small icon
                                            "GetVersion",
                                            "GetLogicalDriveStrings",
                                            "CB_ADDSTRING 1000",
                                            "CB_SETCURSEL 1000 0",  // the filled box's
                                            "SetText 1315 ",        // and its data exchange
                                            "CB_SETCURSEL 1000 0",  // the first drive's
                                            "EnableWindow 1319 on",
                                            "EnableWindow 1337 on",
                                            "SetText 1315 DVD-ROM",
                                            "DefaultFocus",
                                        }));
}

TEST_F(StartupTest, BothRadioGroupsShowTheirFirstButtonWhateverTheDriveSays) {
  platform.AddDrive('D', test::QsiWriter("BX03", 0x03));
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    EXPECT_EQ(Inspect(dialog).PlusRChoice(), 0);
    EXPECT_EQ(Inspect(dialog).PlusRwChoice(), 0);
    EXPECT_EQ(Inspect(dialog).FirstSelectionFlag(), 1);
    EXPECT_EQ(Inspect(dialog).StoredPlatformClass(), 4);
    EXPECT_EQ(Inspect(dialog).Channel().BoundDevice(), Inspect(dialog).SelectedDevice());
    EXPECT_NE(Inspect(dialog).SelectedDevice(), nullptr);
  });
  EXPECT_EQ(Checked(IDC_PLUS_R_OWN), 1);
  EXPECT_EQ(Checked(IDC_PLUS_R_ROM), 0);
  EXPECT_EQ(Checked(IDC_PLUS_RW_OWN), 1);
  EXPECT_EQ(Checked(IDC_PLUS_RW_ROM), 0);
  EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "DVD-ROM");
  EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "DVD-ROM");
}

TEST_F(StartupTest, FailedDiscoveryStopsAfterItsMessageWithExitCodeZero) {
  RunDialog();
  EXPECT_EQ(ExitCode(), 0);
  const std::vector<std::string>& trace = platform.Trace();
  const int message = platform.TraceIndex("MessageBox Aspi & SPTI init failed");
  ASSERT_GE(message, 0);
  EXPECT_TRUE(InOrder(trace, {"MessageBox Aspi & SPTI init failed", "EndDialog 1", "ExitProcess 0"}));
  EXPECT_EQ(trace.back(), "ExitProcess 0");
  for (std::size_t i = static_cast<std::size_t>(message); i < trace.size(); ++i) {
    EXPECT_NE(trace[i].rfind("EnableWindow", 0), 0u) << "a later step ran: " << trace[i];
    EXPECT_NE(trace[i].rfind("CB_SETCURSEL", 0), 0u) << "a later step ran: " << trace[i];
  }
}

TEST_F(StartupTest, AspiSideWithoutADriveShowsTheAspiMessage) {
  // No library (on Windows 98, and when the version query fails), a library
  // that is not ready, a library whose adapter holds no CD/DVD drive.
  for (int setup = 0; setup < 4; ++setup) {
    memory::MemoryPlatform fresh;
    if (setup == 1) {
      fresh.FailVersionQuery();
    } else {
      fresh.SetVersion(test::kWindows, 4, 10);
    }
    if (setup == 2) fresh.InstallAspi().status = 4;
    if (setup == 3) fresh.InstallAspi().AddDevice(0, 0, 0, test::HardDisk());
    fresh.AddDrive('D', test::QsiWriter());
    test::AppRun run = test::RunApplication();
    EXPECT_TRUE(run.exited) << setup;
    EXPECT_EQ(fresh.MessageTexts(),
              (std::vector<std::string>{
                  "Aspi init failed Uninstall ASPI and install ASPI V4.60 (not later)"}))
        << setup;
    EXPECT_TRUE(fresh.DeviceEvents().empty()) << "the drive letters are never tried";
  }
}

TEST_F(StartupTest, NoSelectableDeviceEndsTheDialogWithOne) {
  // A ready ASPI library without host adapters: discovery succeeds with an
  // empty drive box.
  platform.SetVersion(test::kWindows, 4, 10);
  platform.InstallAspi().adapters = 0;
  const LResult result = RunDialog();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(platform.MessageTexts(),
            (std::vector<std::string>{"No Devices found", "Fatal Error Getting Selected Device",
                                      "No Devices found"}));
  // With no drive nothing can be read: the fields say so.
  EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "------");
  EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "------");
}

TEST_F(StartupTest, ClosingTheWindowFreesEveryRecordFirst) {
  platform.AddDrive('D', test::QsiWriter());
  platform.AddDrive('E', test::PlainCdRom());
  platform.AddDrive('F', test::QsiWriter());
  bool emptyAfterClose = false;
  const LResult result = RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    EXPECT_EQ(Inspect(dialog).Devices().GetCount(), 3);
    platform.Close(window);
    emptyAfterClose = Inspect(dialog).Devices().IsEmpty() && Inspect(dialog).SelectedDevice() == nullptr &&
                      Inspect(dialog).Channel().BoundDevice() == nullptr;
  });
  EXPECT_TRUE(emptyAfterClose);
  EXPECT_EQ(result, Id::Cancel);
}

TEST(Application, RegistersTheCompanyKeyAndRunsTheMainDialog) {
  memory::MemoryPlatform platform;
  platform.AddDrive('D', test::QsiWriter());
  std::string caption;
  platform.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
    caption = platform.Window(window)->text;
    EXPECT_EQ(AfxGetApp()->m_pMainWnd->GetSafeHwnd(), window);
  });
  CBitsetApp app;
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.RegistryKey(), "Vandrel Software");
  EXPECT_EQ(app.AppName(), "Bitset");
  EXPECT_EQ(caption, "Sorvel ZezIzurora Utility V1.02");
  EXPECT_EQ(platform.DialogResults(), (std::vector<LResult>{Id::Cancel}));
}

TEST(Application, MessageBoxesCarryTheExecutablesName) {
  memory::MemoryPlatform platform;
  platform.SetModulePath("D:\\Utils\\Tool.exe");
  test::RunApplication();  // no drive: the start-up message
  ASSERT_EQ(platform.MessageBoxes().size(), 1u);
  EXPECT_EQ(platform.MessageBoxes()[0].caption, "Tool");
  EXPECT_NE(platform.MessageBoxes()[0].owner, nullptr);
}

}  // namespace
