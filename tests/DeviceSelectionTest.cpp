#include <gtest/gtest.h>

#include <functional>

#include "platform/Format.h"
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
    EXPECT_EQ(dialog.GetSelectedDevice(), Inspect(dialog).Devices().GetAt(1));
    EXPECT_EQ(dialog.GetSelectedDevice(), Inspect(dialog).Devices().GetAt(1));  // asked twice, same record
    EXPECT_STREQ(Inspect(dialog).Devices().GetAt(1)->DriveName, "E:");
  });
  EXPECT_TRUE(platform.MessageTexts().empty());
}

TEST_F(DeviceSelectionTest, NoSelectionFallsBackSilentlyToTheFirstRecordAndShowsIt) {
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    Combo(window, Cb::SetCurSel, static_cast<WParam>(-1));
    EXPECT_EQ(dialog.GetSelectedDevice(), Inspect(dialog).Devices().GetAt(0));
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
    Inspect(dialog).Devices().AddTail(nullptr);
    Combo(window, Cb::AddString, 0, reinterpret_cast<LParam>("lost line"));
    Combo(window, Cb::SetCurSel, 3);
    EXPECT_EQ(dialog.GetSelectedDevice(), Inspect(dialog).Devices().GetAt(0));
    EXPECT_EQ(Combo(window, Cb::GetCurSel), 0);
    EXPECT_EQ(Inspect(dialog).Devices().GetCount(), 4);  // the list itself is not changed
    Inspect(dialog).Devices().RemoveTail();
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

// What a drive change does after each way the selection can fail: the
// record missing from the list resets to the first line and the program
// goes on; after the others it ends, with no command sent.
struct SelectionFailure {
  const char* name;
  std::function<void(memory::MemoryPlatform&, CDvdInfoDlg&, WindowHandle)> prepare;
  std::vector<std::string> messages;
  bool ends;
  friend void PrintTo(const SelectionFailure& row, std::ostream* out) { *out << row.name; }
};

class DriveChangeTest : public DeviceSelectionTest,
                        public ::testing::WithParamInterface<SelectionFailure> {};

TEST_P(DriveChangeTest, AfterEachSelectionFailure) {
  const SelectionFailure& failure = GetParam();
  std::vector<std::string> sentAfter;
  const LResult result = RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    Combo(window, Cb::AddString, 0, reinterpret_cast<LParam>("extra line"));
    failure.prepare(platform, dialog, window);
    for (char letter : {'D', 'E', 'F'}) platform.Drive(letter)->ClearCommands();
    platform.SelectLine(window, IDC_DRIVE_BOX, 3);
    for (char letter : {'D', 'E', 'F'}) {
      for (const std::string& cdb : test::CdbsOf(*platform.Drive(letter))) sentAfter.push_back(letter + cdb);
    }
    if (!failure.ends) {
      EXPECT_EQ(Combo(window, Cb::GetCurSel), 0);
      EXPECT_TRUE(Enabled(IDC_SET_PLUS_R));
      EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "DVD-ROM");
    }
    if (Inspect(dialog).Devices().GetCount() == 4) Inspect(dialog).Devices().RemoveTail();
  });
  std::vector<std::string> expected = failure.messages;
  for (std::string& message : expected) {
    const std::size_t number = message.find("%d");
    if (number != std::string::npos) {
      message.replace(number, 2, test::ExceptionNumberText(platform.ThrownExceptionAddress()));
    }
  }
  EXPECT_EQ(platform.MessageTexts(), expected);
  EXPECT_EQ(result, failure.ends ? 1 : Id::Cancel) << "1 when the program ended, Cancel when closed";
  const std::string read = "DF3 0F 02 00 00 00 07 00 80 00 00 00";  // to D:, the first line
  const std::vector<std::string> sent = failure.ends ? std::vector<std::string>() : std::vector<std::string>{read, read};
  EXPECT_EQ(sentAfter, sent);
}

const char kFatal[] = "Fatal Error Getting Selected Device";

INSTANTIATE_TEST_SUITE_P(
    Selection, DriveChangeTest,
    ::testing::Values(
        SelectionFailure{"MissingRecord",
                         [](memory::MemoryPlatform&, CDvdInfoDlg& dialog, WindowHandle) {
                           Inspect(dialog).Devices().AddTail(nullptr);
                         },
                         {"Selected device was not found,  list will be reset"}, false},
        SelectionFailure{"LineBeyondTheList", [](memory::MemoryPlatform&, CDvdInfoDlg&, WindowHandle) {},
                         {"Error selecting device", kFatal}, true},
        SelectionFailure{"FileException",
                         [](memory::MemoryPlatform& platform, CDvdInfoDlg&, WindowHandle) {
                           platform.ThrowFileExceptionAt("CB_GETCURSEL");
                         },
                         {"EXCEPTION OCCURRED IN CDvdInfoDlg::GetSelectedDevice() -  Exception %d", kFatal},
                         true}),
    [](const ::testing::TestParamInfo<SelectionFailure>& row) { return std::string(row.param.name); });

}  // namespace
