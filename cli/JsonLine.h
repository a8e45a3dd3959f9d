// One JSON object on one line, built field by field in order.
#pragma once

#include <string>
#include <vector>

class JsonLine {
 public:
  JsonLine& Text(const char* key, const std::string& value);
  JsonLine& Number(const char* key, long value);
  JsonLine& Flag(const char* key, bool value);
  JsonLine& Texts(const char* key, const std::vector<std::string>& values);
  // A field whose value is already JSON, such as another object.
  JsonLine& Raw(const char* key, const std::string& json);
  std::string Str() const { return "{" + fields_ + "}"; }

 private:
  JsonLine& Field(const char* key, const std::string& json);
  std::string fields_;
};

// A JSON string literal. Bytes outside ASCII stand for themselves as Latin-1
// characters, so that any text read from a drive gives valid JSON.
std::string JsonString(const std::string& text);
