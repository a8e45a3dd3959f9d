#include "platform/Platform.h"

#include <cstdlib>

namespace {
Platform* g_platform = nullptr;
}

Platform& GetPlatform() {
  if (g_platform == nullptr) std::abort();  // a backend installs it before anything runs
  return *g_platform;
}

void SetPlatform(Platform* platform) { g_platform = platform; }
