#pragma once
// This test program replaces the global operator new so that one allocation can be made
// to fail: the throwing forms then throw std::bad_alloc, the nothrow forms give null.
#include <cstdint>

namespace zarvo::test {

enum class FailingKind { Any, NothrowOnly };

// Counts the allocations of that kind from now on and fails number n (0: none).
void FailAllocation(std::uint64_t n, FailingKind kind);
std::uint64_t AllocationCount();

}  // namespace zarvo::test
