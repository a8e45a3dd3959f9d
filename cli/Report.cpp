#include "cli/Report.h"

#include <cstdio>

std::string Printable(const std::string& text) {
  std::string printable;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte <= 0x7E) {
      printable += c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned{byte});
    printable += escaped;
  }
  return printable;
}

void Report::Message(const std::string& text) { console_.Message("bitset: " + Printable(text)); }

void Report::Result(const JsonLine& json, const std::vector<std::string>& lines) {
  if (json_) {
    console_.Result(json.Str());
    return;
  }
  for (const std::string& line : lines) console_.Result(Printable(line));
}
