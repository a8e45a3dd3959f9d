#include "tests/AllocationFaults.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
int g_allocationsToFailure = 0;  // 0: none fails
bool g_testCode = false;         // whose allocations these are
long g_programAllocations = 0;
long g_liveProgramAllocations = 0;

// Each block starts with a header that says whose it is.
struct alignas(std::max_align_t) Header {
  bool program;
};

void* Allocate(std::size_t size) {
  const bool program = !g_testCode;
  if (program) {
    if (g_allocationsToFailure > 0 && --g_allocationsToFailure == 0) throw std::bad_alloc();
    ++g_programAllocations;
  }
  auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + (size == 0 ? 1 : size)));
  if (header == nullptr) throw std::bad_alloc();
  header->program = program;
  if (program) ++g_liveProgramAllocations;
  return header + 1;
}

void* AllocateOrNull(std::size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void Free(void* memory) noexcept {
  if (memory == nullptr) return;
  Header* header = static_cast<Header*>(memory) - 1;
  if (header->program) --g_liveProgramAllocations;
  std::free(header);
}
}  // namespace

namespace test {
FailingAllocation::FailingAllocation(int nth) { g_allocationsToFailure = nth; }
FailingAllocation::~FailingAllocation() { g_allocationsToFailure = 0; }

TestCode::TestCode() : TestCode(true) {}
TestCode::TestCode(bool test) : saved_(g_testCode) { g_testCode = test; }
TestCode::~TestCode() { g_testCode = saved_; }

long ProgramAllocations() { return g_programAllocations; }
long LiveProgramAllocations() { return g_liveProgramAllocations; }
}  // namespace test

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void operator delete(void* memory) noexcept { Free(memory); }
void operator delete[](void* memory) noexcept { Free(memory); }
void operator delete(void* memory, std::size_t) noexcept { Free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { Free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { Free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { Free(memory); }
