#include <gtest/gtest.h>

#include <algorithm>

#include "BitsetVersion.h"
#include "platform/Format.h"
#include "tests/TestSupport.h"

namespace {

class PresentationTest : public test::DialogTest {
 protected:
  PresentationTest() {
    platform.SetVersion(test::kNt, 5, 1);
    platform.AddDrive('D', test::QsiWriter());
  }
};

TEST_F(PresentationTest, RunTimeCaptionsReplaceTheTemplates) {
  RunDialog();
  const struct {
    int id;
    const char* caption;
  } cases[] = {{IDC_DRIVE_LABEL, "Choose a DVD Drive"},   {IDC_HELP_BUTTON, "Help"},
               {IDC_SETTINGS_GROUP, "Current Settings"},  {IDC_MEDIA_TYPE_LABEL, "MEDIA TYPE"},
               {IDC_SET_PLUS_R, "Set +R Book Value"},     {IDC_SET_PLUS_RW, "Set +RW Book Value"},
               {IDC_PLUS_R_GROUP, "Choose a +R Book Value"},
               {IDC_PLUS_RW_GROUP, "Choose a +RW Book Value"},
               {IDC_BOOK_TYPE_LABEL, "BOOK TYPE"},        {IDC_PLUS_R_LABEL, "DVD+R"},
               {IDC_PLUS_RW_LABEL, "DVD+RW"},             {IDC_PLUS_R_ROM, "DVD-ROM"}};
  for (const auto& c : cases) EXPECT_EQ(Text(c.id), c.caption) << c.id;
  EXPECT_EQ(platform.Window(window_)->text, "Sorvel ZezIzurora Utility V1.02");
}

// The trace entries of one kind ("SetWindowPos", "SetFont"...) from `from` on.
std::vector<std::string> Entries(const memory::MemoryPlatform& platform, const std::string& kind,
                                 std::size_t from = 0) {
  std::vector<std::string> entries;
  for (std::size_t at = from; at < platform.Trace().size(); ++at) {
    if (platform.Trace()[at].compare(0, kind.size() + 1, kind + " ") == 0) {
      entries.push_back(platform.Trace()[at]);
    }
  }
  return entries;
}

// Every control in one window-position call, in order, without a change
// of z-order; "kept" sizes are left to the template.
TEST_F(PresentationTest, ControlsArePlacedInPixels) {
  RunDialog();
  const struct {
    int id, x, y, cx, cy;  // cx 0: kept
  } rows[] = {
      {1009, 9, 17, 109, 55},   {1000, 120, 11, 0, 0},    {1317, 14, 177, 190, 20},
      {1315, 133, 60, 59, 20},  {1314, 133, 133, 59, 20}, {1337, 220, 80, 155, 23},
      {1319, 220, 159, 155, 23}, {1013, 133, 99, 0, 0},   {1012, 27, 99, 0, 0},
      {1015, 27, 68, 0, 0},     {1016, 27, 138, 0, 0},    {1008, 12, 44, 190, 125},
      {1010, 207, 43, 174, 78}, {1011, 207, 120, 174, 78}, {1333, 222, 62, 0, 0},
      {1334, 301, 62, 0, 0},    {1335, 222, 140, 0, 0},   {1336, 301, 140, 0, 0},
  };
  std::vector<std::string> expected{"SetWindowPos 0 0,0 396x269 0005"};  // the window itself
  for (const auto& row : rows) {
    expected.push_back(FormatString("SetWindowPos %d %d,%d %dx%d %04X", row.id, row.x, row.y, row.cx,
                                    row.cy, row.cx == 0 ? 0x0005 : 0x0004));
  }
  // Last, the framework centres the window on the work area (1024 x 738 by
  // default), keeping size and z-order and not activating it.
  expected.push_back("SetWindowPos 0 383,302 0x0 0015");
  EXPECT_EQ(Entries(platform, "SetWindowPos"), expected);
  for (const auto& row : rows) {
    if (row.cx != 0) continue;
    const memory::MemoryWindow* control = platform.Control(window_, row.id);
    EXPECT_FALSE(control->sized) << row.id;  // the template's size stays
  }
}

// The exchange runs in one order whichever way it goes: the two set
// buttons and the drive box (bound once, at the first exchange), the +R and
// +RW texts, the +R and +RW groups.
TEST_F(PresentationTest, DataExchangeKeepsItsOrder) {
  std::vector<std::string> loading, storing;
  RunDialog([&](CDvdInfoDlg& dialog, WindowHandle) {
    std::size_t from = platform.Trace().size();
    dialog.UpdateData(false);
    loading = Entries(platform, "GetDlgItem", from);
    from = platform.Trace().size();
    dialog.UpdateData(true);
    storing = Entries(platform, "GetDlgItem", from);
  });
  // The first exchange also binds the controls: it is the only one that
  // asks for the drive box.
  const std::vector<std::string> all = Entries(platform, "GetDlgItem");
  const auto box = std::find(all.begin(), all.end(), "GetDlgItem 1000");
  ASSERT_TRUE(box - all.begin() >= 2 && all.end() - box >= 5);
  EXPECT_EQ(std::vector<std::string>(box - 2, box + 5),
            (std::vector<std::string>{"GetDlgItem 1337", "GetDlgItem 1319", "GetDlgItem 1000",
                                      "GetDlgItem 1315", "GetDlgItem 1314", "GetDlgItem 1333",
                                      "GetDlgItem 1335"}));
  const std::vector<std::string> values{"GetDlgItem 1315", "GetDlgItem 1314", "GetDlgItem 1333",
                                        "GetDlgItem 1335"};
  EXPECT_EQ(loading, values);
  EXPECT_EQ(storing, values);
}

TEST_F(PresentationTest, EveryControlGetsTheArialFontWhichOutlivesTheDialog) {
  RunDialog();
  ASSERT_EQ(platform.Fonts().size(), 1u);
  EXPECT_EQ(platform.Fonts()[0].height, 14);
  EXPECT_EQ(platform.Fonts()[0].face, "Arial");
  EXPECT_FALSE(platform.Fonts()[0].deleted);
  for (const memory::MemoryWindow* control : platform.Window(window_)->children) {
    EXPECT_NE(control->font, nullptr) << control->id;
  }
  std::vector<std::string> redraws;
  for (const std::string& entry : platform.Trace()) {
    if (entry.size() > 7 && entry.compare(entry.size() - 7, 7, " redraw") == 0) redraws.push_back(entry);
  }
  std::vector<std::string> order;
  for (int id : {1009, 1000, 1012, 1013, 1317, 1315, 1314, 1337, 1319, 1333, 1334, 1335, 1336, 1015,
                 1016, 1008, 1010, 1011}) {
    order.push_back("SetFont " + std::to_string(id) + " redraw");
  }
  EXPECT_EQ(redraws, order);
}

TEST_F(PresentationTest, WindowIconsAndDragIconAreTheProgramIcon) {
  LResult dragIcon = 0;
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    dragIcon = platform.SendMessage(window, Msg::QueryDragIcon, 0, 0);
  });
  const memory::MemoryWindow* dialog = platform.Window(window_);
  EXPECT_NE(dialog->bigIcon, nullptr);
  EXPECT_EQ(dialog->bigIcon, dialog->smallIcon);
  EXPECT_EQ(reinterpret_cast<IconHandle>(dragIcon), dialog->bigIcon);
  EXPECT_GE(platform.TraceIndex("LoadIcon 128"), 0);
}

TEST_F(PresentationTest, MinimisedWindowDrawsItsIconCentred) {
  const struct {
    int width, height, x, y;
  } cases[] = {{36, 36, 2, 2}, {30, 40, 0, 4}, {100, 33, 34, 1}};
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    platform.SendMessage(window, Msg::Paint, 0, 0);  // not minimised: the default painting
    EXPECT_TRUE(platform.IconDraws().empty());
    platform.SetIconic(window, true);
    for (const auto& c : cases) {
      platform.SetClientSize(c.width, c.height);
      const std::size_t from = platform.Trace().size();
      platform.SendMessage(window, Msg::Paint, 0, 0);
      // The background is erased first, with the paint device context.
      const std::vector<std::string> erase = Entries(platform, "Dialog", from);
      ASSERT_EQ(erase.size(), 2u);
      EXPECT_EQ(erase[1], FormatString("Dialog 0027 %llu", static_cast<unsigned long long>(
                                                              reinterpret_cast<std::uintptr_t>(window))));
      EXPECT_EQ(platform.IconDraws().back().x, c.x) << c.width;
      EXPECT_EQ(platform.IconDraws().back().y, c.y) << c.height;
      const auto& trace = platform.Trace();
      EXPECT_EQ(std::count(trace.begin() + from, trace.end(), "DefaultPaint"), 0) << "drawn: no default painting";
    }
  });
  EXPECT_GE(platform.TraceIndex("DefaultPaint"), 0);
}

TEST_F(PresentationTest, SystemMenuEntryOpensTheAboutBox) {
  std::vector<std::string> aboutTexts;
  for (int i = 0; i < 2; ++i) {
    platform.OnModal(IDD_ABOUTBOX, [&](WindowHandle about) {
      const memory::MemoryWindow* owner = platform.Window(about)->parent;
      EXPECT_EQ(owner, platform.Window(window_)) << "owned by the main window";
      EXPECT_FALSE(owner != nullptr && owner->enabled) << "which is disabled meanwhile";
      aboutTexts.push_back(platform.Text(about, IDC_ABOUT_TITLE));
    });
  }
  platform.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
    window_ = window;
    platform.SystemCommand(window, 0x0010);
    platform.SystemCommand(window, 0x0017);
    platform.SystemCommand(window, 0x0020);
    EXPECT_FALSE(platform.Window(window)->ended);
    EXPECT_TRUE(platform.Window(window)->enabled);
  });
  test::RunApplication();
  EXPECT_EQ(platform.Window(window_)->systemMenu,
            (std::vector<std::string>{"-", "&About Sorvel Util..."}));
  EXPECT_EQ(platform.Window(window_)->systemMenuIds.back(), 16u);
  // The about box's title carries the program's version.
  EXPECT_EQ(aboutTexts, (std::vector<std::string>{"Sorvel Bitsetting Utility V" BITSET_VERSION,
                                                  "Sorvel Bitsetting Utility V" BITSET_VERSION}));
  EXPECT_EQ(platform.DialogResults().size(), 3u);  // two about boxes and the main window
}

TEST_F(PresentationTest, NoAboutEntryWithoutItsString) {
  platform.SetString(IDS_ABOUTBOX, "");
  RunDialog();
  EXPECT_TRUE(platform.Window(window_)->systemMenu.empty());
}

TEST_F(PresentationTest, HelpOpensHelpChmBesideTheExecutable) {
  platform.SetModulePath("D:\\Utils\\Bitset.exe");
  platform.InstallHtmlHelp("hhctrl.ocx");
  // A class entry with an empty default names no library: none by that name is tried.
  platform.SetClassesRootDefault("CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", "");
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    platform.Click(window, IDC_HELP_BUTTON);
    platform.Click(window, IDC_HELP_BUTTON);
  });
  ASSERT_EQ(platform.HelpCalls().size(), 2u);
  EXPECT_EQ(platform.HelpCalls()[0].file, "D:\\Utils\\help.chm");
  EXPECT_EQ(platform.HelpCalls()[0].caller, platform.DesktopWindow());
  EXPECT_EQ(platform.HelpCalls()[0].command, 0u);
  EXPECT_EQ(platform.HelpCalls()[0].data, 0u);
  EXPECT_EQ(platform.LoadAttempts(), (std::vector<std::string>{"hhctrl.ocx"}));
  EXPECT_TRUE(platform.MessageTexts().empty());
}

TEST_F(PresentationTest, HelpPrefersTheRegisteredLibrary) {
  const char place[] = "C:\\Windows\\System32\\hhctrl.ocx";
  platform.SetClassesRootDefault("CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", place);
  platform.InstallHtmlHelp(place);
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) { platform.Click(window, IDC_HELP_BUTTON); });
  EXPECT_EQ(platform.LoadedLibraries(), (std::vector<std::string>{place}));
  EXPECT_EQ(platform.HelpCalls().size(), 1u);
}

TEST_F(PresentationTest, HelpWithoutHtmlHelpDoesNothingAndStopsTrying) {
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    platform.Click(window, IDC_HELP_BUTTON);
    platform.Click(window, IDC_HELP_BUTTON);
  });
  EXPECT_EQ(platform.LoadAttempts(), (std::vector<std::string>{"hhctrl.ocx"}));
  EXPECT_TRUE(platform.MessageTexts().empty());
}

TEST_F(PresentationTest, HelpLibraryWithoutItsEntryIsAskedAgainEachTime) {
  platform.InstallHtmlHelp("hhctrl.ocx", false);
  RunDialog([&](CDvdInfoDlg&, WindowHandle window) {
    platform.Click(window, IDC_HELP_BUTTON);
    platform.Click(window, IDC_HELP_BUTTON);
  });
  EXPECT_EQ(platform.LoadAttempts(), (std::vector<std::string>{"hhctrl.ocx"}));
  EXPECT_TRUE(platform.HelpCalls().empty());
}

// The composed path fits MAX_PATH with its terminating zero, or is refused.
TEST(HelpFilePath, ComposesHelpChmInTheExecutablesDirectory) {
  const std::string deep = "C:\\" + std::string(247, 'd');  // and help.chm: 259 characters
  const struct {
    std::string helpPath;
    bool fits;
    std::string composed;
  } cases[] = {{"C:\\Tools\\Bitset.HLP", true, "C:\\Tools\\help.chm"},
               {"D:\\Utils\\Bitset.HLP", true, "D:\\Utils\\help.chm"},
               {"\\\\server\\share\\Bitset.HLP", true, "\\\\server\\share\\help.chm"},
               {"Bitset.HLP", true, "help.chm"},
               {"C:Bitset.HLP", true, "C:help.chm"},
               {"C:", true, "C:help.chm"},  // the shortest drive, and shorter: none
               {":", true, "help.chm"},
               {"a:\\x\\", true, "a:\\x\\help.chm"},  // any character before the colon is a drive
               {"@:\\x\\", true, "@:\\x\\help.chm"},
               {deep + "\\Bitset.HLP", true, deep + "\\help.chm"},
               {deep + "d\\Bitset.HLP", false, ""}};
  for (const auto& c : cases) {
    std::string composed;
    EXPECT_EQ(ComposeHelpFilePath(c.helpPath, composed), c.fits) << c.helpPath;
    if (c.fits) { EXPECT_EQ(composed, c.composed) << c.helpPath; }
  }
}

}  // namespace
