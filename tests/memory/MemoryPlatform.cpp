#include "tests/memory/MemoryPlatform.h"

#include <algorithm>

#include "tests/memory/MemoryInternal.h"

namespace memory {

namespace {

MemoryPlatform* g_current = nullptr;

// Windows-1252 upper case: ASCII, and the accented Latin letters.
char UpperCase1252(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
  if (byte == 0x9A || byte == 0x9C || byte == 0x9E) return static_cast<char>(byte - 0x10);
  if (byte == 0xFF) return static_cast<char>(0x9F);
  return c;
}

}  // namespace

MemoryPlatform::MemoryPlatform() {
  previous_ = g_current;
  g_current = this;
  SetPlatform(this);
}

MemoryPlatform::~MemoryPlatform() {
  g_current = previous_;
  SetPlatform(previous_);
}

void MemoryPlatform::SetVersion(std::uint32_t platformId, std::uint32_t major,
                                std::uint32_t minor) {
  version_ = OsVersionInfo{major, minor, 0, platformId};
  versionFails_ = false;
}

void MemoryPlatform::ExitProcess(unsigned exitCode) {
  Record("ExitProcess " + std::to_string(exitCode));
  throw ProcessExit{exitCode};
}

bool MemoryPlatform::GetVersion(OsVersionInfo& info) {
  if (auto answer = Fault("GetVersion", 0)) return AnswerAs<bool>(*answer);
  Record("GetVersion");
  if (versionFails_) return false;
  info = version_;
  return true;
}

void MemoryPlatform::UpperCaseAnsi(std::string& text) {
  std::transform(text.begin(), text.end(), text.begin(), UpperCase1252);
}

bool MemoryPlatform::CloseHandle(void* handle) {
  if (auto answer = Fault("CloseHandle", 0)) return AnswerAs<bool>(*answer);
  return CloseEvent(handle) || CloseDevice(handle);
}

}  // namespace memory
