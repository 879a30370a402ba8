// The setup run: banner, game directory, Windows directory, settings file.
#pragma once

#include <string_view>

#include "setup/core/setup_platform.h"

namespace setwright {

// Runs once from start to end and returns the exit status: 0 once the settings file is in place,
// 1 after the first failure, which is reported on standard output. `moduleName` is the program's
// own file name, printed in the report.
int RunSetup(SetupPlatform& platform, std::string_view moduleName);

}  // namespace setwright
