#include "app/process_entry.h"

#include "app/main_flow.h"
#include "host/text/fatal_error.h"

namespace lotrano {

int runLotranoProcess(const Platform& platform) {
  // At a terminal, Ctrl-C has been echoed as "^C" after whatever stood on
  // the line: the interrupt's diagnostic takes a line of its own.
  return exitStatusOf(kProgramName, *platform.err, platform.inputIsTerminal,
                      [&platform] { return runLotrano(platform); });
}

}  // namespace lotrano
