// The console as the program's dialogue sees it: a sink for prompts and
// messages and a source of typed lines, tied together so that an answer read
// after an open prompt ends the prompt's line.
#pragma once

#include "host/platform.h"
#include "host/text_stream.h"

namespace lotrano {

class Console {
 public:
  explicit Console(const Platform& platform);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  TextSink& out() { return out_; }
  LineSource& in() { return in_; }

 private:
  TextSink out_;
  LineSource in_;
};

}  // namespace lotrano
