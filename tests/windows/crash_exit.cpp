// Windows only: a test program that crashes ends at once with a failure. Under Wine an unhandled
// fault starts the debugger, which waits for ever, and the run that killed it would count the
// program as passed.
#include <windows.h>

#include <cstdio>

namespace zarvo::test {
namespace {

LONG WINAPI ExitOnCrash(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    std::fprintf(stderr, "crashed: exception %08lX at address %p\n", record.ExceptionCode, record.ExceptionAddress);
    std::fflush(stderr);
    ExitProcess(3);
}

// Set before the tests run, for every thread of the program.
const LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = SetUnhandledExceptionFilter(&ExitOnCrash);

}  // namespace
}  // namespace zarvo::test
