// Runs the real lotrano binary in a directory with its standard input taken
// from a text, and captures what it wrote and how it ended.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "scratch_directory.h"

struct SessionResult {
  std::string out;
  std::string err;
  int status = -1;
};

inline SessionResult runLotranoBinary(const std::filesystem::path& directory,
                                      const std::string& input) {
  const auto in = directory / ".session-in";
  const auto out = directory / ".session-out";
  const auto err = directory / ".session-err";
  writeWholeFile(in, input);
  // Without a display the dialogs are the console stand-ins, even when the
  // tests are run from a desktop.
  const std::string command = "cd '" + directory.string() +
                              "' && env -u DISPLAY -u WAYLAND_DISPLAY '" LOTRANO_BINARY "' < '" +
                              in.string() + "' > '" + out.string() + "' 2> '" + err.string() + "'";
  const int raw = std::system(command.c_str());
  SessionResult result;
  result.out = readWholeFile(out);
  result.err = readWholeFile(err);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  for (const auto& file : {in, out, err}) std::filesystem::remove(file);
  return result;
}
