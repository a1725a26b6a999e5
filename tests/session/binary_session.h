// Runs the real lotrano binary in a directory with its standard input taken
// from a text, and captures what it wrote and how it ended.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch_directory.h"
#include "support/text_lines.h"

// The program itself, and the same program with its seeding wait replaced
// by a step of its clock (tests/session/lotrano_without_wait.cpp): a run of
// the second draws exactly as one of the first, without sleeping 0.8 s per
// batch. Tests about the wait, or that need its time, run the first.
inline constexpr const char* kLotrano = LOTRANO_BINARY;
inline constexpr const char* kLotranoWithoutWait = LOTRANO_WITHOUT_WAIT_BINARY;

struct SessionResult {
  std::string out;
  std::string err;
  int status = -1;
};

// `text` as one word of a shell command, whatever characters it holds.
inline std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline SessionResult runLotranoBinary(const std::filesystem::path& directory,
                                      const std::string& input,
                                      const std::string& binary = kLotranoWithoutWait) {
  const auto in = directory / ".session-in";
  const auto out = directory / ".session-out";
  const auto err = directory / ".session-err";
  writeWholeFile(in, input);
  // Without a display the dialogs are the console stand-ins, even when the
  // tests are run from a desktop.
  const std::string command = "cd " + shellQuoted(directory.string()) +
                              " && env -u DISPLAY -u WAYLAND_DISPLAY " + shellQuoted(binary) +
                              " < " + shellQuoted(in.string()) + " > " + shellQuoted(out.string()) +
                              " 2> " + shellQuoted(err.string());
  const int raw = std::system(command.c_str());
  SessionResult result;
  result.out = readWholeFile(out);
  result.err = readWholeFile(err);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  for (const auto& file : {in, out, err}) std::filesystem::remove(file);
  return result;
}

// The lines of a run's error stream that are diagnostics of `program`: what
// ends a run, among the chooser's and the message box's lines.
inline std::vector<std::string> diagnosticLines(const std::string& err,
                                                const std::string& program = "lotrano") {
  std::vector<std::string> lines;
  for (std::string& line : linesOf(err)) {
    if (line.starts_with(program + ":")) lines.push_back(std::move(line));
  }
  return lines;
}

// Where and how one run of the binary is made, for runs under a fault.
struct SessionSetup {
  std::filesystem::path directory;    // the run's current directory
  std::filesystem::path ioDirectory;  // its input, output and error files; not `directory`
  std::string prefix;                 // shell words before the binary, such as "ulimit -f 1;"
  std::string binary = kLotranoWithoutWait;
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

// The binary running in a directory, its three standard streams on pipes held
// by the test: answers are typed while it runs, what it writes is read as it
// comes, so that a signal can be sent at a point the output shows. It starts
// with every signal at its default action (a test run from a background job
// would otherwise hand down an ignored SIGINT), without a display, and with
// the `settings` ("NAME=value") in its environment, and the `arguments` after
// the binary's name. A run still going when the object goes is killed.
class LiveSession {
 public:
  explicit LiveSession(const std::filesystem::path& directory,
                       const std::vector<std::string>& settings = {},
                       const std::string& binary = kLotrano,
                       std::vector<std::string> arguments = {}) {
    // Answers typed after the program has ended must not end the tests.
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    std::vector<std::string> environment;
    const auto replaced = [&settings](const std::string& entry) {
      const std::string name = entry.substr(0, entry.find('=') + 1);
      if (name == "DISPLAY=" || name == "WAYLAND_DISPLAY=") return true;
      for (const auto& setting : settings) {
        if (setting.starts_with(name)) return true;
      }
      return false;
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
      if (!replaced(*entry)) environment.emplace_back(*entry);
    }
    environment.insert(environment.end(), settings.begin(), settings.end());
    std::vector<char*> envp;
    for (auto& text : environment) envp.push_back(text.data());
    envp.push_back(nullptr);
    std::string path = binary;
    std::vector<char*> argv = {path.data()};
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, path.c_str(), &actions, &attributes, argv.data(), envp.data()) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
  }
  ~LiveSession() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (const int fd : {in_, out_, err_}) {
      if (fd >= 0) close(fd);
    }
  }
  LiveSession(const LiveSession&) = delete;
  LiveSession& operator=(const LiveSession&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  const std::string& out() const { return outText_; }
  const std::string& err() const { return errText_; }

  void type(const std::string& text) {
    [[maybe_unused]] const auto written = write(in_, text.data(), text.size());
  }
  // Ends the standard input, as the end of a piped file would.
  void endInput() {
    close(in_);
    in_ = -1;
  }
  void signal(int number) const { kill(pid_, number); }

  // Reads what the program writes until `ready` holds for its standard output
  // and error, or the time is up (false).
  bool waitUntil(const std::function<bool(const std::string& out, const std::string& err)>& ready,
                 std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!ready(outText_, errText_)) {
      if (std::chrono::steady_clock::now() > end || !readSome(100)) return false;
    }
    return true;
  }

  // Waits for the program's end and reads the rest of what it wrote: its
  // exit status, or -1 when a signal ended it or it did not end in time (it
  // is then killed).
  int finish(std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      int raw = 0;
      if (waitpid(pid_, &raw, WNOHANG) == pid_) {
        pid_ = -1;
        while (readSome(0)) {
        }
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
      }
      readSome(10);
    }
    return -1;
  }

 private:
  // Reads what is there within `milliseconds`; false once both streams have
  // ended (or at a timeout when nothing came).
  bool readSome(int milliseconds) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    std::string* texts[2] = {&outText_, &errText_};
    if (out_ < 0 && err_ < 0) return false;
    if (poll(fds, 2, milliseconds) <= 0) return milliseconds > 0;
    bool any = false;
    for (int k = 0; k < 2; ++k) {
      if (fds[k].revents == 0) continue;
      char bytes[65536];
      const auto count = read(fds[k].fd, bytes, sizeof bytes);
      if (count > 0) {
        texts[k]->append(bytes, static_cast<std::size_t>(count));
        any = true;
      } else {
        close(fds[k].fd);
        (k == 0 ? out_ : err_) = -1;
      }
    }
    return any || out_ >= 0 || err_ >= 0;
  }

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string outText_;
  std::string errText_;
};

// lotrano-verify run in `directory` with the arguments as they are, no shell
// between them, and nothing on its standard input.
inline SessionResult runVerifyBinary(const std::filesystem::path& directory,
                                     std::vector<std::string> arguments) {
  LiveSession run(directory, {}, LOTRANO_VERIFY_BINARY, std::move(arguments));
  run.endInput();
  SessionResult result;
  result.status = run.finish();
  result.out = run.out();
  result.err = run.err();
  return result;
}
