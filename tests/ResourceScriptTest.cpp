// The resource script and the dialog templates the in-memory platform
// uses must describe the same dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "BitsetVersion.h"
#include "platform/WinTypes.h"
#include "tests/memory/MemoryPlatform.h"
#include "tests/memory/DialogTemplates.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::map<std::string, long> ResourceIds() {
  std::map<std::string, long> ids{{"IDOK", Id::Ok}, {"-1", -1}};
  const std::regex define(R"(#define\s+(\w+)\s+(\d+))");
  const std::string header = ReadFile(std::string(BITSET_SOURCE_DIR) + "/res/resource.h");
  for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it) {
    ids[(*it)[1]] = std::stol((*it)[2]);
  }
  return ids;
}

std::uint32_t StyleValue(const std::string& expression) {
  static const std::map<std::string, std::uint32_t> kStyles = {
      {"WS_POPUP", Ws::Popup},          {"WS_VISIBLE", Ws::Visible},
      {"WS_CAPTION", Ws::Caption},      {"WS_SYSMENU", Ws::SysMenu},
      {"WS_GROUP", Ws::Group},          {"WS_TABSTOP", Ws::TabStop},
      {"WS_DISABLED", Ws::Disabled},    {"WS_BORDER", Ws::Border},
      {"WS_VSCROLL", Ws::VScroll},      {"DS_MODALFRAME", Style::DsModalFrame},
      {"DS_SETFONT", Style::DsSetFont}, {"BS_PUSHBUTTON", Style::BsPushButton},
      {"BS_DEFPUSHBUTTON", Style::BsDefPushButton},
      {"BS_GROUPBOX", Style::BsGroupBox}, {"BS_AUTORADIOBUTTON", Style::BsAutoRadioButton},
      {"CBS_DROPDOWNLIST", Style::CbsDropDownList}, {"SS_LEFT", Style::SsLeft},
      {"SS_ICON", Style::SsIcon},       {"SS_NOPREFIX", Style::SsNoPrefix},
      {"ES_CENTER", Style::EsCenter},   {"ES_READONLY", Style::EsReadOnly},
      {"WS_EX_APPWINDOW", Style::WsExAppWindow},
  };
  std::uint32_t value = 0;
  std::stringstream names(expression);
  std::string name;
  while (std::getline(names, name, '|')) {
    name = std::regex_replace(name, std::regex(R"(^\s+|\s+$)"), "");
    const auto found = kStyles.find(name);
    EXPECT_NE(found, kStyles.end()) << "unknown style " << name;
    if (found != kStyles.end()) value |= found->second;
  }
  return value;
}

// The body of one dialog of the script, from its header line to END.
std::string DialogBlock(const std::string& script, const std::string& name) {
  const std::size_t start = script.find(name + " DIALOG");
  if (start == std::string::npos) return std::string();
  return script.substr(start, script.find("\nEND", start) - start);
}

void ExpectScriptMatches(const DialogTemplate& dialog, const std::string& name) {
  const std::string script = ReadFile(std::string(BITSET_SOURCE_DIR) + "/res/Bitset.rc");
  const std::string block = DialogBlock(script, name);
  ASSERT_FALSE(block.empty()) << name;
  const std::map<std::string, long> ids = ResourceIds();

  std::smatch match;
  ASSERT_TRUE(std::regex_search(block, match, std::regex(R"(DIALOG(?:EX)?\s+0,\s*0,\s*(\d+),\s*(\d+))")));
  EXPECT_EQ(std::stoi(match[1]), dialog.cx);
  EXPECT_EQ(std::stoi(match[2]), dialog.cy);
  ASSERT_TRUE(std::regex_search(block, match, std::regex(R"(\nSTYLE ([^\n]+))")));
  EXPECT_EQ(StyleValue(match[1]), dialog.style);
  ASSERT_TRUE(std::regex_search(block, match, std::regex(R"(\nCAPTION "([^"]*)\")")));
  EXPECT_EQ(match[1], dialog.caption);
  if (std::regex_search(block, match, std::regex(R"(\nEXSTYLE ([^\n]+))"))) {
    EXPECT_EQ(StyleValue(match[1]), dialog.exStyle);
  } else {
    EXPECT_EQ(dialog.exStyle, 0u);
  }

  const std::regex control(
      R"re(CONTROL\s+("[^"]*"|\w+),\s*([\w-]+),\s*"(\w+)",\s*([^,]+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+))re");
  std::size_t index = 0;
  for (std::sregex_iterator it(block.begin(), block.end(), control), end; it != end; ++it, ++index) {
    ASSERT_LT(index, dialog.controls.size()) << "the script has more controls";
    const ControlTemplate& expected = dialog.controls[index];
    const std::smatch& c = *it;
    std::string text = c[1];
    text = text[0] == '"' ? text.substr(1, text.size() - 2) : "#" + std::to_string(ids.at(text));
    EXPECT_EQ(text, expected.text) << "control " << index;
    EXPECT_EQ(ids.at(c[2]), expected.id) << "control " << index;
    EXPECT_EQ(c[3], expected.windowClass) << "control " << index;
    EXPECT_EQ(StyleValue(c[4]), expected.style) << "control " << index;
    EXPECT_EQ(std::stoi(c[5]), expected.x) << "control " << index;
    EXPECT_EQ(std::stoi(c[6]), expected.y) << "control " << index;
    EXPECT_EQ(std::stoi(c[7]), expected.cx) << "control " << index;
    EXPECT_EQ(std::stoi(c[8]), expected.cy) << "control " << index;
  }
  EXPECT_EQ(index, dialog.controls.size());
}

// The in-memory platform's string table is the script's.
TEST(ResourceScript, StringTableMatchesTheInMemoryStrings) {
  const std::string script = ReadFile(std::string(BITSET_SOURCE_DIR) + "/res/Bitset.rc");
  const std::size_t start = script.find("STRINGTABLE");
  ASSERT_NE(start, std::string::npos);
  const std::string block = script.substr(start, script.find("\nEND", start) - start);
  const std::map<std::string, long> ids = ResourceIds();
  memory::MemoryPlatform platform;
  int strings = 0;
  const std::regex entry(R"re((\w+)\s+"([^"]*)")re");
  for (std::sregex_iterator it(block.begin(), block.end(), entry), end; it != end; ++it, ++strings) {
    EXPECT_EQ(platform.LoadString(static_cast<int>(ids.at((*it)[1]))), (*it)[2]);
  }
  EXPECT_EQ(strings, 1);
  EXPECT_EQ(platform.LoadString(57344), "");  // no application title: the exe's name is used
}

TEST(ResourceScript, MainDialogMatchesItsTemplate) {
  const DialogTemplate* dialog = FindDialogTemplate(102);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->controls.size(), 18u);
  ExpectScriptMatches(*dialog, "IDD_BITSET_DIALOG");
}

TEST(ResourceScript, AboutBoxMatchesItsTemplate) {
  const DialogTemplate* dialog = FindDialogTemplate(100);
  ASSERT_NE(dialog, nullptr);
  ExpectScriptMatches(*dialog, "IDD_ABOUTBOX");
}

// Version 1.02 as the version resource writes its four numbers: "0, 1, 0, 2"
// in its texts, 0,1,0,2 in its fixed part.
std::string FourNumbers(std::string version, const std::string& separator = ", ") {
  version.erase(std::remove(version.begin(), version.end(), '.'), version.end());
  version.insert(0, 4 - std::min<std::size_t>(version.size(), 4), '0');
  std::string numbers;
  for (char digit : version) numbers += (numbers.empty() ? "" : separator) + std::string(1, digit);
  return numbers;
}

// Every text that spells the version out spells project()'s.
TEST(Version, EveryTextThatSpellsItOutIsTheProjects) {
  const struct {
    const char* file;
    const char* pattern;  // the version is its first group
    std::string expected;
  } places[] = {
      {"res/Bitset.rc", R"re(CAPTION "Sorvel ZezIzurora Utility V([0-9.]+)")re", BITSET_VERSION},
      {"res/Bitset.rc", R"re(VALUE "PrivateBuild", "V([0-9.]+)")re", BITSET_VERSION},
      {"res/Bitset.rc", R"re(VALUE "FileVersion", "([0-9, ]+)")re", FourNumbers(BITSET_VERSION)},
      {"res/Bitset.rc", R"re(VALUE "ProductVersion", "([0-9, ]+)")re", FourNumbers(BITSET_VERSION)},
      {"res/Bitset.rc", R"re(FILEVERSION ([0-9,]+))re", FourNumbers(BITSET_VERSION, ",")},
      {"cli/bitset.1", R"re(\.TH BITSET 1 "[^"]*" "bitset ([0-9.]+)")re", BITSET_VERSION},
      {"packaging/changelog", R"re(^bitset \(([0-9.]+)-)re", BITSET_VERSION},
      {"release/README.txt", R"re(^Bitset ([0-9.]+) for Windows)re", BITSET_VERSION},
  };
  for (const auto& place : places) {
    const std::string text = ReadFile(std::string(BITSET_SOURCE_DIR) + "/" + place.file);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(text, match, std::regex(place.pattern)))
        << place.file << ": " << place.pattern;
    EXPECT_EQ(match[1], place.expected) << place.file << ": " << place.pattern;
  }
}

}  // namespace
