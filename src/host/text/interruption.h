// Interrupts from outside the program: Ctrl-C, Ctrl-Break, a request to
// terminate, a closed terminal or console window. Each stops the run as a
// fatal error at the same point would. The platform notes an interrupt here,
// from a signal handler or from a thread of its own, and wakes whatever the
// program waits for; every wait, every line read and every line written then
// checks for it and throws it as the FatalError whose number is 128 + the
// signal's number (130 for Ctrl-C).
#pragma once

#include <atomic>

namespace lotrano {

// Signal numbers as POSIX fixes them. Windows' console events are noted as
// the signals of the same meaning: Ctrl-C and Ctrl-Break as kInterruptSignal,
// a closed console window (or the end of the session) as kHangUpSignal.
inline constexpr int kHangUpSignal = 1;
inline constexpr int kInterruptSignal = 2;
inline constexpr int kTerminateSignal = 15;

namespace detail {
// The signal of the interrupt noted, 0 while there is none. Lock-free, so that
// a signal handler may set it; read by every line written, so it is read here.
inline std::atomic<int> notedInterrupt{0};
static_assert(std::atomic<int>::is_always_lock_free);
}  // namespace detail

// Notes an interrupt by its signal's number (above 0). Safe in a signal
// handler and on any thread: one lock-free atomic operation. The first
// interrupt noted is the one reported; later ones (a second Ctrl-C during the
// cleanup) change nothing.
void noteInterrupt(int signal) noexcept;

// The signal of the interrupt noted, or 0 when there is none.
inline int pendingInterrupt() noexcept { return detail::notedInterrupt.load(); }

// Throws the fatal error of the interrupt by `signal`: the diagnostic
// "interrupted (signal 2, SIGINT)" and the number 128 + signal.
[[noreturn]] void throwInterrupt(int signal);

// Throws the fatal error of the interrupt noted, if there is one.
inline void throwIfInterrupted() {
  if (const int signal = pendingInterrupt(); signal != 0) throwInterrupt(signal);
}

// The name of a signal of the list above ("SIGINT"), or an empty text.
const char* signalName(int signal) noexcept;

// Forgets the interrupt noted; for tests, which note interrupts of their own.
void clearInterrupt() noexcept;

}  // namespace lotrano
