#include "report.h"

#include <nlohmann/json.hpp>

#include <algorithm>

#include "dry_run_text.h"

namespace zarvo::check {
namespace {

using nlohmann::json;

std::size_t Count(const Findings& findings, Severity severity)
{
    return static_cast<std::size_t>(
        std::ranges::count_if(findings, [severity](const Finding& finding) { return finding.severity == severity; }));
}

std::string Counted(std::size_t count, const char* what)
{
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

const char* SeverityName(Severity severity)
{
    return severity == Severity::Error ? "error" : "warning";
}

json PropertiesJson(const std::vector<PropertyValue>& properties)
{
    json list = json::array();
    for (const PropertyValue& property : properties) list.push_back({{"name", property.name}, {"value", property.value}});
    return list;
}

json ActionJson(const ActionRun& run)
{
    json components = json::array();
    for (const ComponentRequest& request : run.components)
        components.push_back({{"component", request.component}, {"state", request.state}});
    return {{"action", run.action},
            {"customAction", run.customAction},
            {"given", PropertiesJson(run.given)},
            {"answer", run.answer},
            {"stops", run.stops},
            {"log", run.log},
            {"properties", PropertiesJson(run.properties)},
            {"components", components}};
}

json DryRunJson(const std::optional<DryRun>& dry)
{
    if (!dry) return nullptr;
    json actions = json::array();
    for (const ActionRun& run : dry->actions) actions.push_back(ActionJson(run));
    return {{"actions", actions}};
}

}  // namespace

bool Report::HasErrors() const
{
    return Count(findings, Severity::Error) != 0;
}

std::string ReportText(const Report& report)
{
    std::string text;
    for (const Finding& finding : report.findings)
        text += report.package + ": " + SeverityName(finding.severity) + " " + finding.rule + ": " + finding.where +
                ": " + finding.message + "\n";
    if (report.dryRun) text += DryRunText(*report.dryRun);
    text += report.package + ": " + Counted(Count(report.findings, Severity::Error), "error") + ", " +
            Counted(Count(report.findings, Severity::Warning), "warning") + "\n";
    return text;
}

std::string ReportJson(const Report& report)
{
    json findings = json::array();
    for (const Finding& finding : report.findings)
        findings.push_back({{"severity", SeverityName(finding.severity)},
                            {"rule", finding.rule},
                            {"where", finding.where},
                            {"message", finding.message}});
    const json document = {{"package", report.package},
                           {"errors", Count(report.findings, Severity::Error)},
                           {"warnings", Count(report.findings, Severity::Warning)},
                           {"findings", findings},
                           {"dryRun", DryRunJson(report.dryRun)}};
    // Text that is not UTF-8 is printed with U+FFFD rather than stop the report.
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace zarvo::check
