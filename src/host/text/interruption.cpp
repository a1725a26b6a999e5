#include "host/text/interruption.h"

#include <atomic>
#include <string>

#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

// Lock-free, so that a signal handler may touch it.
std::atomic<int> noted{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The exit status of an interrupt, as shells report a death by that signal.
constexpr int kSignalStatusBase = 128;

}  // namespace

void noteInterrupt(int signal) noexcept {
  int none = 0;
  noted.compare_exchange_strong(none, signal);
}

int pendingInterrupt() noexcept { return noted.load(); }

void clearInterrupt() noexcept { noted.store(0); }

const char* signalName(int signal) noexcept {
  switch (signal) {
    case kHangUpSignal:
      return "SIGHUP";
    case kInterruptSignal:
      return "SIGINT";
    case kTerminateSignal:
      return "SIGTERM";
    default:
      return "";
  }
}

void throwIfInterrupted() {
  const int signal = pendingInterrupt();
  if (signal == 0) return;
  std::string line = "lotrano: ";
  line += errorText(ErrorCode::kInterrupted);
  line += " (signal " + std::to_string(signal);
  const std::string name = signalName(signal);
  if (!name.empty()) line += ", " + name;
  line += ")";
  throw FatalError(ErrorCode::kInterrupted, kSignalStatusBase + signal, line);
}

}  // namespace lotrano
