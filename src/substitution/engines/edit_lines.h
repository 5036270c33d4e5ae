#pragma once
// How every engine goes through a block: it cuts the block into the lines its engine reads,
// and the pieces of a line longer than its capacity, and hands each that a token stands in to
// the engine's edit of a line. Most lines hold none, and only their places are looked at.
#include <cstddef>
#include <string>
#include <string_view>

#include "substitution/files/line_changes.h"
#include "substitution/scanning/byte_scan.h"
#include "substitution/scanning/token_trie.h"

namespace zarvo {

template <class Char>
class LineEditor {
public:
    LineEditor(std::size_t capacity, const TokenTrie& tokens)
        : capacity_(capacity), tokens_(tokens), rows_(RowWords(tokens.Rows()))
    {
        line_.reserve(capacity + 1);
    }

    // Edits the lines of the block from its start, into the changes, and answers how many of
    // its units it went through: all of them, or the lines and pieces before the changes were
    // full. A line longer than the capacity reads as pieces of `capacity`
    // characters while at least as many are left, then as the rest and its line end; a CR LF
    // pair is one character, an LF. Each line or piece a token stands in goes to
    // editLine(line, rows) as its characters before its line end, then an LF where it has one,
    // with the rows whose tokens its bytes hold (a CR LF's CR among them) where they were found
    // on the way, or null; it changes the line within the capacity and answers whether it did.
    template <class EditLine>
    std::size_t Edit(std::basic_string_view<Char> block, LineChanges<Char>& changes, EditLine editLine)
    {
        LineEndsAndTokens<Char> stops(tokens_, block, rows_);
        std::size_t at = 0;
        while (at < block.size()) {
            // Most lines are short and hold no token: passed over at their LF.
            const std::size_t stop = tokens_.AnyHoldsLineFeed() ? block.npos : stops.Next(at);
            // No LF stands before the place the search stopped at.
            const std::size_t lf = stop != block.npos && block[stop] == Char('\n') ? stop
                                                                                 : FindLineEnd(block, stop == block.npos ? at : stop);
            const bool ends = lf != block.npos;
            const std::size_t end = ends ? lf + 1 : block.size();
            std::size_t characters = ends ? lf : end;
            if (ends && lf > at && block[lf - 1] == Char('\r')) --characters;
            // A line of one piece holds a token exactly where the search stopped short of its end.
            const bool onePiece = end - at <= capacity_;
            if (onePiece && lf == stop && !tokens_.AnyHoldsLineFeed()) {
                at = end;
                continue;
            }
            for (; characters - at >= capacity_; at += capacity_) {
                if (changes.Full(capacity_ + 1)) return at;
                EditPiece(block, at, at + capacity_, at + capacity_, false, changes, editLine);
            }
            if (changes.Full(capacity_ + 1)) return at;
            if (at < end && onePiece && stop != block.npos) {
                // The rows of the tokens that stand in it are found on the way to its end.
                EditPiece(block, at, characters, end, ends, changes, editLine, &stops.RowsBefore(characters));
            } else if (at < end) {
                EditPiece(block, at, characters, end, ends, changes, editLine);
            }
            at = end;
        }
        return at;
    }

private:
    // The piece from `from` to `to`, its characters before `characters`, then its line end;
    // the rows of the tokens that stand in it where they are known.
    template <class EditLine>
    void EditPiece(std::basic_string_view<Char> block, std::size_t from, std::size_t characters, std::size_t to,
                   bool ends, LineChanges<Char>& changes, EditLine& editLine, const RowBits* rows = nullptr)
    {
        const std::basic_string_view<Char> text = block.substr(from, characters - from);
        if (rows == nullptr && !tokens_.AnyHoldsLineFeed() && !tokens_.HoldsToken(text)) return;
        line_.assign(text);
        if (ends) line_.push_back(Char('\n'));
        if (!editLine(line_, rows)) return;
        changes.text.append(line_);
        changes.lines.push_back({from, to, changes.text.size()});
    }

    std::size_t capacity_;
    const TokenTrie& tokens_;
    std::basic_string<Char> line_;
    RowBits rows_;
};

}  // namespace zarvo
