#include "host/console.h"

#include "host/fatal_error.h"

namespace lotrano {

Console::Console(const Platform& platform)
    : out_(streamSink(*platform.out, std::string(kConsoleName), kConsoleLineEnd, *platform.err)),
      in_(
          [this, &platform](std::string& line) {
            const ReadStatus status = readStreamLine(*platform.in, line);
            // Without a terminal nothing echoes the Enter, so the open prompt's
            // line is ended here. At the end of input it stays open.
            if (status == ReadStatus::kLine) out_.endLineAfterInput(platform.inputIsTerminal);
            return status;
          },
          std::string(kConsoleName)) {}

}  // namespace lotrano
