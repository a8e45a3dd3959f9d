// Drives the running Bitset.exe from a second program in the same Wine
// prefix, as a user would: reads what the window shows, presses buttons,
// answers message boxes.
//
//   BitsetDriver.exe STEP [STEP...]
//
// Steps run in order; the first that fails ends the program with exit code 1
// and a message on stderr. Steps that read print one line of JSON.
//
//   wait-window [MS]      until the main window is visible and idle
//   state                 the main window: drive box, fields, choices, buttons
//   wait-msgbox [MS]      until a message box is open; prints it
//   msgbox                the open message box, or null
//   answer yes|no|ok      presses that button of the open message box and
//                         waits until the box is gone and the window idle
//   click ID              presses the button (radio or push) with that id
//   select N              chooses line N of the drive box, as a user would
//   settle                until the window has handled what it was sent
//   close                 closes the main window (WM_CLOSE)
//   wait-gone [MS]        until the main window no longer exists
//   rect                  the main window's rectangle on the screen
//   syscommand ID         sends the main window a system command
//   wait-about [MS]       until the about box is open
//   wait-help TITLE [MS]  until the HTML Help window with that title is open;
//                         prints its title and rectangle
//   help-window           the open HTML Help window, or null
//   close-help            closes the HTML Help window and waits until it is gone
//   about                 the open about box (texts, owner, place, room for
//                         the attribution line); closes it with OK
//
// Every step waits at most MS milliseconds (default 20000).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

const char kMainCaption[] = "Sorvel ZezIzurora Utility V1.02";
constexpr DWORD kDefaultWait = 20000;
constexpr UINT kSettleTimeout = 20000;
constexpr int kMessageBoxText = 0xFFFF;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length,
                      nullptr, nullptr);
  return out;
}

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", unsigned{byte});
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// WM_GETTEXT across processes, sent itself: GetWindowText does not ask a
// control of another process for its text.
std::string WindowText(HWND window) {
  if (window == nullptr) throw Failure("no such window");
  const auto length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto got = static_cast<int>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return Utf8(text);
}

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND MainWindow() {
  HWND window = FindWindowA("#32770", kMainCaption);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

HWND RequireMain() {
  HWND window = MainWindow();
  if (window == nullptr) throw Failure("the main window is not open");
  return window;
}

HWND Control(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) throw Failure("the main window has no control " + std::to_string(id));
  return control;
}

BOOL CALLBACK CollectMessageBox(HWND window, LPARAM found) {
  if (ClassName(window) == "#32770" && IsWindowVisible(window) &&
      GetDlgItem(window, kMessageBoxText) != nullptr && WindowText(window) != kMainCaption) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND MessageBoxWindow() {
  HWND found = nullptr;
  EnumWindows(CollectMessageBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND AboutBox() {
  HWND about = FindWindowA("#32770", "About");
  return about != nullptr && IsWindowVisible(about) ? about : nullptr;
}

// How wide `text` is, in pixels, on one line in the about box's font: the
// template's 8-point "MS Sans Serif", made as the dialog manager makes it.
int TextWidthInAboutFont(const std::string& text) {
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                           FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

int ClientWidth(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect.right - rect.left;
}

// The HTML Help viewer's window: its class, titled with the help file's title.
struct HelpWindowSearch {
  const std::string* title;
  HWND found;
};

BOOL CALLBACK FindHelpWindow(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<HelpWindowSearch*>(search);
  if (ClassName(window) == "HH Parent" && IsWindowVisible(window) &&
      (wanted->title == nullptr || WindowText(window) == *wanted->title)) {
    wanted->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND HelpWindow(const std::string* title) {
  HelpWindowSearch search{title, nullptr};
  EnumWindows(FindHelpWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string RectJson(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return "[" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom) + "]";
}

template <typename Condition>
bool WaitFor(DWORD milliseconds, Condition condition) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= milliseconds) return false;
    Sleep(20);
  }
}

// Returns once the window's thread has handled every message sent to it
// before: sent messages are handled in order, and only when the thread is
// back in a message loop (its own, or a message box's).
void Settle(HWND window) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kSettleTimeout, &result) == 0 &&
      IsWindow(window)) {
    throw Failure("the main window does not answer");
  }
}

std::string MessageBoxJson(HWND box) {
  std::string buttons;
  static const struct {
    int id;
    const char* name;
  } kButtons[] = {{IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDYES, "yes"}, {IDNO, "no"}};
  for (const auto& button : kButtons) {
    HWND control = GetDlgItem(box, button.id);
    if (control == nullptr || !IsWindowVisible(control)) continue;
    if (!buttons.empty()) buttons += ",";
    buttons += Json(button.name);
  }
  HWND owner = GetWindow(box, GW_OWNER);
  return "{\"caption\":" + Json(WindowText(box)) +
         ",\"text\":" + Json(WindowText(GetDlgItem(box, kMessageBoxText))) +
         ",\"buttons\":[" + buttons + "],\"owner\":" +
         Json(owner != nullptr ? WindowText(owner) : std::string()) + "}";
}

std::string ComboLines(HWND combo) {
  std::string lines;
  const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const auto length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0));
    if (length < 0) throw Failure("cannot read line " + std::to_string(i) + " of the drive box");
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = static_cast<int>(
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0])));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    if (i > 0) lines += ",";
    lines += Json(Utf8(text));
  }
  return "[" + lines + "]";
}

std::string StateJson(HWND dialog) {
  HWND combo = Control(dialog, IDC_DRIVE_BOX);
  std::string json = "{\"drives\":" + ComboLines(combo);
  json += ",\"selected\":" + std::to_string(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  json += ",\"text\":{";
  json += "\"" + std::to_string(IDC_PLUS_R_TEXT) + "\":" + Json(WindowText(Control(dialog, IDC_PLUS_R_TEXT)));
  json += ",\"" + std::to_string(IDC_PLUS_RW_TEXT) + "\":" +
          Json(WindowText(Control(dialog, IDC_PLUS_RW_TEXT)));
  json += "},\"checked\":{";
  const int radios[] = {IDC_PLUS_R_OWN, IDC_PLUS_R_ROM, IDC_PLUS_RW_OWN, IDC_PLUS_RW_ROM};
  for (int radio : radios) {
    if (radio != radios[0]) json += ",";
    const LRESULT state = SendMessageW(Control(dialog, radio), BM_GETCHECK, 0, 0);
    json += "\"" + std::to_string(radio) + "\":" + (state == BST_CHECKED ? "true" : "false");
  }
  json += "},\"enabled\":{";
  const int buttons[] = {IDC_SET_PLUS_R, IDC_SET_PLUS_RW};
  for (int button : buttons) {
    if (button != buttons[0]) json += ",";
    json += "\"" + std::to_string(button) +
            "\":" + (IsWindowEnabled(Control(dialog, button)) ? "true" : "false");
  }
  return json + "}}";
}

// The arguments of the running steps: each step takes what it needs.
class StepArguments {
 public:
  explicit StepArguments(std::vector<std::string> args) : args_(std::move(args)) {}

  bool Done() const { return at_ >= args_.size(); }
  const std::string& NextStep() { return args_[at_++]; }

  // An optional wait in milliseconds; the default when none follows.
  DWORD Milliseconds() {
    if (at_ < args_.size() && !args_[at_].empty() &&
        args_[at_].find_first_not_of("0123456789") == std::string::npos) {
      return static_cast<DWORD>(std::strtoul(args_[at_++].c_str(), nullptr, 10));
    }
    return kDefaultWait;
  }

  const std::string& Argument() {
    if (at_ >= args_.size()) throw Failure(args_[at_ - 1] + " needs an argument");
    return args_[at_++];
  }

  int Number() {
    const std::string& text = Argument();
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0') throw Failure("not a number: " + text);
    return static_cast<int>(value);
  }

 private:
  std::vector<std::string> args_;
  std::size_t at_ = 0;
};

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void WaitWindowStep(StepArguments& args) {
  if (!WaitFor(args.Milliseconds(), [] { return MainWindow() != nullptr; })) {
    HWND box = MessageBoxWindow();
    throw Failure("the main window did not open" +
                  (box != nullptr ? "; a message box is open: " + MessageBoxJson(box)
                                  : std::string()));
  }
  Settle(RequireMain());
}

void StateStep(StepArguments&) { Print(StateJson(RequireMain())); }

void WaitMessageBoxStep(StepArguments& args) {
  if (!WaitFor(args.Milliseconds(), [] { return MessageBoxWindow() != nullptr; })) {
    throw Failure("no message box opened");
  }
  Print(MessageBoxJson(MessageBoxWindow()));
}

void MessageBoxStep(StepArguments&) {
  HWND box = MessageBoxWindow();
  Print(box != nullptr ? MessageBoxJson(box) : "null");
}

void AnswerStep(StepArguments& args) {
  const std::string& answer = args.Argument();
  const int id = answer == "yes" ? IDYES : answer == "no" ? IDNO : answer == "ok" ? IDOK : 0;
  if (id == 0) throw Failure("answer yes, no or ok, not " + answer);
  HWND box = MessageBoxWindow();
  if (box == nullptr) throw Failure("no message box to answer " + answer);
  HWND button = GetDlgItem(box, id);
  if (button == nullptr || !IsWindowVisible(button)) {
    throw Failure("the message box has no " + answer + " button: " + MessageBoxJson(box));
  }
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  if (!WaitFor(kDefaultWait, [box] { return !IsWindow(box); })) {
    throw Failure("the message box stayed open");
  }
  if (HWND main = FindWindowA("#32770", kMainCaption)) Settle(main);
}

void ClickStep(StepArguments& args) {
  HWND main = RequireMain();
  HWND button = Control(main, args.Number());
  // A sent message that does not wait: the handler may open a message box.
  SendNotifyMessageW(button, BM_CLICK, 0, 0);
  Settle(main);
}

void SelectStep(StepArguments& args) {
  HWND main = RequireMain();
  const int line = args.Number();
  HWND combo = Control(main, IDC_DRIVE_BOX);
  if (SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(line), 0) != line) {
    throw Failure("the drive box has no line " + std::to_string(line));
  }
  // CB_SETCURSEL notifies nobody: tell the window as the box would.
  SendNotifyMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_DRIVE_BOX, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
  Settle(main);
}

void SettleStep(StepArguments&) { Settle(RequireMain()); }

void CloseStep(StepArguments&) { PostMessageW(RequireMain(), WM_CLOSE, 0, 0); }

void WaitGoneStep(StepArguments& args) {
  if (!WaitFor(args.Milliseconds(), [] { return FindWindowA("#32770", kMainCaption) == nullptr; })) {
    throw Failure("the main window is still there");
  }
}

void RectStep(StepArguments&) { Print(RectJson(RequireMain())); }

void SysCommandStep(StepArguments& args) {
  // As a click on a system-menu entry sends it.
  PostMessageW(RequireMain(), WM_SYSCOMMAND, static_cast<WPARAM>(args.Number()), 0);
}

void WaitHelpStep(StepArguments& args) {
  const std::string& title = args.Argument();
  if (!WaitFor(args.Milliseconds(), [&title] { return HelpWindow(&title) != nullptr; })) {
    throw Failure("no help window titled " + title + " opened");
  }
  HWND help = HelpWindow(&title);
  Print("{\"title\":" + Json(WindowText(help)) + ",\"rect\":" + RectJson(help) + "}");
}

void HelpWindowStep(StepArguments&) {
  HWND help = HelpWindow(nullptr);
  Print(help != nullptr ? "{\"title\":" + Json(WindowText(help)) + "}" : "null");
}

void CloseHelpStep(StepArguments&) {
  HWND help = HelpWindow(nullptr);
  if (help == nullptr) throw Failure("no help window to close");
  PostMessageW(help, WM_CLOSE, 0, 0);
  if (!WaitFor(kDefaultWait, [help] { return !IsWindow(help); })) {
    throw Failure("the help window stayed open");
  }
}

void WaitAboutStep(StepArguments& args) {
  if (!WaitFor(args.Milliseconds(), [] { return AboutBox() != nullptr; })) {
    throw Failure("the about box did not open");
  }
}

std::string AboutJson(HWND about, HWND main) {
  HWND attribution = GetDlgItem(about, IDC_ABOUT_ATTRIBUTION);
  return std::string("{\"title\":") + Json(WindowText(GetDlgItem(about, IDC_ABOUT_TITLE))) +
         ",\"ownedByMain\":" + (GetWindow(about, GW_OWNER) == main ? "true" : "false") +
         ",\"mainEnabled\":" + (IsWindowEnabled(main) ? "true" : "false") +
         ",\"rect\":" + RectJson(about) + ",\"mainRect\":" + RectJson(main) +
         ",\"attribution\":" + Json(WindowText(attribution)) +
         ",\"attributionWidth\":" + std::to_string(TextWidthInAboutFont(WindowText(attribution))) +
         ",\"attributionRoom\":" + std::to_string(ClientWidth(attribution)) + "}";
}

// The about box: its texts, owner and place; then it is closed with OK.
void AboutStep(StepArguments&) {
  if (!WaitFor(kDefaultWait, [] { return AboutBox() != nullptr; })) {
    throw Failure("the about box did not open");
  }
  HWND about = AboutBox();
  HWND main = RequireMain();
  Print(AboutJson(about, main));
  PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(about, IDOK)));
  if (!WaitFor(kDefaultWait, [about] { return !IsWindow(about); })) {
    throw Failure("the about box stayed open");
  }
  Settle(main);
}

// The steps by name, as the usage above lists them.
const struct {
  const char* name;
  void (*run)(StepArguments& args);
} kSteps[] = {
    {"wait-window", WaitWindowStep},   {"state", StateStep},
    {"wait-msgbox", WaitMessageBoxStep}, {"msgbox", MessageBoxStep},
    {"answer", AnswerStep},            {"click", ClickStep},
    {"select", SelectStep},            {"settle", SettleStep},
    {"close", CloseStep},              {"wait-gone", WaitGoneStep},
    {"rect", RectStep},                {"syscommand", SysCommandStep},
    {"wait-help", WaitHelpStep},       {"help-window", HelpWindowStep},
    {"close-help", CloseHelpStep},     {"wait-about", WaitAboutStep},
    {"about", AboutStep},
};

void Run(StepArguments& args) {
  while (!args.Done()) {
    const std::string& step = args.NextStep();
    auto known = std::find_if(std::begin(kSteps), std::end(kSteps),
                              [&step](const auto& entry) { return step == entry.name; });
    if (known == std::end(kSteps)) throw Failure("unknown step " + step);
    known->run(args);
  }
}

}  // namespace

int main(int argc, char** argv) {
  StepArguments args(std::vector<std::string>(argv + 1, argv + argc));
  try {
    Run(args);
  } catch (const Failure& failure) {
    std::fprintf(stderr, "BitsetDriver: %s\n", failure.what());
    return 1;
  }
  return 0;
}
