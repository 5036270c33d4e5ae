#pragma once
// A whole simulated Windows machine, as one Platform for the actions and with every part
// open to the test that drives it.
#include "platform/platform.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_installer.h"
#include "platform/sim/sim_ledger.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"

namespace zarvo::sim {

// The local time stands still unless a test sets it; the tick count runs on with the time
// that passes on the machine's processes, in their sleeps and waits.
class SimClock final : public Clock {
public:
    SimClock(SimLedger& ledger, const SimProcesses& processes)
        : ledger_(ledger), processes_(processes) {}
    void GetLocalTime(SystemTime* time) override;
    std::uint32_t GetTickCount() override;
    SystemTime now{2026, 12, 1, 7, 9, 30, 15, 250};
    // The tick count before any time has passed.
    std::uint32_t startTicks = 3600000;

private:
    SimLedger& ledger_;
    const SimProcesses& processes_;
};

class SimPlatform {
public:
    SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    Platform& platform() { return platform_; }

    SimLedger ledger;
    SimFiles files{ledger};
    SimInstaller installer;
    SimRegistry registry{ledger};
    SimProcesses processes{ledger};
    SimDesktop desktop{ledger};
    SimClock clock{ledger, processes};

private:
    Platform platform_{installer, registry, files, processes, desktop, clock};
};

}  // namespace zarvo::sim
