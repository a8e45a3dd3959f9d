#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "framework/Dialog.h"
#include "tests/TestSupport.h"

namespace {

constexpr std::uint32_t kAboutCommand = 0x0010;
constexpr Rect kScreenWorkArea{0, 0, 800, 570};  // SPI_GETWORKAREA
constexpr Rect kMonitorWorkArea{1024, 0, 2048, 738};

// A machine with one writer, a screen work area and, when `monitorApi`,
// user32's monitor functions reporting another work area.
void Prepare(memory::MemoryPlatform& platform, bool monitorApi) {
  platform.SetVersion(test::kNt, 5, 1);
  platform.AddDrive('D', test::QsiWriter());
  platform.SetSystemWorkArea(kScreenWorkArea);
  platform.SetMonitorApi(monitorApi, kMonitorWorkArea);
}

int Width(const Rect& r) { return r.right - r.left; }
int Height(const Rect& r) { return r.bottom - r.top; }

// The main window has no owner: it is centred on the work area of its
// monitor, found through user32's monitor functions where they exist and
// through the screen's work area where they do not (Windows 95, NT 4.0).
TEST(CentringTest, MainWindowOnTheWorkAreaWithAndWithoutTheMonitorFunctions) {
  const struct {
    bool monitorApi;
    Rect area;
  } cases[] = {{true, kMonitorWorkArea}, {false, kScreenWorkArea}};
  for (const auto& c : cases) {
    memory::MemoryPlatform fresh;
    Prepare(fresh, c.monitorApi);
    Rect shown;
    CDvdInfoDlg dialog;
    fresh.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) { fresh.GetWindowRect(window, shown); });
    dialog.DoModal();
    EXPECT_EQ(shown.left, (c.area.left + c.area.right - Width(shown)) / 2) << c.monitorApi;
    EXPECT_EQ(shown.top, (c.area.top + c.area.bottom - Height(shown)) / 2) << c.monitorApi;
    EXPECT_EQ(fresh.TraceIndex("MonitorFromWindow") >= 0, c.monitorApi);
    EXPECT_EQ(fresh.TraceIndex("SystemParametersInfoA") >= 0, !c.monitorApi);
  }
}

TEST(CentringTest, AboutBoxOverItsOwnerInsideTheWorkArea) {
  const struct {
    const char* what;
    int mainX, mainY;
    bool iconic;
  } cases[] = {{"over the owner", 100, 60, false},
               {"kept left of the right edge", 700, 60, false},
               {"kept below the top edge", 100, -200, false},
               {"owner minimised: on the work area", 100, 60, true}};
  for (const auto& c : cases) {
    memory::MemoryPlatform fresh;
    Prepare(fresh, false);
    Rect owner, about;
    fresh.OnModal(IDD_ABOUTBOX, [&](WindowHandle box) { fresh.GetWindowRect(box, about); });
    fresh.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
      fresh.MoveWindow(window, c.mainX, c.mainY);
      fresh.SetIconic(window, c.iconic);
      fresh.GetWindowRect(window, owner);
      fresh.SystemCommand(window, kAboutCommand);
    });
    test::RunApplication();
    const Rect area = c.iconic ? kScreenWorkArea : owner;
    int x = (area.left + area.right - Width(about)) / 2;
    int y = (area.top + area.bottom - Height(about)) / 2;
    x = std::max(std::min(x, kScreenWorkArea.right - Width(about)), kScreenWorkArea.left);
    y = std::max(std::min(y, kScreenWorkArea.bottom - Height(about)), kScreenWorkArea.top);
    EXPECT_EQ(about.left, x) << c.what;
    EXPECT_EQ(about.top, y) << c.what;
  }
}

// A dialog whose initialisation does `init` to its window.
class SelfPlacingDialog : public CDialog {
 public:
  SelfPlacingDialog(CWnd* owner, std::function<void(WindowHandle)> init)
      : CDialog(IDD_ABOUTBOX, owner), init_(std::move(init)) {}

 protected:
  bool OnInitDialog() override {
    init_(GetSafeHwnd());
    return CDialog::OnInitDialog();
  }
  std::function<void(WindowHandle)> init_;
};

// Only a hidden dialog without an enabled owner or a centring style that
// initialisation left in its place is centred; the others stay where they are.
TEST(CentringTest, ADialogThatPlacedItselfStaysWhereItWent) {
  memory::MemoryPlatform platform;
  Prepare(platform, true);
  CWnd desktop(platform.DesktopWindow());
  const auto style = [&](std::uint32_t bits) {
    return [&platform, bits](WindowHandle box) { platform.Window(box)->style |= bits; };
  };
  const struct {
    const char* what;
    std::function<void(WindowHandle)> init;
    CWnd* owner;
    int x, y;
  } cases[] = {
      {"moved itself",
       [](WindowHandle box) { CWnd(box).SetWindowPos(30, 0, 0, 0, Swp::NoSize | Swp::NoZOrder); },
       nullptr, 30, 0},
      {"showed itself", style(Ws::Visible), nullptr, 0, 0},
      {"enabled owner", [&](WindowHandle box) { platform.EnableWindow(platform.GetOwner(box), true); },
       &desktop, 0, 0},
      {"DS_CENTER", style(Ds::Center), nullptr, 0, 0},
      {"DS_CENTERMOUSE", style(Ds::CenterMouse), nullptr, 0, 0},
      {"DS_ABSALIGN", style(Ds::AbsAlign), nullptr, 0, 0},
  };
  for (const auto& c : cases) {
    Rect shown;
    platform.OnModal(IDD_ABOUTBOX, [&](WindowHandle box) { platform.GetWindowRect(box, shown); });
    SelfPlacingDialog(c.owner, c.init).DoModal();
    EXPECT_EQ(shown.left, c.x) << c.what;
    EXPECT_EQ(shown.top, c.y) << c.what;
  }
}

}  // namespace
