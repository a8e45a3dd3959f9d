// Making the program's own allocations fail: the unit tests replace the
// global operator new, and a test can make the n-th allocation from now
// throw std::bad_alloc.
#pragma once

namespace test {

// While it lives, the `nth` allocation from now fails (once).
class FailingAllocation {
 public:
  explicit FailingAllocation(int nth);
  ~FailingAllocation();
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;
};

}  // namespace test
