#include "platform/sim/sim_query.h"

#include "platform/sim/sim_letter_case.h"

namespace zarvo::sim {
namespace {

class QueryReader {
public:
    explicit QueryReader(std::u16string_view text) : text_(text) {}

    void SkipSpace()
    {
        while (position_ < text_.size() && (text_[position_] == u' ' || text_[position_] == u'\t' ||
                                            text_[position_] == u'\r' || text_[position_] == u'\n'))
            ++position_;
    }
    bool AtEnd()
    {
        SkipSpace();
        return position_ == text_.size();
    }
    bool Keyword(std::u16string_view word)
    {
        SkipSpace();
        if (!EqualIgnoringCase(text_.substr(position_, word.size()), word)) return false;
        const std::size_t end = position_ + word.size();
        if (end < text_.size() && IsNameCharacter(text_[end])) return false;
        position_ = end;
        return true;
    }
    bool Punctuation(char16_t c)
    {
        SkipSpace();
        if (position_ == text_.size() || text_[position_] != c) return false;
        ++position_;
        return true;
    }
    std::optional<std::u16string> Name()
    {
        SkipSpace();
        if (Punctuation(u'`')) {
            const std::size_t close = text_.find(u'`', position_);
            if (close == std::u16string_view::npos || close == position_) return std::nullopt;
            std::u16string name(text_.substr(position_, close - position_));
            position_ = close + 1;
            return name;
        }
        const std::size_t start = position_;
        while (position_ < text_.size() && IsNameCharacter(text_[position_])) ++position_;
        if (start == position_) return std::nullopt;
        return std::u16string(text_.substr(start, position_ - start));
    }

private:
    static bool IsNameCharacter(char16_t c)
    {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
               c == u'_' || c == u'.';
    }

    std::u16string_view text_;
    std::size_t position_ = 0;
};

bool ReadColumns(QueryReader& reader, SimQuery& query)
{
    if (reader.Punctuation(u'*')) return true;
    do {
        auto name = reader.Name();
        if (!name) return false;
        query.columns.push_back(std::move(*name));
    } while (reader.Punctuation(u','));
    return true;
}

}  // namespace

std::optional<SimQuery> ParseQuery(std::u16string_view text)
{
    QueryReader reader(text);
    SimQuery query;
    if (!reader.Keyword(u"SELECT") || !ReadColumns(reader, query) || !reader.Keyword(u"FROM"))
        return std::nullopt;
    auto table = reader.Name();
    if (!table) return std::nullopt;
    query.table = std::move(*table);
    if (reader.Keyword(u"ORDER")) {
        if (!reader.Keyword(u"BY")) return std::nullopt;
        query.orderBy = reader.Name();
        if (!query.orderBy) return std::nullopt;
    }
    if (!reader.AtEnd()) return std::nullopt;
    return query;
}

}  // namespace zarvo::sim
