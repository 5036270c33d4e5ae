#pragma once
// An open file of the rewrite, closed when its scope ends.
#include "frame/handle_guard.h"
#include "platform/files.h"

namespace zarvo {

using FileGuard = HandleGuard<Files, FileHandle, &Files::Close>;

}  // namespace zarvo
