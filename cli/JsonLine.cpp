#include "cli/JsonLine.h"

#include <cstdio>

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", unsigned{byte});
      json += escape;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

JsonLine& JsonLine::Field(const char* key, const std::string& json) {
  if (!fields_.empty()) fields_ += ",";
  fields_ += JsonString(key) + ":" + json;
  return *this;
}

JsonLine& JsonLine::Text(const char* key, const std::string& value) {
  return Field(key, JsonString(value));
}

JsonLine& JsonLine::Number(const char* key, long value) { return Field(key, std::to_string(value)); }

JsonLine& JsonLine::Flag(const char* key, bool value) { return Field(key, value ? "true" : "false"); }

JsonLine& JsonLine::Texts(const char* key, const std::vector<std::string>& values) {
  std::string list;
  for (const std::string& value : values) list += (list.empty() ? "" : ",") + JsonString(value);
  return Field(key, "[" + list + "]");
}

JsonLine& JsonLine::Raw(const char* key, const std::string& json) { return Field(key, json); }
