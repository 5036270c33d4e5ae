#pragma once
// Windows only: calls an action as a caller that owes it no more than 32-bit Windows does.
// A 32-bit caller need only keep the stack aligned to 4 bytes, and Windows' own installer,
// built by another compiler, calls custom actions so; gcc's code takes 16 bytes for granted.
// Wine's installer happens to keep 16, so the real machine calls through here to see what
// Windows' would do.
#include <windows.h>

#include <msi.h>

namespace zarvo::test {

using ExportedAction = UINT(WINAPI*)(MSIHANDLE);

// Calls the action with the session, the stack pointer at the call `offset` bytes (0, 4, 8
// or 12) below a 16-byte boundary; 0 is the alignment gcc's code takes for granted.
UINT CallWithStackOffset(ExportedAction action, MSIHANDLE session, unsigned offset);

}  // namespace zarvo::test
