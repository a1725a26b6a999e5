// Process entry of lotrano-verify: checks the reports named on the command
// line, and on a console window opened for this run alone (a report dropped
// onto the program) waits for a key before the window closes with it.
#include <iostream>
#include <string>
#include <vector>

#include "host/platform/platform.h"
#include "host/text/fatal_error.h"
#include "host/text/text_layout.h"
#include "host/text/text_stream.h"
#include "verify/verify_run.h"

#ifndef LOTRANO_VERSION
#error "LOTRANO_VERSION comes from the project's version in CMakeLists.txt"
#endif

namespace {

constexpr std::string_view kPressAnyKey = "Press any key";

int verify(const lotrano::Platform& platform, const std::vector<std::string>& arguments) {
  return lotrano::exitStatusOf(lotrano::kVerifyProgramName, *platform.err, false, [&] {
    return lotrano::runVerify(arguments, *platform.out, *platform.err, LOTRANO_VERSION);
  });
}

}  // namespace

int main(int argc, char** argv) {
  const lotrano::Platform platform = lotrano::systemPlatform();
  const int status = verify(platform, std::vector<std::string>(argv + 1, argv + argc));
  if (lotrano::consoleOpenedForThisRun()) {
    try {
      lotrano::TextSink console = lotrano::streamSink(
          *platform.out, std::string(lotrano::kConsoleName), lotrano::kConsoleLineEnd);
      lotrano::writeFree(console, kPressAnyKey);
      platform.waitForKey();
    } catch (const std::exception&) {
      // Nothing can be shown any more; the status stands.
    }
  }
  return status;
}
