#include "framework/Controls.h"

#include <vector>

std::string CComboBox::GetLBText(int index) const {
  const LResult length = SendMessage(Cb::GetLbTextLen, static_cast<WParam>(index));
  if (length < 0) return std::string();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  SendMessage(Cb::GetLbText, static_cast<WParam>(index), reinterpret_cast<LParam>(buffer.data()));
  return std::string(buffer.data());
}
