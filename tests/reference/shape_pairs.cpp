#include "reference/shape_pairs.h"

#include <array>

#include "reference/wizard_model.h"

namespace zarvo::reference {
namespace {

using Names = std::array<const char16_t*, 20>;

// The first one or two of FewStarts are the names of the sample package.
constexpr Names kAlike = {u"NAME1",  u"NAME2",  u"NAME3",  u"NAME4",  u"NAME5",  u"NAME6",  u"NAME7",
                          u"NAME8",  u"NAME9",  u"NAME10", u"NAME11", u"NAME12", u"NAME13", u"NAME14",
                          u"NAME15", u"NAME16", u"NAME17", u"NAME18", u"NAME19", u"NAME20"};
constexpr Names kFewStarts = {u"INSTALLDIR", u"SERVERNAME", u"INSTANCE",  u"SERVICE",    u"IDX",
                              u"SITE",       u"INSTALLROOT", u"SERVERPORT", u"ITEM",      u"SECRET",
                              u"IMAGEDIR",   u"SCHEMA",     u"INDEX",     u"SOURCE",     u"IP",
                              u"SHARE",      u"INIFILE",    u"SUFFIX",    u"ICON",       u"STORE"};
constexpr Names kDifferent = {u"INSTALLDIR", u"SERVERNAME", u"PORTNUMBER", u"DATADIR",  u"LOGDIR",
                              u"USERNAME",   u"HOSTNAME",   u"TIMEOUT",    u"CACHEDIR", u"VERSION",
                              u"APPDATA",    u"BINDIR",     u"KEY",        u"QUEUE",    u"ZONE",
                              u"FLAGS",      u"MODE",       u"ROOT",       u"GROUP",    u"WEBSITE"};
constexpr Names kPrefixes = {u"N",     u"NAME",  u"NAME1",  u"NAME10", u"NN",    u"NAMES", u"NAME1X",
                             u"N1",    u"NA",    u"NAM",    u"NAME2",  u"NAME20", u"NNN",  u"N2",
                             u"NAMEN", u"NAMEX", u"NAME11", u"NAME12", u"N3",    u"NX"};
constexpr Names kOdd = {u"",   u"x",    u"\u00C9T\u00C9", u"\u4E2D", u"<N>",  u"a b",  u"Port",
                        u"\\", u"NAME", u"[Zv]",         u"\x1A",   u"\tT",  u"</N", u"y",
                        u"zz", u"Q",    u"R",            u"S",      u"T",    u"U"};

const Names& NamesOf(NameSet set)
{
    switch (set) {
    case NameSet::Alike: return kAlike;
    case NameSet::FewStarts: return kFewStarts;
    case NameSet::Different: return kDifferent;
    case NameSet::Prefixes: return kPrefixes;
    case NameSet::Odd: break;
    }
    return kOdd;
}

std::u16string Lower(std::u16string_view name)
{
    std::u16string lower(name);
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return lower;
}

// An ordinary value: a folder, a number, a word, empty, or long enough to meet a line's end.
std::u16string PlainValue(std::u16string_view name, SeededRandom& random)
{
    switch (random.Below(8)) {
    case 0: return u"";
    case 1: return u"8443";
    case 2: return u"C:\\Program Files (x86)\\Zarvo\\" + Lower(name) + u"\\";
    case 3: return u"caf\u00E9-" + Lower(name);
    case 4: return std::u16string(200 + random.Below(700), u'v');
    case 5: return u"v";
    default: return u"C:\\App\\" + Lower(name);
    }
}

// A value that brings in tokens: its own, another pair's, or a line end.
std::u16string TokenValue(const Pairs& pairs, std::u16string_view name, SeededRandom& random)
{
    const std::u16string other = pairs.empty() ? std::u16string(name) : pairs[random.Below(pairs.size())].name;
    switch (random.Below(6)) {
    case 0: return u"C:\\" + std::u16string(name) + u"\\";
    case 1: return u"<" + other + u">";
    case 2: return u"<" + other + u">x</" + other + u">";
    case 3: return u"a\nb\\" + other;
    case 4: return std::u16string(name);
    default: return other + u"\\\\" + other;
    }
}

}  // namespace

Pairs MakePairs(const Shape& shape, SeededRandom& random)
{
    const Names& names = NamesOf(shape.names);
    Pairs pairs;
    for (std::size_t i = 0; i < shape.pairCount && i < names.size(); ++i) {
        const std::u16string name = names[i];
        pairs.push_back({name, shape.valuesHoldTokens && random.OneIn(2) ? TokenValue(pairs, name, random)
                                                                          : PlainValue(name, random)});
    }
    if (shape.chained)
        for (std::size_t i = 0; i + 1 < pairs.size(); ++i) pairs[i].value = pairs[i + 1].name;
    if (shape.wideValues && !pairs.empty()) pairs[random.Below(pairs.size())].value += u"\u6587\u4EF6";
    return pairs;
}

std::u16string MakeReplacement(const Shape& shape, SeededRandom& random)
{
    std::u16string replacement;
    switch (random.Below(5)) {
    case 0: break;
    case 1: replacement = u"C:\\Templates\\a|b"; break;
    case 2: replacement = u"D:\\Mod\u00E8les\\VS71"; break;
    case 3: replacement = std::u16string(30 + random.Below(200), u'r'); break;
    default: replacement = u"C:\\Program Files (x86)\\ZarvoDemo\\Templates\\VS71";
    }
    if (shape.valuesHoldTokens) replacement += kWizardPlaceholder;
    if (shape.wideValues) replacement += u"\u6587";
    return replacement;
}

}  // namespace zarvo::reference
