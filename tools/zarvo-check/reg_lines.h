#pragma once
// The lines of a .reg file, from its bytes: its encoding told by its byte-order mark or,
// without one, by its header.
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "reg_file.h"

namespace zarvo::check {

struct RegLines {
    std::vector<std::u16string> lines;  // line n at n - 1, without its CR LF or LF
    bool singleByte = false;            // a REGEDIT4 file without a mark: each byte a character
};

// FF FE: UTF-16LE; EF BB BF: UTF-8; no mark: single-byte text when the first line that is not
// blank is "REGEDIT4", UTF-8 otherwise. Refuses UTF-16BE, bytes that are not UTF-8 where UTF-8
// is read, half a UTF-16 character at the end, and NUL characters.
std::variant<RegLines, RegFileError> DecodeRegLines(std::span<const std::uint8_t> bytes);

}  // namespace zarvo::check
