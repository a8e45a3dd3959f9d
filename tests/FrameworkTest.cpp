#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "framework/Dialog.h"
#include "framework/Font.h"
#include "platform/Format.h"
#include "framework/WinApp.h"
#include "tests/memory/MemoryPlatform.h"
#include "res/resource.h"

namespace {

// A dialog on the main template with a message map of its own.
class ProbeDialog : public CDialog {
 public:
  ProbeDialog() : CDialog(IDD_BITSET_DIALOG) {}

  int plusR = 7;
  int plusRw = 7;
  std::string text = "initial";
  std::vector<std::string> calls;

  void OnDriveChange() { calls.push_back("drive change"); }
  void OnSetPlusR() { calls.push_back("set +R"); }
  void OnSystem(std::uint32_t id, LParam) {
    calls.push_back("system " + std::to_string(id));
    if (id != 0x10) Default();
  }
  LResult OnDragIcon() { return 42; }

 protected:
  const MessageMapBase& GetMessageMap() const override {
    using Map = MessageMap<ProbeDialog>;
    static const Map map{
        Map::Command(Cbn::SelChange, IDC_DRIVE_BOX, &ProbeDialog::OnDriveChange),
        Map::Command(Bn::Clicked, IDC_SET_PLUS_R, &ProbeDialog::OnSetPlusR),
        Map::SysCommand(&ProbeDialog::OnSystem),
        Map::Result(Msg::QueryDragIcon, &ProbeDialog::OnDragIcon),
    };
    return map;
  }
  void DoDataExchange(CDataExchange& dx) override {
    DDX_Text(dx, IDC_PLUS_R_TEXT, text);
    DDX_Radio(dx, IDC_PLUS_R_OWN, plusR);
    DDX_Radio(dx, IDC_PLUS_RW_OWN, plusRw);
  }
};

class FrameworkTest : public ::testing::Test {
 protected:
  memory::MemoryPlatform platform;
  ProbeDialog dialog;

  void Run(const std::function<void(WindowHandle)>& session) {
    platform.OnModal(IDD_BITSET_DIALOG, session);
    dialog.DoModal();
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr) << "the window is gone, and so is its handle";
  }
  int Check(WindowHandle window, int id) { return platform.Checked(window, id); }
};

TEST_F(FrameworkTest, RadioIndexLoadsIntoItsOwnGroupOnly) {
  Run([&](WindowHandle window) {
    const struct {
      int plusR, plusRw;
      int expected[4];  // 1333, 1334, 1335, 1336
    } cases[] = {{-1, -1, {0, 0, 0, 0}}, {0, 1, {1, 0, 0, 1}}, {1, 0, {0, 1, 1, 0}}, {2, 5, {0, 0, 0, 0}}};
    for (const auto& c : cases) {
      dialog.plusR = c.plusR;
      dialog.plusRw = c.plusRw;
      dialog.UpdateData(false);
      const int ids[] = {IDC_PLUS_R_OWN, IDC_PLUS_R_ROM, IDC_PLUS_RW_OWN, IDC_PLUS_RW_ROM};
      for (int i = 0; i < 4; ++i) EXPECT_EQ(Check(window, ids[i]), c.expected[i]) << c.plusR << c.plusRw << i;
    }
  });
}

TEST_F(FrameworkTest, RadioIndexStoresTheCheckedButtonOrMinusOne) {
  Run([&](WindowHandle window) {
    platform.Click(window, IDC_PLUS_R_ROM);
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.plusR, 1);
    EXPECT_EQ(dialog.plusRw, -1);
    platform.Click(window, IDC_PLUS_R_OWN);
    EXPECT_EQ(Check(window, IDC_PLUS_R_ROM), 0) << "a click unchecks the group's other button";
    platform.Click(window, IDC_PLUS_RW_ROM);
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.plusR, 0);
    EXPECT_EQ(dialog.plusRw, 1);
  });
}

TEST_F(FrameworkTest, TextExchangeGoesBothWays) {
  Run([&](WindowHandle window) {
    dialog.text = "DVD+R";
    dialog.UpdateData(false);
    EXPECT_EQ(platform.Text(window, IDC_PLUS_R_TEXT), "DVD+R");
    platform.Control(window, IDC_PLUS_R_TEXT)->text = "typed";
    platform.SendMessage(window, Msg::Command, Id::Ok, 0);  // BN_CLICKED of OK: stores, then ends
    EXPECT_EQ(dialog.text, "typed");
  });
  EXPECT_EQ(platform.DialogResults(), std::vector<LResult>{Id::Ok});
}

TEST_F(FrameworkTest, MessageMapMatchesControlAndNotification) {
  Run([&](WindowHandle window) {
    platform.Click(window, IDC_DRIVE_BOX);  // BN_CLICKED from the drive box: not mapped
    platform.Click(window, IDC_SET_PLUS_RW);  // disabled: no notification at all
    platform.SendMessage(platform.Control(window, IDC_SET_PLUS_RW), 0, 0, 0);
    platform.EnableWindow(platform.Control(window, IDC_SET_PLUS_R), true);
    platform.Click(window, IDC_SET_PLUS_R);
    platform.Control(window, IDC_DRIVE_BOX)->lines = {"a", "b"};
    platform.SelectLine(window, IDC_DRIVE_BOX, 1);
    EXPECT_EQ(platform.SendMessage(window, Msg::QueryDragIcon, 0, 0), 42);
  });
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"set +R", "drive change"}));
}

TEST_F(FrameworkTest, DefaultHandlingOfSystemCommandsAndClose) {
  Run([&](WindowHandle window) {
    platform.SystemCommand(window, 0xF030);  // handled, then left to the default as well
    EXPECT_EQ(platform.SendMessage(window, Msg::QueryDragIcon, 0, 0), 42) << "and only that one";
    EXPECT_EQ(platform.SendMessage(window, Msg::SysCommand, 0x10, 0), 0) << "handled: answers 0";
    for (const WParam code : {WParam{1}, WParam{0x8000}}) {  // notifications other than BN_CLICKED
      platform.SendMessage(window, Msg::Command, code << 16 | Id::Cancel, 0);
    }
    platform.SendMessage(window, 0x0400, Id::Cancel, 0);  // not WM_COMMAND
    EXPECT_FALSE(platform.Window(window)->ended);
    platform.SystemCommand(window, 0xF060);  // SC_CLOSE: the default closes the dialog
    EXPECT_TRUE(platform.Window(window)->ended);
  });
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"system 61488", "system 16", "system 61536"}));
  EXPECT_EQ(platform.DialogResults(), (std::vector<LResult>{Id::Cancel}));
  const auto& trace = platform.Trace();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "EndDialog 2"), 1) << "Cancel answered the close: ended once";
}

// The name and the help path: the executable's without its extension.
TEST(ApplicationName, IsTheExecutablesFileNameWithoutExtension) {
  const struct {
    const char* path;
    const char* name;
    const char* help;
  } cases[] = {{"C:\\Tools\\Bitset.exe", "Bitset", "C:\\Tools\\Bitset.HLP"},
               {"C:\\a.b\\My.Tool.EXE", "My.Tool", "C:\\a.b\\My.Tool.HLP"},
               {"C:\\a.b\\Tool", "Tool", "C:\\a.b\\Tool.HLP"},
               {"Plain", "Plain", "Plain.HLP"},
               {"E:NoSlash.exe", "NoSlash", "E:NoSlash.HLP"}};
  for (const auto& c : cases) {
    EXPECT_EQ(AppNameFromModulePath(c.path), c.name) << c.path;
    EXPECT_EQ(HelpPathFromModulePath(c.path), c.help) << c.path;
  }
}

// The Windows C library's vsnprintf: -1 when the text does not fit, and an
// exact fit without its terminating zero. Keeps the buffer sizes it is given.
std::vector<std::size_t> g_sizes;
int WindowsFormatInto(char* buffer, std::size_t size, const char* format, va_list args) {
  g_sizes.push_back(size);
  static char whole[1 << 17];
  const int length = std::vsnprintf(whole, sizeof whole, format, args);
  std::copy(whole, whole + std::min<std::size_t>(size, length + 1u), buffer);
  return static_cast<std::size_t>(length) > size ? -1 : length;
}
std::string WindowsFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatStringWith(WindowsFormatInto, format, args);
  va_end(args);
  return text;
}

TEST(FormatString, GrowsUntilTheTextFitsOnBothConventions) {
  const struct {
    std::size_t length, calls, lastSize;
    bool fits;
  } cases[] = {{0, 1, 128, true},         {127, 1, 128, true},       {128, 2, 129, true},
               {300, 3, 512, true},       {65535, 10, 65536, true}, {65536, 10, 65536, false}};
  for (const auto& c : cases) {
    const std::string text(c.length, 'x');
    g_sizes.clear();
    EXPECT_EQ(WindowsFormat("%s", text.c_str()), c.fits ? text : "") << c.length;
    EXPECT_EQ(g_sizes.size(), c.calls) << c.length;
    EXPECT_EQ(g_sizes.back(), c.lastSize) << c.length;
    EXPECT_EQ(FormatString("%s", text.c_str()), text) << "C99: grows once to the length asked";
  }
}

TEST(FontTest, AReplacedOrDestroyedFontIsDeleted) {
  memory::MemoryPlatform platform;
  {
    CFont font;
    font.CreateFont(14, "Arial");
    EXPECT_TRUE(font.CreateFont(16, "Arial"));
    EXPECT_TRUE(platform.Fonts()[0].deleted);
    EXPECT_FALSE(platform.Fonts()[1].deleted);
  }
  EXPECT_TRUE(platform.Fonts()[1].deleted);
}

}  // namespace
