#include "dry_run_text.h"

namespace zarvo::check {
namespace {

constexpr char kIndent[] = "  ";

std::string Heading(const ActionRun& run)
{
    std::string line = "dry run: ";
    line += run.customAction.empty() || run.customAction == run.action
                ? run.action
                : run.customAction + " (" + run.action + ")";
    for (const PropertyValue& given : run.given)
        line += (&given == &run.given.front() ? " with " : ", ") + given.name + "=" + given.value;
    return line + " answered " + std::to_string(run.answer) + "\n";
}

}  // namespace

std::string DryRunText(const DryRun& dry)
{
    std::string text;
    for (const ActionRun& run : dry.actions) {
        text += Heading(run);
        for (const std::string& line : run.log) text += kIndent + line + "\n";
        for (const PropertyValue& property : run.properties)
            text += property.value.empty() ? kIndent + ("removes " + property.name) + "\n"
                                           : kIndent + ("sets " + property.name + "=" + property.value) + "\n";
        for (const ComponentRequest& request : run.components)
            text += kIndent + ("requests component " + request.component + " " + request.state) + "\n";
        if (run.stops) text += kIndent + std::string("stops the installation") + "\n";
    }
    return text;
}

}  // namespace zarvo::check
