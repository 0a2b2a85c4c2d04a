#pragma once
// The commands of vantrix-cli. Errors are exceptions: TUsageError for the
// command line (exit 2), anything else for the work (exit 1).

#include "Options.h"

namespace vantrix {

int RunCommand(const TCliOptions& options);

}  // namespace vantrix
