#include <gtest/gtest.h>

#include "bitset/BookSettingsDecoding.h"
#include "bitset/BookTypeCommands.h"
#include "tests/TestSupport.h"

namespace {

const char kRead[] = "F3 0F 02 00 00 00 07 00 80 00 00 00";
const char kInquiry[] = "12 00 00 00 4A 00";

TEST(BookSettingsDecoding, ShowsEachSettingsByte) {
  const struct {
    int settings;
    const char* plusR;
    const char* plusRw;
  } cases[] = {
      {-1, "------", "------"},    {0x00, "DVD-ROM", "DVD+RW"}, {0x01, "DVD-ROM", "DVD+RW"},
      {0x02, "DVD+R", "DVD-ROM"},  {0x03, "DVD-ROM", "DVD-ROM"}, {0x04, "DVD+R", "DVD+RW"},
      {0x05, "DVD-ROM", "DVD+RW"}, {0x06, "DVD+R", "DVD-ROM"},   {0x80, "DVD+R", "DVD+RW"},
      {0xFC, "DVD+R", "DVD+RW"},   {0xFD, "DVD-ROM", "DVD+RW"}, {0xFE, "DVD+R", "DVD-ROM"},
      {0xFF, "DVD-ROM", "DVD-ROM"},
  };
  for (const auto& c : cases) {
    const BookTypeTexts texts = DecodeBookSettings(c.settings);
    EXPECT_EQ(texts.plusR, c.plusR) << c.settings;
    EXPECT_EQ(texts.plusRw, c.plusRw) << c.settings;
  }
}

TEST(BookTypeCommands, ValueByteOfEachChoice) {
  const struct {
    int choice;
    std::uint8_t plusR, plusRw;
  } cases[] = {{0, 0xD0, 0xE0}, {1, 0xD1, 0xE2}, {-1, 0xD1, 0xE2}};
  for (const auto& c : cases) {
    EXPECT_EQ(PlusRValueByte(c.choice), c.plusR) << c.choice;
    EXPECT_EQ(PlusRwValueByte(c.choice), c.plusRw) << c.choice;
  }
}

// The main window on the NT family with the drives each test adds.
class BookTypeJourney : public test::DialogTest {
 protected:
  BookTypeJourney() { platform.SetVersion(test::kNt, 5, 1); }

  // The CDBs a drive received after discovery's INQUIRY.
  std::vector<std::string> After(const sim::DriveModel& drive, std::size_t skip) {
    std::vector<std::string> cdbs = test::CdbsOf(drive);
    cdbs.erase(cdbs.begin(), cdbs.begin() + static_cast<std::ptrdiff_t>(std::min(skip, cdbs.size())));
    return cdbs;
  }
  static std::string Write(const char* value) {
    return std::string("F3 0E 70 ") + value + " 00 00 00 00 00 00 00 00";
  }
};

TEST_F(BookTypeJourney, StartUpOnADriveThatAnswers) {
  sim::DriveModel& drive = platform.AddDrive('D', test::QsiWriter("BX03", 0x01));
  RunDialog();
  EXPECT_EQ(test::CdbsOf(drive), (std::vector<std::string>{kInquiry, kRead, kRead, kRead}));
  for (const sim::CommandRecord& command : drive.Commands()) {
    if (command.cdb[0] == 0xF3) {
      EXPECT_EQ(command.direction, sim::Direction::FromDrive);
      EXPECT_EQ(command.length, 128u);
    }
  }
  EXPECT_TRUE(Enabled(IDC_SET_PLUS_R));
  EXPECT_TRUE(Enabled(IDC_SET_PLUS_RW));
  EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "DVD-ROM");
  EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "DVD+RW");
  EXPECT_TRUE(platform.MessageTexts().empty());
}

TEST_F(BookTypeJourney, StartUpOnADriveThatDoesNotAnswerIsSilent) {
  sim::DriveModel& drive = platform.AddDrive('D', test::PlainCdRom());
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) { EXPECT_EQ(Inspect(dialog).FirstSelectionFlag(), 0); });
  EXPECT_EQ(test::CdbsOf(drive), (std::vector<std::string>{kInquiry, kRead, kRead}));
  EXPECT_TRUE(platform.MessageTexts().empty());
  EXPECT_FALSE(Enabled(IDC_SET_PLUS_R));
  EXPECT_FALSE(Enabled(IDC_SET_PLUS_RW));
  EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "------");
  EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "------");
  EXPECT_FALSE(platform.Click(window_, IDC_SET_PLUS_R)) << "a disabled button cannot be pressed";
}

TEST_F(BookTypeJourney, DriveChangesFollowTheFirstSelectionFlag) {
  sim::DriveModel& writer = platform.AddDrive('D', test::QsiWriter("BX03", 0x02));
  sim::DriveModel& cdrom = platform.AddDrive('E', test::PlainCdRom());
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    writer.ClearCommands();
    // First change to a drive that does not answer: silent, nothing changes.
    platform.SelectLine(window, IDC_DRIVE_BOX, 1);
    EXPECT_EQ(test::CdbsOf(cdrom), (std::vector<std::string>{kInquiry, kRead}));
    EXPECT_TRUE(platform.MessageTexts().empty());
    EXPECT_TRUE(Enabled(IDC_SET_PLUS_R));
    EXPECT_TRUE(Enabled(IDC_SET_PLUS_RW));
    EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "DVD+R");
    EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "DVD-ROM");
    EXPECT_EQ(Inspect(dialog).FirstSelectionFlag(), 0);
    EXPECT_EQ(Inspect(dialog).Channel().BoundDevice(), Inspect(dialog).Devices().GetAt(1));

    // Back to the writer: two reads, buttons enabled.
    platform.SelectLine(window, IDC_DRIVE_BOX, 0);
    EXPECT_EQ(test::CdbsOf(writer), (std::vector<std::string>{kRead, kRead}));

    // Again to the drive that does not answer: now it is said, and the
    // buttons are disabled; the display is refreshed from that drive.
    cdrom.ClearCommands();
    platform.SelectLine(window, IDC_DRIVE_BOX, 1);
    EXPECT_EQ(test::CdbsOf(cdrom), (std::vector<std::string>{kRead, kRead}));
    EXPECT_EQ(platform.MessageTexts(),
              (std::vector<std::string>{"Not a QSI / Nu-tek Drive or function unsupported"}));
    EXPECT_EQ(platform.MessageBoxes()[0].caption, "Bitset");
    EXPECT_FALSE(Enabled(IDC_SET_PLUS_R));
    EXPECT_FALSE(Enabled(IDC_SET_PLUS_RW));
    EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "------");

    // To the writer with its probe failing: said again, the buttons stay
    // disabled, and the refresh's own read shows its settings.
    writer.Config().settings = 0x01;
    platform.InjectFault("DeviceIoControl", 1);
    platform.SelectLine(window, IDC_DRIVE_BOX, 0);
    EXPECT_EQ(platform.MessageTexts().size(), 2u);
    EXPECT_FALSE(Enabled(IDC_SET_PLUS_R) || Enabled(IDC_SET_PLUS_RW));
    EXPECT_EQ(Text(IDC_PLUS_R_TEXT) + Text(IDC_PLUS_RW_TEXT), "DVD-ROMDVD+RW");

    // And back once more: enabled again.
    platform.SelectLine(window, IDC_DRIVE_BOX, 0);
    EXPECT_TRUE(Enabled(IDC_SET_PLUS_R));
    EXPECT_TRUE(Enabled(IDC_SET_PLUS_RW));
    EXPECT_EQ(Text(IDC_PLUS_RW_TEXT), "DVD+RW");
  });
}

TEST_F(BookTypeJourney, SettingPlusRToDvdRomWithYes) {
  sim::DriveModel& drive = platform.AddDrive('D', test::QsiWriter("BX03", 0x00));
  sim::DriveModel& other = platform.AddDrive('E', test::QsiWriter("BX03", 0x00));
  platform.QueueAnswer(Id::Yes);
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    drive.ClearCommands();
    other.ClearCommands();
    platform.Click(window, IDC_PLUS_R_ROM);
    EXPECT_TRUE(platform.Click(window, IDC_SET_PLUS_R));
  });
  EXPECT_EQ(test::CdbsOf(drive), (std::vector<std::string>{Write("D1"), kRead}));
  EXPECT_EQ(drive.Commands()[0].direction, sim::Direction::ToDrive);
  EXPECT_EQ(drive.Commands()[0].length, 0u);
  EXPECT_TRUE(other.Commands().empty()) << "only the drive shown is written";
  ASSERT_EQ(platform.MessageBoxes().size(), 1u);
  EXPECT_EQ(platform.MessageBoxes()[0].text, "Are you sure you want to change the bitsetting?");
  EXPECT_EQ(platform.MessageBoxes()[0].caption, "Are you sure?");
  EXPECT_EQ(platform.MessageBoxes()[0].type, 0x24u);
  EXPECT_EQ(Text(IDC_PLUS_R_TEXT), "DVD-ROM");
  EXPECT_EQ(Checked(IDC_PLUS_R_ROM), 1) << "the user's choice stays";
  EXPECT_EQ(Checked(IDC_PLUS_R_OWN), 0);
}

TEST_F(BookTypeJourney, SettingPlusRwSendsTheChosenValue) {
  const struct {
    int radio;  // 0: none checked
    const char* value;
    const char* shown;
  } cases[] = {{IDC_PLUS_RW_OWN, "E0", "DVD+RW"}, {IDC_PLUS_RW_ROM, "E2", "DVD-ROM"}, {0, nullptr, "DVD+RW"}};
  for (const auto& c : cases) {
    memory::MemoryPlatform fresh;
    fresh.SetVersion(test::kNt, 5, 1);
    sim::DriveModel& drive = fresh.AddDrive('D', test::QsiWriter("BX03", c.radio == IDC_PLUS_RW_OWN ? 0x02 : 0x00));
    fresh.QueueAnswer(Id::Yes);
    fresh.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
      drive.ClearCommands();
      if (c.radio != 0) {
        fresh.Click(window, c.radio);
      } else {
        for (int id : {IDC_PLUS_RW_OWN, IDC_PLUS_RW_ROM}) {
          fresh.SendMessage(fresh.Control(window, id), Bm::SetCheck, 0, 0);
        }
      }
      fresh.Click(window, IDC_SET_PLUS_RW);
      EXPECT_EQ(fresh.Text(window, IDC_PLUS_RW_TEXT), c.shown);
    });
    CDvdInfoDlg dialog;
    dialog.DoModal();
    // With no button checked the choice is unknown, and nothing is sent.
    const std::vector<std::string> sent =
        c.value != nullptr ? std::vector<std::string>{Write(c.value), kRead} : std::vector<std::string>{};
    EXPECT_EQ(test::CdbsOf(drive), sent) << c.radio;
  }
}

TEST_F(BookTypeJourney, NoRadioButtonCheckedSendsNothingAndAsksNothing) {
  sim::DriveModel& drive = platform.AddDrive('D', test::QsiWriter());
  platform.QueueAnswer(Id::Yes);
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle window) {
    drive.ClearCommands();
    for (int id : {IDC_PLUS_R_OWN, IDC_PLUS_R_ROM}) {
      platform.SendMessage(platform.Control(window, id), Bm::SetCheck, 0, 0);
    }
    platform.Click(window, IDC_SET_PLUS_R);
    EXPECT_EQ(Inspect(dialog).PlusRChoice(), -1);
  });
  EXPECT_TRUE(drive.Commands().empty());
  EXPECT_TRUE(platform.MessageTexts().empty());
}

TEST_F(BookTypeJourney, AnsweringNoSendsNothingAndDoesNotRefresh) {
  sim::DriveModel& drive = platform.AddDrive('D', test::QsiWriter());
  platform.QueueAnswer(Id::No);
  platform.QueueAnswer(Id::No);
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    drive.ClearCommands();
    platform.Click(window, IDC_PLUS_R_ROM);
    platform.Click(window, IDC_SET_PLUS_R);
    platform.Click(window, IDC_SET_PLUS_RW);
  });
  EXPECT_TRUE(drive.Commands().empty());
  EXPECT_EQ(platform.MessageBoxes().size(), 2u);
  EXPECT_EQ(drive.Config().settings, 0x00);
}

TEST_F(BookTypeJourney, FirmwareGateRefusesBx01AndBx02) {
  const struct {
    const char* revision;
    bool refused;
  } cases[] = {{"BX01", true}, {"BX02", true}, {"bx02", true}, {"BX03", false},
               {"", false},    {"BX0", false}, {"BX2 ", false}};
  for (const auto& c : cases) {
    memory::MemoryPlatform fresh;
    fresh.SetVersion(test::kNt, 5, 1);
    sim::DriveModel& drive = fresh.AddDrive('D', test::QsiWriter(c.revision));
    fresh.QueueAnswer(Id::Yes);
    fresh.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
      drive.ClearCommands();
      fresh.Click(window, IDC_SET_PLUS_RW);
    });
    CDvdInfoDlg dialog;
    dialog.DoModal();
    ASSERT_EQ(fresh.MessageBoxes().size(), 1u) << c.revision;
    if (c.refused) {
      EXPECT_EQ(fresh.MessageBoxes()[0].text,
                "Wrong firmware revision,  you must upgrade to at least BX03 firmware")
          << c.revision;
      EXPECT_EQ(fresh.MessageBoxes()[0].caption, "Bitset");
      EXPECT_TRUE(drive.Commands().empty()) << c.revision;
    } else {
      EXPECT_EQ(fresh.MessageBoxes()[0].caption, "Are you sure?") << c.revision;
      EXPECT_EQ(test::CdbsOf(drive), (std::vector<std::string>{Write("E0"), kRead})) << c.revision;
    }
  }
}

TEST_F(BookTypeJourney, FailedWriteEndsTheDialogAfterOneMoreRead) {
  sim::DriveConfig config = test::QsiWriter();
  config.writeFails = true;
  sim::DriveModel& drive = platform.AddDrive('D', config);
  platform.QueueAnswer(Id::Yes);
  const LResult result = RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    drive.ClearCommands();
    platform.Click(window, IDC_SET_PLUS_R);
    EXPECT_FALSE(platform.Click(window, IDC_SET_PLUS_R)) << "the dialog has ended";
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(platform.MessageTexts(),
            (std::vector<std::string>{"Are you sure you want to change the bitsetting?",
                                      "Error. May not be a QSI / Nu-Tek drive or wrong firmware"}));
  EXPECT_EQ(platform.MessageBoxes()[1].type, 0u);
  EXPECT_EQ(test::CdbsOf(drive), (std::vector<std::string>{Write("D0"), kRead}));
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

TEST_F(BookTypeJourney, ResponseByteSixIsReturnedWhole) {
  sim::DriveModel& drive = platform.AddDrive('D', test::QsiWriter("BX03", 0xFF));
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    EXPECT_EQ(dialog.QueryBookSettings(), 255);
    drive.Config().vendorCommands = false;
    EXPECT_EQ(dialog.QueryBookSettings(), -1);
  });
}

}  // namespace
