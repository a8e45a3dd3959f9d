// The user's side of the command-line program in a test: what it printed,
// and scripted answers on a terminal, or no terminal at all.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "cli/Console.h"

namespace test {

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

}  // namespace test
