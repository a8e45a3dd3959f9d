// The results of the program as lines: for people, or as JSON lines.
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/JsonLine.h"

class Report {
 public:
  Report(Console& console, bool json) : console_(console), json_(json) {}

  // True when results go out as JSON lines.
  bool Json() const { return json_; }
  // One result: the object as one JSON line, or else its plain lines.
  void Result(const JsonLine& json, const std::vector<std::string>& lines);
  // A message, on standard error, after the program's name.
  void Message(const std::string& text);

 private:
  Console& console_;
  bool json_;
};

// The text with every byte outside 20h-7Eh written as \xNN: what a drive
// supplies never drives the terminal, in no encoding (9Bh is CSI on 8-bit
// terminals, C2h 9Bh in UTF-8, E2h 80h AEh turns the text right to left).
std::string Printable(const std::string& text);
