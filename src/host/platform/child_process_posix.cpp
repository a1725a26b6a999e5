#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

#include "host/platform/child_process.h"
#include "host/platform/posix_interrupts.h"
#include "host/text/interruption.h"

extern char** environ;

namespace lotrano {
namespace {

constexpr std::size_t kMostKept = 64 * 1024;

// Owns one file descriptor.
class Descriptor {
 public:
  Descriptor() = default;
  ~Descriptor() { reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void reset(int fd = -1) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

struct Pipe {
  Descriptor read, write;
};

// Both ends close on exec, so that a child gets only the end it is handed.
bool openPipe(Pipe& pipe) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  pipe.read.reset(ends[0]);
  pipe.write.reset(ends[1]);
  return true;
}

// Ends a started program unless it has been waited for: when an interrupt
// cuts the wait short, the dialog goes from the screen and leaves no zombie.
// It has nothing to keep, so it is killed outright.
class RunningChild {
 public:
  explicit RunningChild(pid_t pid) : pid_(pid) {}
  ~RunningChild() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  RunningChild(const RunningChild&) = delete;
  RunningChild& operator=(const RunningChild&) = delete;

  // Waits for the program's end; an interrupt throws its fatal error.
  std::optional<int> wait() {
    int status = 0;
    pid_t waited;
    do {
      waited = waitpid(pid_, &status, 0);
      if (waited < 0 && errno == EINTR) throwIfInterrupted();
    } while (waited < 0 && errno == EINTR);
    pid_ = -1;
    if (waited < 0) return std::nullopt;
    return status;
  }

 private:
  pid_t pid_;
};

// Reads both pipes until the child has closed both, keeping the first
// kMostKept bytes of each. An interrupt throws its fatal error.
void drain(Pipe& out, Pipe& err, std::string& outText, std::string& errText) {
  pollfd fds[2] = {{out.read.get(), POLLIN, 0}, {err.read.get(), POLLIN, 0}};
  std::string* texts[2] = {&outText, &errText};
  Descriptor* ends[2] = {&out.read, &err.read};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    if (waitUnlessInterrupted(fds, 2, -1) == WaitOutcome::kInterrupted) throwIfInterrupted();
    for (int k = 0; k < 2; ++k) {
      if (fds[k].fd < 0 || fds[k].revents == 0) continue;
      char buffer[4096];
      const ssize_t count = read(fds[k].fd, buffer, sizeof buffer);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) {
        ends[k]->reset();
        fds[k].fd = -1;  // poll() skips a negative descriptor
        continue;
      }
      std::string& text = *texts[k];
      const std::size_t room = kMostKept - std::min(kMostKept, text.size());
      text.append(buffer, std::min(room, static_cast<std::size_t>(count)));
    }
  }
}

}  // namespace

std::string findProgramOnPath(std::string_view name, const char* searchPath) {
  if (name.empty() || name.find('/') != std::string_view::npos || searchPath == nullptr) return {};
  std::string_view folders(searchPath);
  while (true) {
    const std::size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    if (folder.starts_with('/')) {
      std::string candidate(folder);
      if (!candidate.ends_with('/')) candidate += '/';
      candidate += name;
      struct stat status {};
      if (stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
          access(candidate.c_str(), X_OK) == 0) {
        return candidate;
      }
    }
    if (colon == std::string_view::npos) return {};
    folders.remove_prefix(colon + 1);
  }
}

std::optional<ProgramRun> runProgram(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  Pipe out, err;
  if (!openPipe(out) || !openPipe(err)) return std::nullopt;

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return std::nullopt;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.write.get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.write.get(), STDERR_FILENO);
  // This process ignores SIGPIPE and SIGXFSZ; the helper gets the defaults
  // back.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGXFSZ);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> argv;
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = -1;
  const int started = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  // Only the child may hold the write ends, or the reads below never end.
  out.write.reset();
  err.write.reset();
  if (started != 0) return std::nullopt;

  RunningChild running(child);
  ProgramRun run;
  drain(out, err, run.output, run.errors);
  const std::optional<int> status = running.wait();
  // Ctrl-C at the terminal reaches the dialog too: it ended by the same
  // interrupt, which is the run's end, not a failed dialog.
  throwIfInterrupted();
  if (!status) return run;  // ended unseen: counted as not exited
  run.exited = WIFEXITED(*status);
  run.exitStatus = run.exited ? WEXITSTATUS(*status) : -1;
  return run;
}

}  // namespace lotrano
