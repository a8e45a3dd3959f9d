#include "tests/memory/MemoryCalls.h"

#include <algorithm>
#include <new>

#include "framework/FileException.h"

namespace memory {

std::optional<long long> MemoryCalls::Fault(const std::string& kind, long long failure) {
  calls_.push_back(kind);
  for (PlannedFault& fault : faults_) {
    if (fault.kind == kind) --fault.countdown;
  }
  auto due = std::find_if(faults_.begin(), faults_.end(),
                          [](const PlannedFault& fault) { return fault.countdown == 0; });
  if (due == faults_.end()) return std::nullopt;
  const PlannedFault fault = *due;  // the first planned of those due now; the others lapse
  faults_.erase(std::remove_if(faults_.begin(), faults_.end(),
                               [](const PlannedFault& planned) { return planned.countdown <= 0; }),
                faults_.end());
  switch (fault.mode) {
    case FaultMode::ThrowFileException: {
      auto* exception = new CFileException(0);
      thrownException_ = reinterpret_cast<std::uintptr_t>(exception);
      throw exception;
    }
    case FaultMode::ThrowBadAlloc:
      throw std::bad_alloc();
    case FaultMode::Answer:
      return fault.answer;
    case FaultMode::Fail:
      break;
  }
  return failure;
}

int MemoryCalls::TraceIndex(const std::string& prefix) const {
  for (std::size_t i = 0; i < trace_.size(); ++i) {
    if (trace_[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
  }
  return -1;
}

void* MemoryCalls::NewHandle() {
  void* handle = reinterpret_cast<void*>(nextHandle_);
  nextHandle_ += 4;
  return handle;
}

}  // namespace memory
