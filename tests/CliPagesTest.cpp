// The pages that describe the command line (manual page, completion,
// docs/cli.md, the Linux help page) name every command, option and exit
// code of the program's own table, and nothing else in their place.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "cli/CommandTable.h"
#include "cli/ExitCodes.h"

namespace {

std::string Page(const char* path) {
  std::ifstream file(std::string(BITSET_SOURCE_DIR) + "/" + path);
  std::stringstream text;
  text << file.rdbuf();
  std::string page = std::regex_replace(text.str(), std::regex(R"(\\-)"), "-");  // roff's hyphen
  EXPECT_FALSE(page.empty()) << path;
  return page;
}

std::vector<std::string> Matches(const std::string& text, const char* pattern) {
  std::vector<std::string> found;
  const std::regex expression(pattern);
  for (std::sregex_iterator it(text.begin(), text.end(), expression), end; it != end; ++it) {
    std::string groups;
    for (std::size_t i = 1; i < it->size(); ++i) groups += (*it)[i].str();
    found.push_back(groups);
  }
  return found;
}

// The options of the table, each by its long and its short name.
std::set<std::string> TableOptions() {
  std::set<std::string> known;
  for (const CliOption& option : CliOptions()) {
    known.insert(option.name);
    if (option.shortName != nullptr) known.insert(option.shortName);
  }
  return known;
}

// What a page may name: those, -vv for -v given twice, and the three that
// are no option of a command.
std::set<std::string> KnownOptions() {
  std::set<std::string> known = TableOptions();
  known.insert({"--help", "-h", "--version", "--"});
  for (const CliOption& option : CliOptions()) {
    if (option.repeats) known.insert(std::string(option.shortName) + &option.shortName[1]);
  }
  return known;
}

struct Described {
  const char* path;
  const char* command;  // how the page names a command: %s for its name
  const char* options;  // the part of the page where it names options
  const char* exits;    // each exit code with its meaning; nullptr for none
};

const Described kPages[] = {
    {"cli/bitset.1", "\n\\.BI? %s[\n ]", R"(([\s\S]*))", "\n\\.TP\n\\.B (\\d+)\n(.*)"},
    {"cli/bitset.bash-completion", "[\" ]%s[\" ]", R"re(options\+?="([^"]*)"|\n +(--[a-z|-]+)\))re", nullptr},
    {"docs/cli.md", "bitset %s", R"(`(-[^`]*|bitset [^`]*)`|\n {4}(bitset .*))", R"(\n\| (\d+) \| (.*) \|)"},
    {"help/linux.htm", "bitset %s", R"(<code>(-[^<]*|bitset [^<]*)</code>(?![\s\S]*command-line tool))", R"(<tr><td>(\d+)</td><td>(.*)</td></tr>)"},
};

std::string Named(const char* format, const char* name) {
  const std::string text = format;
  return text.substr(0, text.find("%s")) + name + text.substr(text.find("%s") + 2);
}

TEST(CliPages, NameEveryCommandAndOptionOfTheTableAndNoOther) {
  const std::set<std::string> known = KnownOptions();
  for (const Described& described : kPages) {
    const std::string page = Page(described.path);
    for (const CliCommandSpec& command : CliCommands()) {
      EXPECT_TRUE(std::regex_search(page, std::regex(Named(described.command, command.name))))
          << described.path << " does not name " << command.name;
    }
    for (const std::string& option : TableOptions()) {
      EXPECT_TRUE(std::regex_search(page, std::regex("[^\\w-]" + option + "[^\\w-]")))
          << described.path << " does not name " << option;
    }
    std::string named;
    for (const std::string& part : Matches(page, described.options)) named += " " + part + " ";
    for (const std::string& option : Matches(named, R"([\s\[|"(](--?[a-z][a-z-]*)(?=[\s\]|"),.=]))")) {
      EXPECT_EQ(known.count(option), 1u) << described.path << " names " << option;
    }
  }
  const std::string completion = Page("cli/bitset.bash-completion");
  std::string offered = Matches(completion, R"re(""\) _bitset_offer "([^"]*)")re").at(0);
  std::string names = "help";
  for (const CliCommandSpec& command : CliCommands()) names = command.name + (" " + names);
  std::sort(offered.begin(), offered.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(offered, names) << "the completion's commands";
}

TEST(CliPages, ListEveryExitCodeWithItsNumberAndMeaning) {
  for (const Described& described : kPages) {
    if (described.exits == nullptr) continue;
    const std::string page = Page(described.path);
    const std::regex entry(described.exits);
    std::vector<int> codes;
    for (std::sregex_iterator it(page.begin(), page.end(), entry), end; it != end; ++it) {
      const int code = std::stoi((*it)[1]);
      codes.push_back(code);
      const auto listed = std::find_if(std::begin(kExitCodes), std::end(kExitCodes),
                                       [code](const ExitCode& exit) { return exit.code == code; });
      ASSERT_NE(listed, std::end(kExitCodes)) << described.path << " lists exit code " << code;
      std::string meaning = (*it)[2];
      meaning[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(meaning[0])));
      EXPECT_EQ(meaning.compare(0, std::string(listed->meaning).size(), listed->meaning), 0)
          << described.path << ": " << code << " " << meaning;
    }
    std::vector<int> expected;
    for (const ExitCode& exit : kExitCodes) expected.push_back(exit.code);
    EXPECT_EQ(codes, expected) << described.path;
  }
}

}  // namespace
