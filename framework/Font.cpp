#include "framework/Font.h"

#include "platform/Platform.h"

CFont::~CFont() {
  if (font_ != nullptr) GetPlatform().DeleteFont(font_);
}

bool CFont::CreateFont(int height, const std::string& faceName) {
  if (font_ != nullptr) GetPlatform().DeleteFont(font_);
  font_ = GetPlatform().CreateFont(height, faceName);
  return font_ != nullptr;
}

FontHandle CFont::Detach() {
  FontHandle font = font_;
  font_ = nullptr;
  return font;
}
