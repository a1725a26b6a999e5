// The console as the program's dialogue sees it: a sink for prompts and
// messages and a source of typed lines, tied together so that an answer read
// after an open prompt ends the prompt's line.
#pragma once

#include <iosfwd>

#include "host/text/text_stream.h"

namespace lotrano {

class Console {
 public:
  // `in` gives the typed answers and `out` takes the dialogue. When
  // `inputIsTerminal`, the terminal's echo of Enter ends a prompt's line;
  // otherwise the console ends it after reading the answer.
  Console(std::istream& in, std::ostream& out, bool inputIsTerminal);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  TextSink& out() { return out_; }
  LineSource& in() { return in_; }

 private:
  TextSink out_;
  LineSource in_;
};

}  // namespace lotrano
