#pragma once
// A substitution command carried out by an engine: its target rewritten through "<target>.tmp",
// with the counts of the engine's rows.
#include <span>

#include "substitution/actions/substitution_command.h"
#include "substitution/files/file_rewrite.h"

namespace zarvo {

template <class Engine>
RewriteReport RewriteByCommand(Files& files, std::span<char16_t> command, ReplaceStep replace)
{
    const SubstitutionCommand parsed = ReadSubstitutionCommand(command);
    Engine engine(parsed);
    RewriteReport report = RewriteFile(files, parsed.target, TemporaryBeside(parsed.target).c_str(), engine, replace);
    report.replacements = engine.TakeCounts();
    return report;
}

}  // namespace zarvo
