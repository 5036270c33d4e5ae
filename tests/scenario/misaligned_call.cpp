// Windows only: the call with the stack off its 16-byte alignment, which no C++ code can ask
// gcc for, in a few lines of i386 assembly.
#include "scenario/misaligned_call.h"

#include <stdexcept>

// unsigned zarvo_call_off_alignment(action, session, offset), cdecl: aligns the stack to 16
// bytes, lowers it by `offset`, and pushes the session so that the stack pointer at the call
// is `offset` below a boundary. The action is stdcall and takes its argument off the stack;
// the frame pointer puts the stack back either way.
asm(R"(
    .text
    .globl zarvo_call_off_alignment
zarvo_call_off_alignment:
    pushl %ebp
    movl %esp, %ebp
    andl $-16, %esp
    subl 16(%ebp), %esp
    subl $12, %esp
    pushl 12(%ebp)
    call *8(%ebp)
    movl %ebp, %esp
    popl %ebp
    ret
)");

extern "C" UINT __cdecl CallOffAlignment(zarvo::test::ExportedAction action, MSIHANDLE session,
                                         unsigned offset) asm("zarvo_call_off_alignment");

namespace zarvo::test {

UINT CallWithStackOffset(ExportedAction action, MSIHANDLE session, unsigned offset)
{
    if (offset >= 16 || offset % 4 != 0) throw std::invalid_argument("a stack offset is 0, 4, 8 or 12");
    return CallOffAlignment(action, session, offset);
}

}  // namespace zarvo::test
