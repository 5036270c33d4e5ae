#pragma once
// Large files as installed configuration files are: many short lines that hold nothing to
// replace, and what is replaced only at the end. Compared without printing megabytes.
#include <gtest/gtest.h>

#include <string>

#include "reference/byte_difference.h"

namespace zarvo::test {

// Lines "key0=value0" to "keyN=valueN" for `count` lines, each ended by `lineEnd`: 150,000
// lines are some 3 MB.
inline std::string KeyValueLines(int count, const std::string& lineEnd)
{
    std::string lines;
    for (int k = 0; k < count; ++k) {
        const std::string number = std::to_string(k);
        lines += "key" + number + "=value" + number + lineEnd;
    }
    return lines;
}

// The same bytes, or where they first differ.
inline ::testing::AssertionResult SameBytes(const std::string& got, const std::string& expected)
{
    const std::string difference = reference::ByteDifference(got, expected);
    if (difference.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << difference;
}

}  // namespace zarvo::test
