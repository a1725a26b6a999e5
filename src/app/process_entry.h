// What the process entry does once it has prepared the platform: runs the
// dialogue and turns a fatal error (an interrupt included) into its one
// diagnostic line and exit status.
#pragma once

#include <string_view>

#include "host/platform/platform.h"

namespace lotrano {

inline constexpr std::string_view kProgramName = "lotrano";

// Runs the dialogue once and returns the process's exit status: 0 after
// either normal ending, otherwise the fatal error's number, with the line
// "lotrano: " and its message written to the platform's error stream (on a
// line of its own after an interrupt echoed at a terminal), or 1 and
// "lotrano: internal error: ..." for any other exception.
int runLotranoProcess(const Platform& platform);

}  // namespace lotrano
