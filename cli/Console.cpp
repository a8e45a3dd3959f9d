#include "cli/Console.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <iostream>

void StandardConsole::Result(const std::string& line) {
  errno = 0;
  std::cout << line << std::endl;
  if (!std::cout && writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
}

void StandardConsole::Message(const std::string& line) { std::cerr << line << std::endl; }

bool StandardConsole::IsInteractive() { return ::isatty(STDIN_FILENO) == 1; }

std::string StandardConsole::Ask(const std::string& question) {
  std::cerr << question << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return std::string();
  return answer;
}

bool IsYes(const std::string& answer) {
  std::string word;
  for (char c : answer) {
    if (!std::isspace(static_cast<unsigned char>(c))) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return word == "y" || word == "yes";
}
