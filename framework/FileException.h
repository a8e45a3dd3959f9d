// The framework's file exception. Like the rest of the framework's
// exceptions it is thrown and caught as a pointer; the catcher deletes it.
#pragma once

class CFileException {
 public:
  explicit CFileException(int cause = 0) : cause_(cause) {}
  int Cause() const { return cause_; }
  void Delete() { delete this; }

 private:
  int cause_;
};

// The number that a message shows for a caught exception pointer: the
// pointer's value as a signed integer, as "%d" of the pointer would print it.
inline int ExceptionNumber(const CFileException* exception) {
  return static_cast<int>(reinterpret_cast<long long>(exception));
}
