#pragma once
// The machine every dry run starts from, before the command line adds its .reg files and
// files: 64-bit Windows 11 (23H2) as it stands once installed, with the keys and files that
// prerequisites and framework tests commonly read.
#include "dry_run.h"

namespace zarvo::check {

// Its registry (Windows NT\CurrentVersion and the .NET Framework 4.8.1 keys, in both views)
// and msi.dll in both system folders; no product is installed.
DryRunInput BaselineMachine();

}  // namespace zarvo::check
