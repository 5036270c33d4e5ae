#pragma once
// How every engine goes through a block: it cuts the block into the lines its engine reads,
// and the pieces of a line longer than its capacity, and hands each that a token stands in to
// the engine's edit of a line. Most lines hold none: only the places of tokens are looked at,
// and the lines between them are passed over whole.
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
        TokenPlaces<Char> tokens(tokens_, block, rows_);
        std::size_t at = 0;
        while (at < block.size()) {
            // Lines that hold no token, most of them, are passed over together, up to the line of
            // the next token. A token that holds an LF may stand across a line's end, which a
            // line's text does not show: then every line is looked at.
            std::size_t stop = block.npos;
            if (!tokens_.AnyHoldsLineFeed()) {
                stop = tokens.Next(at);
                if (stop == block.npos) return block.size();
                at = LineStart(block, at, stop);
            }
            const std::size_t lf = FindLineEnd(block, stop == block.npos ? at : stop);
            const bool ends = lf != block.npos;
            const std::size_t end = ends ? lf + 1 : block.size();
            std::size_t characters = ends ? lf : end;
            if (ends && lf > at && block[lf - 1] == Char('\r')) --characters;
            // A line of one piece: the rows of the tokens that stand in it are found on the way to
            // its end.
            const bool onePiece = end - at <= capacity_ && stop != block.npos;
            for (; characters - at >= capacity_; at += capacity_) {
                if (changes.Full(capacity_ + 1)) return at;
                EditPiece(block, at, at + capacity_, at + capacity_, false, changes, editLine);
            }
            if (changes.Full(capacity_ + 1)) return at;
            if (at < end)
                EditPiece(block, at, characters, end, ends, changes, editLine,
                          onePiece ? &tokens.RowsBefore(characters) : nullptr);
            at = end;
        }
        return at;
    }

private:
    // Where the line that holds the place starts: after the last LF before it, and not before
    // `from`, a line's start.
    static std::size_t LineStart(std::basic_string_view<Char> block, std::size_t from, std::size_t place)
    {
        while (place > from && block[place - 1] != Char('\n')) --place;
        return place;
    }

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
