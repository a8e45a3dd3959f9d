// The command line of the Linux program, and its JSON lines.
#include <gtest/gtest.h>

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/JsonLine.h"

namespace {

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text + " ") {
    if (c != ' ') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

TEST(CliCommandLine, AcceptedCommandLines) {
  const struct {
    const char* arguments;
    const char* command;
    const char* device;
    int plusR, plusRw;
    bool yes, json;
    bool dryRun = false;
    int verbose = 0;
  } cases[] = {
      {"list", "list", "", kNotAsked, kNotAsked, false, false},
      {"list --json", "list", "", kNotAsked, kNotAsked, false, true},
      {"show /dev/sg1", "show", "/dev/sg1", kNotAsked, kNotAsked, false, false},
      {"set /dev/sg1 --plus-r dvd-rom", "set", "/dev/sg1", 1, kNotAsked, false, false},
      {"set /dev/sg1 --plus-r=DVD+R --yes", "set", "/dev/sg1", 0, kNotAsked, true, false},
      {"set --plus-rw dvd+rw -y /dev/sr0", "set", "/dev/sr0", kNotAsked, 0, true, false},
      {"set /dev/sg1 --plus-r dvd+r --plus-rw dvd-rom --json", "set", "/dev/sg1", 0, 1,
       false, true},
      {"--help", "help", "", kNotAsked, kNotAsked, false, false},
      {"help", "help", "", kNotAsked, kNotAsked, false, false},
      {"show /dev/sg1 -h", "help", "", kNotAsked, kNotAsked, false, false},
      {"--version", "version", "", kNotAsked, kNotAsked, false, false},
      {"-vv set -n /dev/sg1 --plus-r dvd-rom", "set", "/dev/sg1", 1, kNotAsked, false,
       false, true, 2},
      {"show -v --verbose -- -odd", "show", "-odd", kNotAsked, kNotAsked, false, false,
       false, 2},
  };
  for (const auto& c : cases) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(Words(c.arguments), line, error)) << c.arguments << ": " << error;
    EXPECT_EQ(line.command, c.command) << c.arguments;
    if (line.command == "show" || line.command == "set") {
      EXPECT_EQ(line.device, c.device) << c.arguments;
    }
    EXPECT_EQ(line.plusR, c.plusR) << c.arguments;
    EXPECT_EQ(line.plusRw, c.plusRw) << c.arguments;
    EXPECT_EQ(line.yes, c.yes) << c.arguments;
    EXPECT_EQ(line.json, c.json) << c.arguments;
    EXPECT_EQ(line.dryRun, c.dryRun) << c.arguments;
    EXPECT_EQ(line.verbose, c.verbose) << c.arguments;
  }
}

TEST(CliCommandLine, UsageErrorsSayWhatIsWrong) {
  const struct {
    const char* arguments;
    const char* error;
  } cases[] = {
      {"", "no command given"},
      {"frobnicate", "unknown command 'frobnicate'"},
      {"list /dev/sg1", "list takes no device"},
      {"show", "show takes one device, for example /dev/sg1"},
      {"show /dev/sg1 /dev/sg2", "show takes one device, for example /dev/sg1"},
      {"set /dev/sg1", "set needs --plus-r or --plus-rw (or both)"},
      {"set /dev/sg1 --yes", "set needs --plus-r or --plus-rw (or both)"},
      {"set /dev/sg1 --plus-r dvd+rw", "--plus-r takes dvd+r or dvd-rom, not 'dvd+rw'"},
      {"set /dev/sg1 --plus-rw dvd+r", "--plus-rw takes dvd+rw or dvd-rom, not 'dvd+r'"},
      {"set /dev/sg1 --plus-r", "--plus-r needs a value"},
      {"show /dev/sg1 --yes", "--plus-r, --plus-rw, --yes and --dry-run belong to set, not to show"},
      {"list --plus-r dvd-rom", "--plus-r, --plus-rw, --yes and --dry-run belong to set, not to list"},
      {"list --force", "unknown option --force"},
      {"list -- --json", "list takes no device"},
      {"show /dev/sg1 --dry-run", "--plus-r, --plus-rw, --yes and --dry-run belong to set, not to show"},
      {"show /dev/sg1 -vx", "unknown option -vx"},
      {"set /dev/sg1 --plus-r dvd-rom -nn", "unknown option -nn"},
  };
  for (const auto& c : cases) {
    CommandLine line;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(Words(c.arguments), line, error)) << c.arguments;
    EXPECT_EQ(error, c.error) << c.arguments;
  }
}

TEST(CliCommandLine, HelpNamesEveryExitCodeAndTheVersionIs102) {
  const std::string help = HelpText();
  for (const char* code : {"  0  success", "  2  usage error", "  3  no such device",
                           "  4  not a CD/DVD", "  5  firmware refused", "  6  the drive refused",
                           "  7  cancelled",
                           // the usage wrapped below its command, the help in one column
                           "[--plus-rw dvd+rw|dvd-rom]\n                  [--yes] [--dry-run] [--json]\n",
                           "\n  DEVICE         a device node such as /dev/sr0 or /dev/sg1; the commands "
                           "go\n                 through",
                           "\n  --dry-run, -n  set: read",
                           "\n  list    every CD/DVD and WORM device, with vendor, product, revision and\n"
                           "          type;"}) {
    EXPECT_NE(help.find(code), std::string::npos) << code;
  }
  EXPECT_EQ(VersionText(), "bitset 1.02");
}

TEST(CliConsole, OnlyYesIsConsent) {
  for (const char* yes : {"y", "Y", "yes", " YES \n", "Yes"}) EXPECT_TRUE(IsYes(yes)) << yes;
  for (const char* no : {"", "n", "no", "yess", "y e", "ja", "1"}) EXPECT_FALSE(IsYes(no)) << no;
}

TEST(JsonLine, FieldsInOrderAndEveryByteEscaped) {
  const std::string line = JsonLine()
                               .Text("device", "/dev/sg1")
                               .Number("settings", 255)
                               .Flag("ok", false)
                               .Texts("nodes", {"a", "b\"c"})
                               .Str();
  EXPECT_EQ(line, R"({"device":"/dev/sg1","settings":255,"ok":false,"nodes":["a","b\"c"]})");
  EXPECT_EQ(JsonString(std::string("a\\b\n\x01\xE9\x7F", 7)), R"("a\\b\u000a\u0001\u00e9\u007f")");
}

}  // namespace
