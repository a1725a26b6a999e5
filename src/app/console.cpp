#include "app/console.h"

#include "host/text/fatal_error.h"

namespace lotrano {

Console::Console(std::istream& in, std::ostream& out, bool inputIsTerminal)
    : out_(streamSink(out, std::string(kConsoleName), kConsoleLineEnd)),
      in_(
          [this, &in, inputIsTerminal](std::string& line) {
            const ReadStatus status = readStreamLine(in, line);
            // Without a terminal nothing echoes the Enter, so the open prompt's
            // line is ended here. At the end of input it stays open.
            if (status == ReadStatus::kLine) out_.endLineAfterInput(inputIsTerminal);
            return status;
          },
          std::string(kConsoleName)) {}

}  // namespace lotrano
