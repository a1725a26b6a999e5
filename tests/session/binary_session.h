// Runs the real lotrano binary in a directory with its standard input taken
// from a text, and captures what it wrote and how it ended.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>

#include "support/scratch_directory.h"

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

// Where and how one run of the binary is made, for runs under a fault.
struct SessionSetup {
  std::filesystem::path directory;    // the run's current directory
  std::filesystem::path ioDirectory;  // its input, output and error files; not `directory`
  std::string prefix;                 // shell words before the binary, such as "ulimit -f 1;"
  std::string binary = LOTRANO_BINARY;
  // When not empty, a shell command (run in `directory`, beside the binary)
  // whose output is the run's input instead of the given text: it can change
  // the folder while the run waits for an answer.
  std::string inputCommand = {};
};

// Runs the binary through the shell, with `setup.prefix` in front of it, so
// that a limit or a change of user applies to the binary alone; nothing but
// the program's own files appears in `setup.directory`.
inline SessionResult runLotranoBinaryWith(const SessionSetup& setup, const std::string& input) {
  const auto in = setup.ioDirectory / "session-in";
  const auto out = setup.ioDirectory / "session-out";
  const auto err = setup.ioDirectory / "session-err";
  writeWholeFile(in, input);
  const std::string run =
      setup.prefix + " '" + setup.binary + "' > '" + out.string() + "' 2> '" + err.string() + "'";
  // As above, no dialog opens even when the tests run from a desktop.
  const std::string command =
      "cd '" + setup.directory.string() + "' && unset DISPLAY WAYLAND_DISPLAY; " +
      (setup.inputCommand.empty() ? run + " < '" + in.string() + "'"
                                  : "{ " + setup.inputCommand + "\n} | { " + run + "; }");
  const int raw = std::system(command.c_str());
  SessionResult result;
  result.out = readWholeFile(out);
  result.err = readWholeFile(err);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

// Starts such a run at once and lets it go on while the caller starts others.
inline std::future<SessionResult> startLotranoBinary(SessionSetup setup, std::string input) {
  return std::async(std::launch::async, [setup = std::move(setup), input = std::move(input)] {
    return runLotranoBinaryWith(setup, input);
  });
}
