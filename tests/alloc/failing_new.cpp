#include "alloc/failing_new.h"

#include <cstdlib>
#include <new>

namespace zarvo::test {
namespace {

std::uint64_t failAt = 0;
std::uint64_t counted = 0;
FailingKind failing = FailingKind::Any;

bool ShouldFail(bool nothrow)
{
    if (failing == FailingKind::NothrowOnly && !nothrow) return false;
    ++counted;
    return failAt != 0 && counted == failAt;
}

void* Allocate(std::size_t size, bool nothrow)
{
    if (ShouldFail(nothrow)) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void FailAllocation(std::uint64_t n, FailingKind kind)
{
    failAt = n;
    counted = 0;
    failing = kind;
}

std::uint64_t AllocationCount()
{
    return counted;
}

}  // namespace zarvo::test

using zarvo::test::Allocate;

void* operator new(std::size_t size)
{
    if (void* p = Allocate(size, false)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    if (void* p = Allocate(size, false)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size, true);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size, true);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
