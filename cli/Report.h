// The results of the program as lines: for people, or as JSON lines.
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/NodeSession.h"

class Report {
 public:
  Report(Console& console, bool json) : console_(console), json_(json) {}

  // A CD/DVD or WORM device that answered the INQUIRY; `others` are its
  // other nodes.
  void Device(const NodeSession& session, const std::vector<std::string>& others);
  // A node that could not be opened or questioned.
  void Unusable(const std::string& node, const std::string& why);
  // The drive's two book types and its settings byte.
  void Settings(const NodeSession& session, int settings);
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
