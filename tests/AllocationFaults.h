// Making the program's own allocations fail: the unit tests replace the
// global operator new, and a test can make the n-th allocation from now
// throw std::bad_alloc.
//
// An allocation belongs to the test while a TestCode guard lives (the
// in-memory platform doing its work, the test's own bookkeeping), and to
// the program otherwise; a ProgramCode guard hands control back to the
// program inside test code (a dialog handling a message the test sent).
// Only the program's allocations are counted and made to fail, and the
// program's allocations still alive can be counted.
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

// Marks the code run while it lives as the test's (or, for ProgramCode, as
// the program's); guards nest.
class TestCode {
 public:
  TestCode();
  ~TestCode();
  TestCode(const TestCode&) = delete;
  TestCode& operator=(const TestCode&) = delete;

 protected:
  explicit TestCode(bool test);

 private:
  bool saved_;
};

class ProgramCode : public TestCode {
 public:
  ProgramCode() : TestCode(false) {}
};

// Allocations the program made so far, and those of them not yet freed.
long ProgramAllocations();
long LiveProgramAllocations();

}  // namespace test
