// What the tests of the command-line program share: the user's side, and a
// system without device nodes.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/DeviceNodes.h"

namespace test {

// What the program printed, and scripted answers on a terminal, or no
// terminal at all.
class ScriptedConsole : public Console {
 public:
  void Result(const std::string& line) override { results.push_back(line); }
  void Message(const std::string& line) override { messages.push_back(line); }
  bool IsInteractive() override { return interactive; }
  std::string Ask(const std::string& question) override {
    questions.push_back(question);
    if (answers.empty()) return std::string();
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  // All messages as one text, for looking for a phrase.
  std::string AllMessages() const {
    std::string all;
    for (const std::string& message : messages) all += message + "\n";
    return all;
  }

  bool interactive = false;
  std::deque<std::string> answers;
  std::vector<std::string> results;
  std::vector<std::string> messages;
  std::vector<std::string> questions;
};

// No /dev and no /sys: a device is only the node named on the command line.
inline SystemPaths NoDeviceTree() {
  SystemPaths paths;
  paths.dev = "/nonexistent/dev";
  paths.sys = "/nonexistent/sys";
  return paths;
}

}  // namespace test
