// The simulated machine's own matching of names without regard to case, which it keeps
// apart from the actions' so that a fault in either shows against the other.
#include "platform/sim/sim_letter_case.h"

#include <gtest/gtest.h>

namespace zarvo::sim {
namespace {

struct Pair {
    std::u16string_view a;
    std::u16string_view b;
    bool answer;
};

TEST(SimLetterCase, MatchesTheAsciiLettersInEitherCaseAndNothingElse)
{
    const Pair cases[] = {
        {u"SOFTWARE\\Wow6432Node", u"software\\WOW6432NODE", true},
        {u"", u"", true},
        {u"Setup", u"Setup ", false},
        // Characters one bit apart, as the letters' two cases are, that are not letters.
        {u"@", u"`", false},
        {u"[", u"{", false},
        {u"^_", u"~\x7f", false},
        {u"\u0141", u"\u0161", false},
    };
    for (const Pair& c : cases)
        EXPECT_EQ(EqualIgnoringCase(c.a, c.b), c.answer) << "case " << &c - cases;
    EXPECT_EQ(InLowerCase(u"C:\\Program Files\\[AZ]@`{az}\u00C9"),
              u"c:\\program files\\[az]@`{az}\u00C9");
}

TEST(SimLetterCase, OrdersByTheUpperCaseNames)
{
    const Pair cases[] = {
        {u"alpha", u"BETA", true},
        {u"BETA", u"alpha", false},
        {u"b", u"_a", true},  // in upper case the letters come before the underscore
        {u"ab", u"ABC", true},
        {u"Vendor", u"VENDOR", false},
        {u"VENDOR", u"Vendor", false},
    };
    for (const Pair& c : cases)
        EXPECT_EQ(LessIgnoringCase(c.a, c.b), c.answer) << "case " << &c - cases;
}

}  // namespace
}  // namespace zarvo::sim
