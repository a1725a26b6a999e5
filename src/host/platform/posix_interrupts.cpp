#include "host/platform/posix_interrupts.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>

#include "host/text/interruption.h"

namespace lotrano {
namespace {

static_assert(SIGHUP == kHangUpSignal && SIGINT == kInterruptSignal && SIGTERM == kTerminateSignal);

// The pipe's write end, for the handler; set once, before any handler runs.
int wakeWrite = -1;
// Its read end, polled by every wait. It is never drained: once an interrupt
// is noted, every later wait ends at once too.
int wakeRead = -1;

// Async-signal-safe: an atomic store and write(2). The pipe does not block,
// so a flood of signals that fills it loses nothing but bytes.
void onInterruptSignal(int signal) {
  const int savedErrno = errno;
  noteInterrupt(signal);
  if (wakeWrite >= 0) {
    const char byte = 1;
    [[maybe_unused]] const auto written = write(wakeWrite, &byte, 1);
  }
  errno = savedErrno;
}

// The most descriptors a caller waits for at once (the two pipes of a dialog
// program), besides the wake-up pipe.
constexpr std::size_t kMostWaitedFor = 3;

}  // namespace

void catchInterruptSignals() {
  static bool caught = false;
  if (caught) return;
  caught = true;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead = ends[0];
    wakeWrite = ends[1];
  }
  constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction action {};
  action.sa_handler = onInterruptSignal;
  // Each handler runs with the others held back: signals pending at once
  // are then noted in the kernel's order (the lowest number first), not the
  // reverse, as handlers stacked on each other would.
  sigemptyset(&action.sa_mask);
  for (const int signal : kCaught) sigaddset(&action.sa_mask, signal);
  // No SA_RESTART: a read or a wait in progress returns with EINTR.
  action.sa_flags = 0;
  for (const int signal : kCaught) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  // A write that breaks a pipe or a file-size limit fails as a write, with
  // its fatal error and the report handled as after any other failed write,
  // instead of ending the process with a cut file and no diagnostic.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

WaitOutcome waitUnlessInterrupted(pollfd* fds, std::size_t count, int timeoutMilliseconds) {
  using Clock = std::chrono::steady_clock;
  count = std::min(count, kMostWaitedFor);
  std::array<pollfd, kMostWaitedFor + 1> polled{};
  std::copy_n(fds, count, polled.begin());
  polled[count] = {wakeRead, POLLIN, 0};  // poll() passes over a negative descriptor
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  while (true) {
    if (pendingInterrupt() != 0) return WaitOutcome::kInterrupted;
    int remaining = -1;
    if (timeoutMilliseconds >= 0) {
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      remaining = static_cast<int>(std::clamp<decltype(left)>(left, 0, timeoutMilliseconds));
    }
    const int ready = poll(polled.data(), static_cast<nfds_t>(count + 1), remaining);
    if (ready < 0 && errno == EINTR) continue;
    if (pendingInterrupt() != 0) return WaitOutcome::kInterrupted;
    if (ready == 0) {
      if (remaining == 0) return WaitOutcome::kTimedOut;
      continue;
    }
    for (std::size_t k = 0; k < count; ++k) {
      fds[k].revents = ready < 0 ? static_cast<short>(POLLERR) : polled[k].revents;
    }
    return WaitOutcome::kReady;
  }
}

}  // namespace lotrano
