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

class SimClock final : public Clock {
public:
    explicit SimClock(SimLedger& ledger) : ledger_(ledger) {}
    void GetLocalTime(SystemTime* time) override;
    SystemTime now{2026, 12, 1, 7, 9, 30, 15, 250};

private:
    SimLedger& ledger_;
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
    SimClock clock{ledger};

private:
    Platform platform_{installer, registry, files, processes, desktop, clock};
};

}  // namespace zarvo::sim
