#pragma once
// What the checker prints: its findings, one per line like a compiler's, and the dry run; or
// all of it as one JSON document for a build server.
#include <optional>
#include <string>

#include "dry_run.h"
#include "finding.h"

namespace zarvo::check {

struct Report {
    std::string package;  // as the command line named it, UTF-8
    Findings findings;
    std::optional<DryRun> dryRun;

    bool HasErrors() const;
};

// "PACKAGE.msi: error ZC203: WHERE: MESSAGE" for each finding, the dry run, and a last line that
// counts them: "PACKAGE.msi: 1 error, 2 warnings".
std::string ReportText(const Report& report);

// {"package": ..., "errors": N, "warnings": N, "findings": [{"severity", "rule", "where", "message"}],
//  "dryRun": null or {"actions": [{"action", "customAction", "given", "answer", "log",
//  "properties", "components"}]}}
std::string ReportJson(const Report& report);

}  // namespace zarvo::check
