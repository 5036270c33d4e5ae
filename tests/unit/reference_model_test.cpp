// The reference model against the documented rules and the README's choices, case by case,
// with what each rule makes of a line worked out by hand: the matrix and the fuzz targets
// hold the engines to this model, so it must be right on its own.
#include <gtest/gtest.h>

#include "reference/command_model.h"
#include "reference/decode.h"
#include "reference/text_model.h"
#include "reference/wizard_model.h"
#include "reference/xml_model.h"
#include "scenario/utf16_files.h"

namespace zarvo::reference {
namespace {

using namespace std::string_literals;

std::string Text(const std::string& file, const Pairs& pairs)
{
    return ExpectedTextRewrite(file, pairs).value_or("<refused>");
}

using test::Utf16File;

TEST(TextModel, ReplacesBracketedTokensDoubledThenBareOnesEachRowOnWhatTheLastLeft)
{
    EXPECT_EQ(Text("path=<Dir>\r\nraw=Dir\n", {{u"Dir", u"C:\\App\\"}}), "path=C:\\\\App\\\\\r\nraw=C:\\App\\\r\n");
    EXPECT_EQ(Text("X and X\n", {{u"X", u"Y"}, {u"Y", u"Z"}}), "Z and Z\r\n");
    // An earlier pair takes its name from a later one's token.
    EXPECT_EQ(Text("<A> B\n", {{u"A", u"B"}, {u"B", u"c"}}), "c c\r\n");
}

TEST(TextModel, SearchesATokenAgainFromTheLineStartUnlessItsValueHoldsIt)
{
    // Each removal joins an "a" and a "b" into a new token, left of where it was.
    EXPECT_EQ(Text("aabb\n", {{u"ab", u""}}), "\r\n");
    // "ab" becomes "ba" 8,000 times over before the "a"s reach the end; 4,999 are made.
    EXPECT_EQ(Text("aa" + std::string(4000, 'b') + "\n", {{u"ab", u"ba"}}),
              std::string(2499, 'b') + "aba" + std::string(1500, 'b') + "\r\n");
    // The bare name in what the bracketed one put in is found once; the search of a value
    // holding its own token goes on after it.
    EXPECT_EQ(Text("Dir and <Dir>\n", {{u"Dir", u"C:\\Dir"}}), "C:\\Dir and C:\\\\C:\\Dir\r\n");
    EXPECT_EQ(Text("same same\n", {{u"same", u"same"}}), "same same\r\n");
    EXPECT_EQ(Text("aab\n", {{u"ab", u"bab"}}), "abab\r\n");
}

TEST(TextModel, GivesAnEmptyNameItsBracketedTokenAlone)
{
    EXPECT_EQ(Text("abc <> x\n", {{u"", u"v\\"}}), "abc v\\\\ x\r\n");
}

TEST(TextModel, LeavesATokenWhereItsValueWouldOverfillTheLine)
{
    const std::string filler(4988, 'y');
    // 4,990 characters with the LF: ten for one fills the line, eleven would not fit.
    EXPECT_EQ(Text("N" + filler + "\nM" + filler + "\n", {{u"N", u"0123456789"}, {u"M", u"0123456789A"}}),
              "0123456789" + filler + "\r\nM" + filler + "\r\n");
    // The first of two tokens fits and the second would not.
    const std::string shorter(filler.size() - 1, 'y');
    EXPECT_EQ(Text("K" + shorter + "K\n", {{u"K", u"012345"}}), "012345" + shorter + "K\r\n");
}

TEST(TextModel, CutsLinesAtTheirLfOrTheirCapacityAndWritesCrLf)
{
    EXPECT_EQ(Text("one\ntwo\r\nthree", {}), "one\r\ntwo\r\nthree");
    // Only a CR LF pair is a line end; control characters are text.
    EXPECT_EQ(Text("a\rb\r\r\nc\x1A\0d\r"s, {}), "a\rb\r\r\nc\x1A\0d\r"s);
    // 4,999 characters fill a line; the name cut by its end is not found.
    EXPECT_EQ(Text(std::string(4998, 'x') + "Nq\r\n", {{u"Nq", u"mm"}}), std::string(4998, 'x') + "Nq\r\n");
    EXPECT_EQ(Text(std::string(4997, 'x') + "Nq\r\n", {{u"Nq", u"mm"}}), std::string(4997, 'x') + "mm\r\n");
    // The LF counts: a line of 4,998 characters and its LF has no room to grow.
    EXPECT_EQ(Text(std::string(4997, 'x') + "N\n", {{u"N", u"ab"}}), std::string(4997, 'x') + "N\r\n");
}

TEST(TextModel, RefusesUtf16AndKeepsTheTokensOfAValueItCannotWrite)
{
    EXPECT_EQ(ExpectedTextRewrite("\xFF\xFEN\0"s, {{u"N", u"v"}}), std::nullopt);
    EXPECT_EQ(ExpectedTextRewrite("\xFE\xFF\0N"s, {{u"N", u"v"}}), std::nullopt);
    EXPECT_EQ(Text("\xEF\xBB\xBFN\n", {{u"N", u"v"}}), "\xEF\xBB\xBFv\r\n");
    EXPECT_EQ(Text("a <N> N b\n", {{u"N", u"\u4E2D"}, {u"b", u"\u00E9"}}), "a <N> N \xE9\r\n");
}

TEST(TextModel, TakesTwentyPairs)
{
    Pairs pairs;
    for (char16_t c = u'a'; c <= u'u'; ++c) pairs.push_back({std::u16string(1, c), u"="});
    EXPECT_EQ(Text("s t u\n", pairs), "= = u\r\n");
}

TEST(XmlModel, GivesTheFirstElementOfEachNameOnALineItsValue)
{
    EXPECT_EQ(ExpectedXmlRewrite("<a><Port>80</Port><Port>81</Port></a>\n"
                                 "<Port>\n82</Port>\n"
                                 "<Port id=\"1\">83</Port><Port/>\n"
                                 "</Port><Port>84</Port>\n"
                                 "<Host>old</Host><Empty>x</Empty>\n",
                                 {{u"Port", u"8080"}, {u"Host", u"a<b&c"}, {u"Empty", u""}}),
              Utf16File(u"<a><Port>8080</Port><Port>81</Port></a>\r\n"
                        u"<Port>\r\n82</Port>\r\n"
                        u"<Port id=\"1\">83</Port><Port/>\r\n"
                        u"</Port><Port>8080</Port>\r\n"
                        u"<Host>a<b&c</Host><Empty></Empty>\r\n"));
    // A later pair meets the element an earlier value put in.
    EXPECT_EQ(ExpectedXmlRewrite("<N>x</N>ab</M>\n", {{u"N", u"<M>"}, {u"M", u"m"}}), Utf16File(u"<N><M>m</M>\r\n"));
    // An empty name has the tags "<>" and "</>".
    EXPECT_EQ(ExpectedXmlRewrite("<>a</>", {{u"", u"b"}}), Utf16File(u"<>b</>"));
}

TEST(XmlModel, LeavesAnElementWhoseValueWouldOverfillTheLine)
{
    const std::string filler(4988, 'y');
    const std::u16string wide(filler.begin(), filler.end());
    EXPECT_EQ(ExpectedXmlRewrite("<k></k>" + filler + "\n<m></m>" + filler + "\n", {{u"k", u"abc"}, {u"m", u"abcd"}}),
              Utf16File(u"<k>abc</k>" + wide + u"\r\n<m></m>" + wide + u"\r\n"));
}

TEST(XmlModel, ReadsTheFileByItsMarkOrAsUtf8WhereAllOfItIsUtf8BeyondAscii)
{
    EXPECT_EQ(XmlFileText("\xEF\xBB\xBF" "caf\xC3\xA9"), u"caf\u00E9");
    EXPECT_EQ(XmlFileText("\xFF\xFE" "a\0b"s), u"a\uFFFD");
    EXPECT_EQ(XmlFileText("\xFE\xFF\0a"s), std::nullopt);
    EXPECT_EQ(XmlFileText("caf\xC3\xA9"), u"caf\u00E9");
    EXPECT_EQ(XmlFileText("\xC3\xA9\xF4\x90\x80\x80"), u"\u00C3\u00A9\u00F4\u0090\u0080\u0080");
    EXPECT_EQ(XmlFileText("\xEF\xBB"), u"\u00EF\u00BB");
    EXPECT_EQ(ExpectedXmlRewrite("", {}), "\xFF\xFE");
}

TEST(Utf8Decoding, ReplacesEachMaximalSubpartOnce)
{
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xE0\x9F\xBF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF5\x80", u"\uFFFD\uFFFD"},
        {"\x80z", u"\uFFFDz"},
        {"z\xF0\x9F\x98", u"z\uFFFD"},
        {"a\xC3(b\xF0\x9F\x98\x80", u"a\uFFFD(b\U0001F600"},
        {"\xE2\x82\xC0\xAF", u"\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) {
        const Utf8Text decoded = Utf8Decoded(c.bytes);
        EXPECT_EQ(decoded.text, c.text) << ::testing::PrintToString(c.bytes);
        EXPECT_EQ(decoded.valid, c.text.find(u'\uFFFD') == std::u16string::npos) << ::testing::PrintToString(c.bytes);
    }
}

TEST(WizardModel, ReplacesTheFirstPlaceholderOfALineWhereTheLineHasRoom)
{
    const std::string placeholder = "[Zv.Dir.APITemplatesVS71]";
    EXPECT_EQ(ExpectedWizardRewrite("a " + placeholder + "|" + placeholder + "\nb", u"C:\\T"),
              "a C:\\T|" + placeholder + "\r\nb");
    EXPECT_EQ(ExpectedWizardRewrite(std::string(490, 'x') + placeholder + "\n", std::u16string(40, u'y')),
              std::string(490, 'x') + placeholder + "\r\n");
    // Read in pieces of 519 characters: a placeholder across two of them is not found.
    EXPECT_EQ(ExpectedWizardRewrite(std::string(510, 'x') + placeholder + "\n", u"y"),
              std::string(510, 'x') + placeholder + "\r\n");
    EXPECT_EQ(ExpectedWizardRewrite(placeholder + "\n", u"\u4E2D"), placeholder + "\r\n");
    EXPECT_EQ(ExpectedWizardRewrite("\xFF\xFE" + placeholder, u"x"), std::nullopt);
}

TEST(WizardModel, TakesTheReplacementAfterTheFirstBarOfUsableData)
{
    EXPECT_EQ(WizardReplacement(u"C:\\App\\|C:\\T|x"), u"C:\\T|x");
    EXPECT_EQ(WizardReplacement(u"C:\\App\\|"), u"");
    EXPECT_EQ(WizardReplacement(u"C:\\App\\"), std::nullopt);
    EXPECT_EQ(WizardReplacement(u"C:\\|" + std::u16string(515, u'x')), u"" + std::u16string(515, u'x'));
    EXPECT_EQ(WizardReplacement(u"C:\\|" + std::u16string(516, u'x')), std::nullopt);
    // The temporary file's name, 25 characters after the folder, must fit 259.
    EXPECT_EQ(WizardReplacement(std::u16string(234, u'f') + u"|x"), u"x");
    EXPECT_EQ(WizardReplacement(std::u16string(235, u'f') + u"|x"), std::nullopt);
}

TEST(CommandModel, SplitsPairsAtTheirFirstEqualsSignAndEndsWhereTheStoreEndsThem)
{
    const Command command = CommandOf(u"C:\\t\0a=b=c\0=e\0x=\0no pair\0y=2\0\0"s);
    EXPECT_EQ(command.target, u"C:\\t");
    ASSERT_EQ(command.pairs.size(), 3u);
    EXPECT_EQ(command.pairs[0].name, u"a");
    EXPECT_EQ(command.pairs[0].value, u"b=c");
    EXPECT_EQ(command.pairs[1].name, u"");
    EXPECT_EQ(command.pairs[2].value, u"");
    std::u16string many = u"C:\\t"s;
    for (int i = 0; i < 25; ++i) many += u"\0p=v"s;
    EXPECT_EQ(CommandOf(many + u"\0\0"s).pairs.size(), 20u);
    // An odd last byte is the low half of a character; the data need not end its strings.
    EXPECT_EQ(CommandCharacters({'C', 0, ':', 0, 'x'}), u"C:x\0\0"s);
    EXPECT_EQ(CommandOf(CommandCharacters({'t', 0, 0, 0, 'a', 0, '=', 0, 'b'})).pairs[0].value, u"b");
}

}  // namespace
}  // namespace zarvo::reference
