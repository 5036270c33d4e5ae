#pragma once
// What an engine did to a block of lines, as plain values the writer applies: the lines it
// changed, each with the text that takes its place.
#include <cstddef>
#include <string>
#include <vector>

namespace zarvo {

// A changed line, or piece of a line: its units in the block, from `from` to `to` (its LF or
// CR LF among them where it ends the line), give way to the text's units from the end of the
// change before to `textEnd`: the line's characters as changed, an LF for its line end.
struct LineChange {
    std::size_t from;
    std::size_t to;
    std::size_t textEnd;
};

// The most changes, and units of changed text, a block gathers before the writer takes them:
// a block of short lines that each grow to a line's capacity would otherwise need thousands of
// times its size. Made room for once, so that no line costs an allocation.
inline constexpr std::size_t kMostChangedLines = 1 << 14;
inline constexpr std::size_t kMostChangedText = 1 << 20;

template <class Char>
struct LineChanges {
    std::vector<LineChange> lines;
    std::basic_string<Char> text;

    // Empties them, making their room the first time.
    void Clear()
    {
        lines.clear();
        text.clear();
        lines.reserve(kMostChangedLines);
        text.reserve(kMostChangedText);
    }
    // Whether another line of at most `size` characters may join them.
    bool Full(std::size_t size) const
    {
        return lines.size() == kMostChangedLines || text.size() + size > kMostChangedText;
    }
};

}  // namespace zarvo
