// Process entry: runs the dialogue and turns a fatal error (an interrupt
// included) into its diagnostic line and exit status.
#include <iostream>

#include "app/main_flow.h"
#include "host/platform/platform.h"
#include "host/text/fatal_error.h"

int main() {
  const lotrano::Platform platform = lotrano::systemPlatform();
  try {
    return lotrano::runLotrano(platform);
  } catch (const lotrano::FatalError& error) {
    // At a terminal, Ctrl-C has been echoed as "^C" after whatever stood on
    // the line: the interrupt's diagnostic takes a line of its own.
    if (error.code() == lotrano::ErrorCode::kInterrupted && platform.inputIsTerminal) {
      std::cerr << '\n';
    }
    std::cerr << "lotrano: " << error.what() << '\n';
    return error.number();
  } catch (const std::exception& error) {
    std::cerr << "lotrano: internal error: " << error.what() << '\n';
    return 1;
  }
}
