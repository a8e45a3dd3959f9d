#include <gtest/gtest.h>

#include "framework/Format.h"
#include "tests/TestSupport.h"

namespace {

// Three QSI writers on D:, E: and F:; each test works on the running dialog.
class DeviceSelectionTest : public test::DialogTest {
 protected:
  DeviceSelectionTest() {
    platform.SetVersion(test::kNt, 5, 1);
    platform.AddDrive('D', test::QsiWriter());
    platform.AddDrive('E', test::QsiWriter());
    platform.AddDrive('F', test::QsiWriter());
  }

  LResult Combo(WindowHandle window, std::uint32_t message, WParam wParam = 0, LParam lParam = 0) {
    return platform.SendMessage(platform.Control(window, IDC_DRIVE_BOX), message, wParam, lParam);
  }
};

TEST_F(DeviceSelectionTest, ReturnsTheRecordOfTheSelectedLine) {
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    Combo(window, Cb::SetCurSel, 1);
    EXPECT_EQ(dialog.GetSelectedDevice(), dialog.Devices().GetAt(1));
    EXPECT_EQ(dialog.GetSelectedDevice(), dialog.Devices().GetAt(1));  // asked twice, same record
    EXPECT_STREQ(dialog.Devices().GetAt(1)->DriveName, "E:");
  });
  EXPECT_TRUE(platform.MessageTexts().empty());
}

TEST_F(DeviceSelectionTest, NoSelectionFallsBackSilentlyToTheFirstRecordAndShowsIt) {
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    Combo(window, Cb::SetCurSel, static_cast<WParam>(-1));
    EXPECT_EQ(dialog.GetSelectedDevice(), dialog.Devices().GetAt(0));
    EXPECT_EQ(Combo(window, Cb::GetCurSel), 0);  // the box shows the drive commands go to
  });
  EXPECT_TRUE(platform.MessageTexts().empty());
}

TEST_F(DeviceSelectionTest, EmptyDriveBoxIsReported) {
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    Combo(window, Cb::ResetContent);
    EXPECT_EQ(dialog.GetSelectedDevice(), nullptr);
  });
  EXPECT_EQ(platform.MessageTexts(), (std::vector<std::string>{"No Devices found"}));
}

TEST_F(DeviceSelectionTest, LineBeyondTheListIsReported) {
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    Combo(window, Cb::AddString, 0, reinterpret_cast<LParam>("extra line"));
    Combo(window, Cb::SetCurSel, 3);
    EXPECT_EQ(dialog.GetSelectedDevice(), nullptr);
  });
  EXPECT_EQ(platform.MessageTexts(), (std::vector<std::string>{"Error selecting device"}));
}

TEST_F(DeviceSelectionTest, MissingRecordResetsToTheFirstLine) {
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    dialog.Devices().AddTail(nullptr);
    Combo(window, Cb::AddString, 0, reinterpret_cast<LParam>("lost line"));
    Combo(window, Cb::SetCurSel, 3);
    EXPECT_EQ(dialog.GetSelectedDevice(), dialog.Devices().GetAt(0));
    EXPECT_EQ(Combo(window, Cb::GetCurSel), 0);
    EXPECT_EQ(dialog.Devices().GetCount(), 4);  // the list itself is not changed
    dialog.Devices().RemoveTail();
  });
  EXPECT_EQ(platform.MessageTexts(),
            (std::vector<std::string>{"Selected device was not found,  list will be reset"}));
}

TEST_F(DeviceSelectionTest, FileExceptionIsReportedWithItsNumber) {
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    platform.ThrowFileExceptionAt("CB_GETCURSEL");
    EXPECT_EQ(dialog.GetSelectedDevice(), nullptr);
  });
  EXPECT_EQ(platform.MessageTexts(),
            (std::vector<std::string>{
                "EXCEPTION OCCURRED IN CDvdInfoDlg::GetSelectedDevice() -  Exception " +
                test::ExceptionNumberText(platform.ThrownExceptionAddress())}));
}

}  // namespace
