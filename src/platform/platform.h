#pragma once
// Everything an action may ask of Windows, handed to it as one value. The exported entry
// points build it over the real calls; tests build it over the simulated machine.
#include "clock.h"
#include "desktop.h"
#include "files.h"
#include "installer.h"
#include "processes.h"
#include "registry.h"

namespace zarvo {

struct Platform {
    Installer& installer;
    Registry& registry;
    Files& files;
    Processes& processes;
    Desktop& desktop;
    Clock& clock;
};

}  // namespace zarvo
