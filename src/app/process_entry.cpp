#include "app/process_entry.h"

#include <exception>
#include <ostream>

#include "app/main_flow.h"
#include "host/text/fatal_error.h"

namespace lotrano {

int runLotranoProcess(const Platform& platform) {
  try {
    return runLotrano(platform);
  } catch (const FatalError& error) {
    // At a terminal, Ctrl-C has been echoed as "^C" after whatever stood on
    // the line: the interrupt's diagnostic takes a line of its own.
    if (error.code() == ErrorCode::kInterrupted && platform.inputIsTerminal) *platform.err << '\n';
    *platform.err << kProgramName << ": " << error.what() << '\n';
    return error.number();
  } catch (const std::exception& error) {
    *platform.err << kProgramName << ": internal error: " << error.what() << '\n';
    return 1;
  }
}

}  // namespace lotrano
