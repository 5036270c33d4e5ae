#include "substitution/line_file.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <span>
#include <utility>

#include "frame/result_codes.h"
#include "substitution/byte_scan.h"

namespace zarvo {
namespace {

constexpr std::uint32_t kChunkBytes = 64 * 1024;
// Written a megabyte at a time: a rewrite costs few calls into the system however many
// lines the file has.
constexpr std::size_t kWriteBytes = 1 << 20;
// The scans that put bytes may write up to this far past the last one they put.
constexpr std::size_t kPastTheEnd = 16;
// A character that single-byte text has no byte for (ERROR_NO_UNICODE_TRANSLATION).
constexpr std::uint32_t kErrorNoUnicodeTranslation = 1113;
constexpr char16_t kReplacementCharacter = 0xFFFD;

// The range a UTF-8 continuation byte must lie in after the given lead byte and position,
// so that overlong forms, surrogates and code points above U+10FFFF are refused.
bool ContinuationFits(std::uint8_t lead, int position, std::uint8_t byte)
{
    std::uint8_t low = 0x80, high = 0xBF;
    if (position == 1 && lead == 0xE0) low = 0xA0;
    if (position == 1 && lead == 0xED) high = 0x9F;
    if (position == 1 && lead == 0xF0) low = 0x90;
    if (position == 1 && lead == 0xF4) high = 0x8F;
    return byte >= low && byte <= high;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> mark)
{
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

int ContinuationCount(std::uint8_t lead)
{
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    return -1;
}

// The line's characters as single-byte text, which holds characters up to 255 only: nothing
// (null) when the line holds another.
char* PutSingleByte(char* out, std::u16string_view line)
{
    char16_t all = 0;
    for (const char16_t c : line) {
        if (c == u'\n') *out++ = '\r';
        *out++ = static_cast<char>(c);
        all |= c;
    }
    return all > 0xFF ? nullptr : out;
}

// Hands the text to `write` in pieces of at most `size` units, so that a write of any length
// fits the buffer a piece at a time.
template <class Char, class Write>
void ForEachPiece(std::basic_string_view<Char> text, std::size_t size, Write write)
{
    while (!text.empty()) {
        const std::basic_string_view<Char> piece = text.substr(0, size);
        write(piece);
        text.remove_prefix(piece.size());
    }
}

}  // namespace

// Characters from a file's bytes, read in chunks, in one encoding.
class TextDecoder {
public:
    TextDecoder(Files& files, FileHandle file) : files_(files), file_(file) {}

    TextEncoding encoding = TextEncoding::SingleByte;
    std::uint32_t readError = 0;  // of a read that failed
    bool invalid = false;      // UTF-8 that was not valid met
    bool beyondAscii = false;  // a character above 127 met

    // The first bytes of the file, for its byte-order mark.
    std::span<const std::uint8_t> Start()
    {
        Refill();
        return {chunk_.get(), size_};
    }
    void Skip(std::size_t bytes) { position_ += bytes; }

    // The next character; none at the end of the bytes or when a read fails.
    std::optional<char16_t> Next()
    {
        if (lowSurrogate_ != 0) {
            const char16_t c = lowSurrogate_;
            lowSurrogate_ = 0;
            return c;
        }
        const std::optional<std::uint8_t> byte = NextByte();
        if (!byte) return std::nullopt;
        char16_t c = 0;
        if (encoding == TextEncoding::SingleByte) c = *byte;
        else if (encoding == TextEncoding::Utf16Le) c = Utf16Unit(*byte);
        else c = Utf8Character(*byte);
        beyondAscii = beyondAscii || c > 0x7F;
        return c;
    }

    // Appends straight from the bytes the run of characters that need no decoding and end
    // no line (neither CR nor LF), at most `room` of them: bytes of single-byte text, or
    // ASCII bytes of UTF-8; then, where there is room and the chunk holds it, the LF that
    // ends the line, a CR LF pair read as one. Most of a file's text goes through here, a
    // run at a time. Answers whether the line ended.
    bool TakePlainRun(std::u16string& line, std::size_t room)
    {
        if (!ReadsPlainBytes()) return false;
        const std::uint8_t* begin = chunk_.get() + position_;
        const std::size_t length = PlainRunLength(room);
        // Widened in place: appending the bytes as a range would first make them a string of
        // their own, at the cost of an allocation for every line.
        const std::size_t before = line.size();
        line.resize(before + length);
        Widen(begin, length, line.data() + before);
        position_ += length;
        if (length == room) return false;
        const std::size_t end = EndOfLineAt(position_);
        if (end == 0) return false;
        line.push_back(u'\n');
        position_ += end;
        return true;
    }

    // Takes a whole line, or `capacity` characters of one, when all of it needs no decoding
    // and the chunk holds it with its end: its bytes, a CR LF pair read as one LF. Takes
    // nothing otherwise, and answers whether it took the line.
    bool TakePlainLine(std::string& line, std::size_t capacity)
    {
        if (capacity == 0 || !ReadsPlainBytes()) return false;
        const std::uint8_t* begin = chunk_.get() + position_;
        const std::size_t length = PlainRunLength(capacity);
        const std::size_t end = length == capacity ? 0 : EndOfLineAt(position_ + length);
        if (length != capacity && end == 0) return false;
        line.assign(reinterpret_cast<const char*>(begin), length);
        if (end != 0) line.push_back('\n');
        position_ += length + end;
        return true;
    }

    // Takes the whole lines that follow in the chunk, up to the first character that needs
    // decoding or a CR that does not pair with an LF, as their bytes; none where no such line
    // ends in the chunk.
    std::string_view TakePlainLines()
    {
        if (!ReadsPlainBytes() || position_ < noLineEndsBefore_) return {};
        const std::uint8_t* const begin = chunk_.get() + position_;
        const std::size_t size = size_ - position_;
        std::size_t plain = 0;
        for (;;) {
            plain += PlainTextLength(begin + plain, size - plain, {false, encoding == TextEncoding::Utf8});
            // Where the run stops at a CR, its pair with an LF goes on.
            if (EndOfLineAt(position_ + plain) == 0) break;
            plain += 2;
        }
        const std::string_view run(reinterpret_cast<const char*>(begin), plain);
        // After the last LF of the run, or none at all.
        const std::string_view lines = run.substr(0, run.rfind('\n') + 1);
        position_ += lines.size();
        // What follows the last LF ends no whole line before the run's end: a long line read
        // piece by piece is not looked through again for every piece.
        noLineEndsBefore_ = position_ + plain - lines.size();
        return lines;
    }

    // Passes over the ASCII bytes that follow, which are valid UTF-8 whatever stands around
    // them: what tells whether a file is UTF-8 lies in its other bytes.
    void SkipAscii()
    {
        if (lowSurrogate_ != 0) return;
        Refill();
        while (position_ < size_ && chunk_[position_] < 0x80) ++position_;
    }

private:
    // Whether the next characters may be bytes of their own codes: not in UTF-16LE, nor after
    // the high half of a surrogate pair. Refills the chunk where it is used up.
    bool ReadsPlainBytes()
    {
        if (lowSurrogate_ != 0 || encoding == TextEncoding::Utf16Le) return false;
        Refill();
        return true;
    }
    // How many bytes from here need no decoding and end no line, at most `room` of them.
    std::size_t PlainRunLength(std::size_t room) const
    {
        return PlainTextLength(chunk_.get() + position_, std::min(size_ - position_, room),
                               {true, encoding == TextEncoding::Utf8});
    }
    // How many bytes the LF, or CR LF pair, at this place of the chunk takes: 0 for none.
    std::size_t EndOfLineAt(std::size_t at) const
    {
        if (at < size_ && chunk_[at] == '\n') return 1;
        return at + 1 < size_ && chunk_[at] == '\r' && chunk_[at + 1] == '\n' ? 2 : 0;
    }
    void Refill()
    {
        if (position_ < size_ || end_) return;
        if (!chunk_) chunk_.reset(new std::uint8_t[kChunkBytes]);
        std::uint32_t read = 0;
        if (!files_.Read(file_, chunk_.get(), kChunkBytes, &read)) readError = files_.GetLastError();
        position_ = 0;
        noLineEndsBefore_ = 0;
        size_ = readError != kErrorSuccess ? 0 : read;
        end_ = size_ == 0;
    }
    std::optional<std::uint8_t> PeekByte()
    {
        Refill();
        if (position_ == size_) return std::nullopt;
        return chunk_[position_];
    }
    std::optional<std::uint8_t> NextByte()
    {
        const std::optional<std::uint8_t> byte = PeekByte();
        if (byte) ++position_;
        return byte;
    }
    // A lone last byte has no partner: it reads as the replacement character.
    char16_t Utf16Unit(std::uint8_t low)
    {
        const std::optional<std::uint8_t> high = NextByte();
        if (!high) return kReplacementCharacter;
        return static_cast<char16_t>(low | *high << 8);
    }
    char16_t Utf8Character(std::uint8_t lead)
    {
        if (lead < 0x80) return lead;
        const int count = ContinuationCount(lead);
        std::uint32_t code = lead & (0x7F >> (count + 1));
        for (int position = 1; position <= count; ++position) {
            // A byte that does not continue the sequence is left for the next character.
            const std::optional<std::uint8_t> byte = PeekByte();
            if (!byte || !ContinuationFits(lead, position, *byte)) break;
            ++position_;
            code = code << 6 | (*byte & 0x3F);
            if (position == count) return Utf16Of(code);
        }
        invalid = true;
        return kReplacementCharacter;
    }
    char16_t Utf16Of(std::uint32_t code)
    {
        if (code <= 0xFFFF) return static_cast<char16_t>(code);
        code -= 0x10000;
        lowSurrogate_ = static_cast<char16_t>(0xDC00 | (code & 0x3FF));
        return static_cast<char16_t>(0xD800 | code >> 10);
    }

    Files& files_;
    FileHandle file_;
    std::unique_ptr<std::uint8_t[]> chunk_;
    std::size_t position_ = 0;
    // Up to here in the chunk no line that TakePlainLines takes ends.
    std::size_t noLineEndsBefore_ = 0;
    std::size_t size_ = 0;
    bool end_ = false;
    char16_t lowSurrogate_ = 0;
};

namespace {

// A file without a byte-order mark is UTF-8 when all of it is valid UTF-8 and it holds a
// character beyond ASCII: read byte by byte, its text would not survive the rewrite.
bool HoldsUtf8(Files& files, const char16_t* path)
{
    FileGuard file(files);
    if (!files.OpenForRead(path, file.Receive())) return false;
    TextDecoder decoder(files, file.Get());
    decoder.encoding = TextEncoding::Utf8;
    do decoder.SkipAscii();
    while (!decoder.invalid && decoder.Next());
    return decoder.readError == kErrorSuccess && !decoder.invalid && decoder.beyondAscii;
}

}  // namespace

ByteOrderMark MarkAtStart(std::span<const std::uint8_t> start)
{
    if (StartsWith(start, {0xEF, 0xBB, 0xBF})) return ByteOrderMark::Utf8;
    if (StartsWith(start, {0xFF, 0xFE})) return ByteOrderMark::Utf16Le;
    if (StartsWith(start, {0xFE, 0xFF})) return ByteOrderMark::Utf16Be;
    return ByteOrderMark::None;
}

bool FitsSingleByteText(std::u16string_view text)
{
    return std::ranges::none_of(text, [](char16_t c) { return c > 0xFF; });
}

std::string SingleByteText(std::u16string_view text)
{
    std::string bytes(text.size(), '\0');
    std::ranges::transform(text, bytes.begin(), [](char16_t c) { return static_cast<char>(c); });
    return bytes;
}

std::u16string_view EncodingName(TextEncoding encoding, bool withMark)
{
    if (encoding == TextEncoding::SingleByte) return u"single-byte text";
    if (encoding == TextEncoding::Utf16Le) return u"UTF-16LE with a byte-order mark";
    return withMark ? u"UTF-8 with a byte-order mark" : u"UTF-8 without a byte-order mark";
}

LineReader::LineReader(Files& files) : files_(files) {}

LineReader::~LineReader() = default;

ReaderOpen LineReader::Open(const char16_t* path, TextInput input)
{
    if (!files_.OpenForRead(path, file_.Receive())) return ReaderOpen::Failed;
    decoder_ = std::make_unique<TextDecoder>(files_, file_.Get());
    mark_ = MarkAtStart(decoder_->Start());
    if (mark_ == ByteOrderMark::Utf16Be || (input == TextInput::SingleByte && mark_ == ByteOrderMark::Utf16Le)) {
        Close();
        return ReaderOpen::EncodingRefused;
    }
    if (input == TextInput::SingleByte) return ReaderOpen::Opened;
    if (mark_ == ByteOrderMark::Utf8) {
        decoder_->encoding = TextEncoding::Utf8;
        decoder_->Skip(3);
    } else if (mark_ == ByteOrderMark::Utf16Le) {
        decoder_->encoding = TextEncoding::Utf16Le;
        decoder_->Skip(2);
    } else if (HoldsUtf8(files_, path)) {
        decoder_->encoding = TextEncoding::Utf8;
    }
    return ReaderOpen::Opened;
}

ReadEncoding LineReader::Encoding() const
{
    return {decoder_ ? decoder_->encoding : TextEncoding::SingleByte, mark_};
}

std::optional<char16_t> LineReader::DecodedCharacter()
{
    if (pending_) return std::exchange(pending_, std::nullopt);
    const std::optional<char16_t> c = decoder_->Next();
    if (!c) readError_ = decoder_->readError;
    return c;
}

std::optional<char16_t> LineReader::NextCharacter()
{
    const std::optional<char16_t> c = DecodedCharacter();
    if (c != u'\r') return c;
    const std::optional<char16_t> next = DecodedCharacter();
    if (next == u'\n') return next;
    pending_ = next;
    return c;
}

bool LineReader::ReadLine(std::u16string& line, std::size_t capacity)
{
    line.clear();
    while (line.size() < capacity) {
        if (!pending_ && decoder_->TakePlainRun(line, capacity - line.size())) break;
        if (line.size() == capacity) break;
        const std::optional<char16_t> c = NextCharacter();
        if (!c) break;
        line.push_back(*c);
        if (*c == u'\n') break;
    }
    return !line.empty();
}

bool LineReader::ReadPlainLine(std::string& line, std::size_t capacity)
{
    return !pending_ && decoder_->TakePlainLine(line, capacity);
}

std::string_view LineReader::TakePlainLines()
{
    if (pending_) return {};
    return decoder_->TakePlainLines();
}

bool LineReader::Close()
{
    if (file_.Get() == 0) return true;
    return files_.Close(file_.Release());
}

bool LineWriter::Create(const char16_t* path, TextEncoding encoding)
{
    if (!files_.CreateNew(path, file_.Receive())) return false;
    encoding_ = encoding;
    // With room for a chunk written past the end.
    buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBytes + kPastTheEnd);
    if (encoding_ == TextEncoding::Utf16Le) {
        std::memcpy(buffer_.get(), "\xFF\xFE", 2);
        buffered_ = 2;
    }
    return true;
}

void LineWriter::WriteLine(std::u16string_view line)
{
    // Each character a CR LF pair at the most, in UTF-16LE four bytes.
    ForEachPiece(line, kWriteBytes / 4, [this](std::u16string_view piece) {
        if (error_ != kErrorSuccess) return;
        char* const start = Room(piece.size() * 4);
        char* const end =
            encoding_ == TextEncoding::Utf16Le ? PutUtf16WithCrLf(start, piece) : PutSingleByte(start, piece);
        if (end == nullptr) error_ = kErrorNoUnicodeTranslation;
        else Written(start, end);
    });
}

void LineWriter::WriteLine(std::string_view line)
{
    const bool wide = encoding_ == TextEncoding::Utf16Le;
    ForEachPiece(line, kWriteBytes / 4, [this, wide](std::string_view piece) {
        if (error_ != kErrorSuccess) return;
        char* const start = Room(piece.size() * (wide ? 4 : 2));
        Written(start, wide ? PutUtf16WithCrLf(start, piece) : PutWithCrLf(start, piece, '\0', CrLf::Every));
    });
}

void LineWriter::WriteBytes(std::string_view lines)
{
    // A CR LF pair cut between two pieces is still one: the piece before tells.
    char previous = '\0';
    ForEachPiece(lines, kWriteBytes / 2, [this, &previous](std::string_view piece) {
        if (error_ != kErrorSuccess) return;
        char* const start = Room(piece.size() * 2);
        Written(start, PutWithCrLf(start, piece, previous, CrLf::Bare));
        previous = piece.back();
    });
}

char* LineWriter::Room(std::size_t bytes)
{
    assert(bytes <= kWriteBytes);
    if (buffered_ + bytes > kWriteBytes) Flush();
    return buffer_.get() + buffered_;
}

void LineWriter::Written(const char* start, const char* end)
{
    buffered_ += static_cast<std::size_t>(end - start);
    assert(buffered_ <= kWriteBytes);
}

void LineWriter::Flush()
{
    if (error_ == kErrorSuccess && buffered_ != 0 &&
        !files_.Write(file_.Get(), buffer_.get(), static_cast<std::uint32_t>(buffered_)))
        error_ = files_.GetLastError();
    buffered_ = 0;
}

std::uint32_t LineWriter::Finish()
{
    Flush();
    // Bytes that never reached the disk would leave a file of zeros after a power cut.
    if (error_ == kErrorSuccess && !files_.Flush(file_.Get())) error_ = files_.GetLastError();
    if (!files_.Close(file_.Release()) && error_ == kErrorSuccess) error_ = files_.GetLastError();
    return error_;
}

}  // namespace zarvo
