#pragma once
// Windows only: the real machine as one Platform, built on the stack of each entry point.
#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_installer.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"

namespace zarvo::win32 {

class Win32Platform {
public:
    Platform& platform() { return platform_; }

private:
    Win32Installer installer_;
    Win32Registry registry_;
    Win32Files files_;
    Win32Processes processes_;
    Win32Desktop desktop_;
    Win32Clock clock_;
    Platform platform_{installer_, registry_, files_, processes_, desktop_, clock_};
};

}  // namespace zarvo::win32
