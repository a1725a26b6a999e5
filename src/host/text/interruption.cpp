#include "host/text/interruption.h"

#include <string>

#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

// The exit status of an interrupt, as shells report a death by that signal.
constexpr int kSignalStatusBase = 128;

}  // namespace

void noteInterrupt(int signal) noexcept {
  int none = 0;
  detail::notedInterrupt.compare_exchange_strong(none, signal);
}

void clearInterrupt() noexcept { detail::notedInterrupt.store(0); }

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

void throwInterrupt(int signal) {
  std::string line(errorText(ErrorCode::kInterrupted));
  line += " (signal " + std::to_string(signal);
  const std::string name = signalName(signal);
  if (!name.empty()) line += ", " + name;
  line += ")";
  throw FatalError(ErrorCode::kInterrupted, kSignalStatusBase + signal, line);
}

}  // namespace lotrano
