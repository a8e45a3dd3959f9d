// A dialog's message map: a table of (message, notification code, control
// id, handler). The dialog dispatches each message to the first entry that
// matches; WM_COMMAND entries match on the control id and the notification.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <variant>
#include <vector>

#include "platform/WinTypes.h"

class CDialog;

class MessageMapBase {
 public:
  virtual ~MessageMapBase() = default;
  // Calls the matching handler; false when no entry matches.
  virtual bool Dispatch(CDialog& target, std::uint32_t message, WParam wParam, LParam lParam,
                        LResult& result) const = 0;
};

template <class T>
class MessageMap final : public MessageMapBase {
 public:
  using VoidHandler = void (T::*)();
  using SysCommandHandler = void (T::*)(std::uint32_t id, LParam lParam);
  using ResultHandler = LResult (T::*)();

  struct Entry {
    std::uint32_t message;
    std::uint32_t code;
    int id;
    std::variant<VoidHandler, SysCommandHandler, ResultHandler> handler;
  };

  // WM_COMMAND with notification `code` from control `id`.
  static Entry Command(std::uint32_t code, int id, VoidHandler handler) {
    return Entry{Msg::Command, code, id, handler};
  }
  static Entry Message(std::uint32_t message, VoidHandler handler) {
    return Entry{message, 0, 0, handler};
  }
  static Entry SysCommand(SysCommandHandler handler) {
    return Entry{Msg::SysCommand, 0, 0, handler};
  }
  static Entry Result(std::uint32_t message, ResultHandler handler) {
    return Entry{message, 0, 0, handler};
  }

  MessageMap(std::initializer_list<Entry> entries) : entries_(entries) {}

  bool Dispatch(CDialog& target, std::uint32_t message, WParam wParam, LParam lParam,
                LResult& result) const override {
    for (const Entry& entry : entries_) {
      if (!Matches(entry, message, wParam)) continue;
      T& self = static_cast<T&>(target);
      result = 0;
      if (auto* voidHandler = std::get_if<VoidHandler>(&entry.handler)) {
        (self.**voidHandler)();
      } else if (auto* sysHandler = std::get_if<SysCommandHandler>(&entry.handler)) {
        (self.**sysHandler)(static_cast<std::uint32_t>(wParam), lParam);
      } else {
        result = (self.*std::get<ResultHandler>(entry.handler))();
      }
      return true;
    }
    return false;
  }

 private:
  static bool Matches(const Entry& entry, std::uint32_t message, WParam wParam) {
    if (entry.message != message) return false;
    if (message != Msg::Command) return true;
    const auto id = static_cast<int>(wParam & 0xFFFF);
    const auto code = static_cast<std::uint32_t>((wParam >> 16) & 0xFFFF);
    return entry.id == id && entry.code == code;
  }

  std::vector<Entry> entries_;
};

// WM_COMMAND's wParam: control id in the low word, notification code above.
constexpr WParam MakeCommandWParam(int id, std::uint32_t code) {
  return (static_cast<WParam>(code & 0xFFFF) << 16) | static_cast<WParam>(id & 0xFFFF);
}
