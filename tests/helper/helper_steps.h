#pragma once
// The helper program that scenarios start, directly or through the command interpreter.
// Its command line is the program's own name, then steps done in order:
//   sleep MS           waits MS milliseconds
//   write PATH TEXT    writes TEXT (ASCII, no line end) to the file PATH, replacing it
//   exit CODE          ends at once with that exit code
//   window TITLE...    puts up a top-level window titled with the rest of the line (which may
//                      be empty) and runs until the window is closed
// Words are separated by single blanks, so paths and texts hold none. The real helper
// does the steps on Windows; the simulated machine models them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::test {

struct HelperStep {
    enum class Kind { Sleep, Write, Exit, Window };
    Kind kind = Kind::Exit;
    std::uint32_t number = 0;  // milliseconds or exit code
    std::u16string path;
    std::u16string text;  // the text written, or the window's title
};

// The steps of a command line whose first token (quoted or not) names the helper. A word
// that is no step, or a step without its arguments, ends the list.
std::vector<HelperStep> ParseHelperSteps(std::u16string_view commandLine);

}  // namespace zarvo::test
