#include "substitution/file_rewrite.h"

namespace zarvo {

bool RewriteToTemporary(Files& files, const char16_t* target, const char16_t* temporary,
                        const RewriteFormat& format, const LineEdit& edit)
{
    LineReader reader(files);
    if (!reader.Open(target, format.input)) return false;
    LineWriter writer(files);
    if (!writer.Create(temporary, format.output)) return false;
    std::u16string line;
    line.reserve(format.lineCapacity + 1);
    while (reader.ReadLine(line, format.lineCapacity)) {
        edit(line);
        writer.WriteLine(line);
    }
    const bool readWhole = !reader.Failed();
    reader.Close();
    return writer.Finish() && readWhole;
}

void MoveOverTarget(Files& files, const char16_t* temporary, const char16_t* target)
{
    files.Move(temporary, target, kMoveFileReplaceExisting);
}

void RewriteBeside(Files& files, const char16_t* target, const RewriteFormat& format,
                   const LineEdit& edit, ReplaceStep replace)
{
    const std::u16string temporary = std::u16string(target) + u".tmp";
    if (RewriteToTemporary(files, target, temporary.c_str(), format, edit))
        replace(files, temporary.c_str(), target);
}

}  // namespace zarvo
