// What every part of the in-memory platform shares: the record of its
// calls, the faults planned for them, the last error and the handles it
// gives out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace memory {

// Thrown by ExitProcess: the test's way of seeing the process end.
struct ProcessExit {
  unsigned code;
};

// Thrown by a call that would never return on Windows (an endless wait for
// an event nothing will signal): the test fails at once instead of hanging.
struct WouldHang {
  std::string call;
};

// What a planned fault makes its call do.
enum class FaultMode {
  Fail,                // the call's own failure answer (0, FALSE, CB_ERR, WAIT_FAILED...)
  Answer,              // the answer given with the fault, the call doing nothing
  ThrowFileException,  // the framework's file exception
  ThrowBadAlloc,       // std::bad_alloc, as when memory runs out
};

class MemoryCalls {
 public:
  MemoryCalls() = default;
  MemoryCalls(const MemoryCalls&) = delete;
  MemoryCalls& operator=(const MemoryCalls&) = delete;

  // Makes the `nth` call of a kind (counted from now) fault once. A kind is
  // the platform call's name ("MessageBox", "CreateFile", "WaitForSingleObject")
  // or, for a message to a control, the message's name ("CB_ADDSTRING").
  // A faulting call does nothing else. Several faults may be planned at once.
  void InjectFault(const std::string& kind, int nth, FaultMode mode = FaultMode::Fail,
                   long long answer = 0) {
    faults_.push_back(PlannedFault{kind, nth, mode, answer});
  }
  // Makes the named call throw the framework's file exception once.
  void ThrowFileExceptionAt(const std::string& call, int nth = 1) {
    InjectFault(call, nth, FaultMode::ThrowFileException);
  }
  // The kind of every call that could have been made to fault, in order.
  const std::vector<std::string>& Calls() const { return calls_; }
  // The address of the last file exception a fault threw.
  std::uintptr_t ThrownExceptionAddress() const { return thrownException_; }

  // Every platform call of note, in order ("SetText 1009", "GetVersion"...).
  const std::vector<std::string>& Trace() const { return trace_; }
  // Index of the first trace entry that starts with `prefix`; -1 when none.
  int TraceIndex(const std::string& prefix) const;

 protected:
  // Counts a call of `kind`; when a fault is due, throws or gives the
  // answer the call must return (`failure` in the Fail mode).
  std::optional<long long> Fault(const std::string& kind, long long failure);
  void Record(const std::string& entry) { trace_.push_back(entry); }
  std::uint32_t LastError() const { return lastError_; }
  void SetLastError(std::uint32_t error) { lastError_ = error; }
  // A handle no other device or event of the platform has.
  void* NewHandle();

 private:
  struct PlannedFault {
    std::string kind;
    int countdown;
    FaultMode mode;
    long long answer;
  };
  std::vector<PlannedFault> faults_;
  std::vector<std::string> calls_;
  std::uintptr_t thrownException_ = 0;
  std::vector<std::string> trace_;
  std::uint32_t lastError_ = 0;
  std::uintptr_t nextHandle_ = 0x100;
};

}  // namespace memory
