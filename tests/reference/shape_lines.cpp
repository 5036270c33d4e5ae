#include "reference/shape_lines.h"

#include <algorithm>
#include <span>
#include <vector>

#include "reference/lines.h"
#include "reference/wizard_model.h"

namespace zarvo::reference {
namespace {

using Words = std::span<const char16_t* const>;

constexpr const char16_t* kTextWords[] = {u"key", u"value", u"setting", u"=", u" ", u";", u"path",
                                          u"item", u"0", u"17", u"_", u".", u"-", u"/"};
constexpr const char16_t* kXmlWords[] = {u"  ", u"<b>", u"</b>", u"value", u"&amp;", u"<Setting>",
                                         u"</Setting>", u"k=\"1\"", u"text", u" ", u"7"};
constexpr const char16_t* kWizardWords[] = {u"Param=\"", u"WIZARD", u" = ", u"\"", u"TRUE", u"VSWIZARD 7.0", u"_"};

// Characters beyond ASCII that each encoding carries, and characters that are text like any
// other to the rewrites although they end C strings or text files elsewhere.
constexpr const char16_t* kLatin1Words[] = {u"\u00E9", u"\u00FC", u"\u00A0", u"\u00FF"};
constexpr const char16_t* kUtf8Words[] = {u"\u00E9", u"\u4E2D", u"\U0001F600"};
// The last stands for an ill-formed sequence.
constexpr const char16_t* kMarkedUtf8Words[] = {u"\u00E9", u"\u4E2D", u"\U0001F600", u"\uE000"};
static_assert(kIllFormed == u'\uE000');
constexpr const char16_t* kControlWords[] = {u"\t", u"\x1A", u"\r", u"\x7F"};

Words WordsOf(Engine engine)
{
    switch (engine) {
    case Engine::Text: return kTextWords;
    case Engine::Xml: return kXmlWords;
    case Engine::Wizard: break;
    }
    return kWizardWords;
}

Words WideWordsOf(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Latin1: return kLatin1Words;
    case Encoding::Ascii:
    case Encoding::Utf8LateWide: return {};
    case Encoding::Utf8WithMark: return kMarkedUtf8Words;
    default: return kUtf8Words;
    }
}

std::size_t Capacity(Engine engine)
{
    return engine == Engine::Wizard ? kWizardLineCapacity : kLineCapacity;
}

std::u16string Filler(const Shape& shape, SeededRandom& random, std::size_t length, bool asciiOnly)
{
    const Words words = WordsOf(shape.engine);
    const Words wide = asciiOnly ? Words() : WideWordsOf(shape.encoding);
    const bool controls = !asciiOnly && shape.encoding != Encoding::Ascii;
    std::u16string text;
    while (text.size() < length) {
        if (!wide.empty() && random.OneIn(40)) {
            text += wide[random.Below(wide.size())];
        } else if (controls && random.OneIn(300)) {
            // A NUL half the time, which a string literal cannot hold.
            text += random.OneIn(2) ? std::u16string(1, u'\0') : kControlWords[random.Below(std::size(kControlWords))];
        } else {
            text += words[random.Below(words.size())];
        }
    }
    text.resize(length);
    if (!text.empty() && text.back() >= 0xD800 && text.back() < 0xDC00) text.back() = u'x';
    return text;
}

std::u16string TextPiece(const std::u16string& name, SeededRandom& random)
{
    switch (random.Below(10)) {
    case 0: return u"x" + name + u"y";
    case 1: return u"<<" + name + u">>";
    case 2: return u"<" + name;
    case 3: case 4: return name;
    case 5: return name + u"<" + name + u">" + name;
    default: return u"<" + name + u">";
    }
}

std::u16string XmlPiece(const std::u16string& name, const std::u16string& other, SeededRandom& random)
{
    const std::u16string open = u"<" + name + u">", close = u"</" + name + u">";
    switch (random.Below(12)) {
    case 0: return open + close;
    case 1: return u"<" + name + u" a=\"1\">x" + close;
    case 2: return close + open + u"v" + close;
    case 3: return open + u"a" + close + open + u"b" + close;
    case 4: return u"<" + name + u"/>";
    case 5: return open + u"open";
    case 6: return u"end" + close;
    case 7: return open + u"a" + close + u"<" + other + u">b</" + other + u">";
    case 8: return open + u"a<b>c</b>" + close;
    default: return open + u"old value" + close;
    }
}

std::u16string WizardPiece(SeededRandom& random)
{
    const std::u16string placeholder(kWizardPlaceholder);
    switch (random.Below(10)) {
    case 0: return placeholder + u"|" + placeholder;
    case 1: return placeholder.substr(0, placeholder.size() - 1);
    case 2: return u"[zv.dir.apitemplatesvs71]";
    case 3: return u"[" + placeholder + u"]";
    default: return placeholder;
    }
}

}  // namespace

std::u16string TokenPiece(const Shape& shape, const Pairs& pairs, SeededRandom& random)
{
    if (shape.engine == Engine::Wizard) return WizardPiece(random);
    if (pairs.empty()) return {};
    const std::u16string& name = pairs[random.Below(pairs.size())].name;
    if (shape.engine == Engine::Text) return TextPiece(name, random);
    return XmlPiece(name, pairs[random.Below(pairs.size())].name, random);
}

std::u16string AsciiFiller(const Shape& shape, SeededRandom& random, std::size_t length)
{
    return Filler(shape, random, length, true);
}

std::u16string LineText(const Shape& shape, const Pairs& pairs, SeededRandom& random, std::size_t length,
                        std::size_t tokens)
{
    std::vector<std::u16string> pieces;
    std::size_t piecesSize = 0;
    for (std::size_t i = 0; i < tokens; ++i) {
        pieces.push_back(TokenPiece(shape, pairs, random));
        piecesSize += pieces.back().size();
    }
    const std::size_t fill = length > piecesSize ? length - piecesSize : 0;
    std::u16string text = Filler(shape, random, fill, false);
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < pieces.size(); ++i) offsets.push_back(random.Below(fill + 1));
    std::ranges::sort(offsets);
    // Now and then the first piece stands across the end of the first part of a long line
    // that the reader takes.
    const std::size_t capacity = Capacity(shape.engine);
    if (!pieces.empty() && pieces[0].size() > 1 && fill > capacity && random.OneIn(3)) {
        offsets[0] = capacity - 1 - random.Below(pieces[0].size() - 1);
        for (std::size_t& offset : offsets) offset = std::max(offset, offsets[0]);
    }
    for (std::size_t i = pieces.size(); i-- > 0;) text.insert(std::min(offsets[i], text.size()), pieces[i]);
    return text;
}

std::u16string LineEnd(const Shape& shape, SeededRandom& random)
{
    static constexpr const char16_t* kMixed[] = {u"\n", u"\r\n", u"\r", u"\r\r\n", u"\n\r"};
    switch (shape.lineEnds) {
    case LineEnds::Lf: return u"\n";
    case LineEnds::CrLf: return u"\r\n";
    case LineEnds::LoneCr: return u"\r";
    case LineEnds::Mixed: break;
    }
    return kMixed[random.Below(std::size(kMixed))];
}

std::size_t LineLength(const Shape& shape, SeededRandom& random)
{
    if (shape.lineLength != kVaryingLines) return shape.lineLength;
    const std::size_t capacity = Capacity(shape.engine);
    const std::size_t kind = random.Below(100);
    if (kind < 60) return random.Below(60);
    if (kind < 85) return random.Below(capacity / 10 + 1);
    if (kind < 95) return random.Below(capacity + 1);
    if (kind < 99) return capacity - 10 + random.Below(20);
    return capacity + random.Below(12 * capacity);
}

}  // namespace zarvo::reference
