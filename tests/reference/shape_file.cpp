// The generated file: lines of the shape's lengths, ends and tokens, encoded, with a token,
// a line end or a character of several bytes across the reader's block boundaries.
#include <array>
#include <optional>

#include "reference/encode.h"
#include "reference/shape.h"
#include "reference/shape_lines.h"
#include "reference/shape_pairs.h"
#include "reference/wizard_model.h"

namespace zarvo::reference {
namespace {

enum class Feature { Token, LineEnd, Wide };

std::size_t TokensOnLine(const Shape& shape, SeededRandom& random)
{
    switch (shape.density) {
    case Density::Few: return random.OneIn(10000) ? 1 : 0;
    case Density::EveryLine: return 1 + random.Below(3);
    default: return 0;
    }
}

// The token of the last line where the shape has tokens only there, as a package's file ends
// in "Path=<INSTALLDIR>".
std::u16string LastToken(const Shape& shape, const Pairs& pairs)
{
    if (shape.engine == Engine::Wizard) return u"Param=\"" + std::u16string(kWizardPlaceholder) + u"\"";
    const std::u16string name = pairs.empty() ? u"" : pairs.front().name;
    if (shape.engine == Engine::Text) return u"Path=<" + name + u">";
    return u"  <" + name + u">old</" + name + u">";
}

class FileBuilder {
public:
    FileBuilder(const Shape& shape, const Pairs& pairs, SeededRandom& random)
        : shape_(shape), pairs_(pairs), random_(random), bytes_(MarkOf(shape.encoding))
    {
    }

    void AddOrdinaryLine()
    {
        const std::u16string text = LineText(shape_, pairs_, random_, LineLength(shape_, random_),
                                             TokensOnLine(shape_, random_));
        const std::u16string end = LineEnd(shape_, random_);
        if (!(shape_.acrossBlocks && bytes_.size() + Encoded(text + end).size() >= boundary_ && AddStraddlingLine()))
            Add(text, end);
    }

    // The last line holds what the shape keeps for the file's end, and has its line end only
    // where the shape says.
    std::string Finish()
    {
        std::u16string last = shape_.density == Density::AtEnd ? LastToken(shape_, pairs_) : u"";
        if (shape_.encoding == Encoding::Utf8LateWide) last += u"\u00E9";
        if (shape_.encoding == Encoding::Utf8LateBroken) last += kIllFormed;
        if (!last.empty()) Add(last, LineEnd(shape_, random_));
        if (!shape_.lastLineEnd) bytes_.resize(bytes_.size() - lastEnd_);
        return std::move(bytes_);
    }

    std::size_t Size() const { return bytes_.size(); }

private:
    std::string Encoded(std::u16string_view text) const { return EncodedText(text, shape_.encoding, lines_); }

    void Add(const std::u16string& text, const std::u16string& end)
    {
        const std::string endBytes = Encoded(end);
        bytes_ += Encoded(text) + endBytes;
        lastEnd_ = endBytes.size();
        ++lines_;
        while (boundary_ <= bytes_.size()) boundary_ += kReadBlockBytes;
    }

    std::optional<std::u16string> FeatureText(Feature feature)
    {
        const bool utf16 = shape_.encoding == Encoding::Utf16Le || shape_.encoding == Encoding::Utf16Be;
        switch (feature) {
        case Feature::Token:
            if (shape_.density == Density::None) return std::nullopt;
            if (shape_.density != Density::EveryLine && boundary_ % kWriteBufferBytes != 0) return std::nullopt;
            return TokenPiece(shape_, pairs_, random_);
        case Feature::LineEnd:
            if (shape_.lineEnds != LineEnds::CrLf && shape_.lineEnds != LineEnds::Mixed) return std::nullopt;
            return u"\r\n";
        case Feature::Wide:
            if (shape_.encoding == Encoding::Ascii || shape_.encoding == Encoding::Latin1 ||
                shape_.encoding == Encoding::Utf8LateWide)
                return std::nullopt;
            return utf16 || random_.OneIn(2) ? u"\U0001F600" : u"\u4E2D";
        }
        return std::nullopt;
    }

    // The feature stands across the boundary at one of its inner bytes (between characters,
    // in UTF-16); false where the shape has none to put there.
    bool AddStraddlingLine()
    {
        static constexpr std::array<Feature, 3> kOrder = {Feature::Token, Feature::LineEnd, Feature::Wide};
        const std::size_t unit = MarkOf(shape_.encoding).size() == 2 ? 2 : 1;
        const std::size_t first = boundary_ % kWriteBufferBytes == 0 ? 0 : boundary_ / kReadBlockBytes;
        for (std::size_t i = 0; i < kOrder.size(); ++i) {
            const Feature feature = kOrder[(first + i) % kOrder.size()];
            const std::optional<std::u16string> text = FeatureText(feature);
            const std::size_t size = text ? Encoded(*text).size() : 0;
            if (size < 2 * unit) continue;
            const std::size_t room = boundary_ - bytes_.size();
            const std::size_t inside = std::min(room, unit * (1 + random_.Below(size / unit - 1)));
            const std::u16string before = AsciiFiller(shape_, random_, (room - inside) / unit);
            if (feature == Feature::LineEnd) {
                Add(before, *text);
            } else {
                Add(before + *text + LineText(shape_, pairs_, random_, random_.Below(40), 0), LineEnd(shape_, random_));
            }
            return true;
        }
        return false;
    }

    const Shape& shape_;
    const Pairs& pairs_;
    SeededRandom& random_;
    std::string bytes_;
    std::size_t lastEnd_ = 0;
    std::size_t lines_ = 0;
    std::size_t boundary_ = kReadBlockBytes;
};

}  // namespace

GeneratedFile Generate(const Shape& shape)
{
    SeededRandom random(shape.seed);
    GeneratedFile file;
    file.pairs = MakePairs(shape, random);
    file.replacement = MakeReplacement(shape, random);
    if (shape.bytes == 0) return file;
    FileBuilder builder(shape, file.pairs, random);
    while (builder.Size() < shape.bytes) builder.AddOrdinaryLine();
    file.bytes = builder.Finish();
    return file;
}

}  // namespace zarvo::reference
