// Process entry: runs the dialogue and turns a fatal error into its
// diagnostic line and exit status.
#include <iostream>

#include "app/main_flow.h"
#include "host/platform/platform.h"
#include "host/text/fatal_error.h"

int main() {
  try {
    return lotrano::runLotrano(lotrano::systemPlatform());
  } catch (const lotrano::FatalError& error) {
    std::cerr << error.what() << '\n';
    return error.number();
  } catch (const std::exception& error) {
    std::cerr << "lotrano: internal error: " << error.what() << '\n';
    return 1;
  }
}
