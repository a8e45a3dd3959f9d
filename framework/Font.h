// A font object: owns its font handle while one is attached.
#pragma once

#include <string>

#include "platform/WinTypes.h"

class CFont {
 public:
  CFont() = default;
  ~CFont();
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  bool CreateFont(int height, const std::string& faceName);
  FontHandle GetSafeHandle() const { return font_; }
  // Gives up the handle without deleting the font.
  FontHandle Detach();

 private:
  FontHandle font_ = nullptr;
};
