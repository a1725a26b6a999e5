// Interrupts on Windows: Ctrl-C, Ctrl-Break, and the console window closed.
// The console handler runs on a thread of its own, while the main thread
// goes on: the handler only notes the event, sets the wake-up event on which
// every wait of the main thread waits too, closes a dialog the main thread
// shows (as if cancelled) and cuts short a console read in progress. The main
// thread then meets the interrupt at its next check and cleans up itself.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>

namespace lotrano {

// Installs the console handler and makes the wake-up event, on the main
// thread, before its first wait.
void catchConsoleEvents();

// Waits until `handle` (nullptr for none) is signalled or the time is up
// (INFINITE: no limit); true when it was signalled. An interrupt, before the
// wait or during it, throws its fatal error.
bool waitUnlessInterrupted(HANDLE handle, DWORD milliseconds);

// The seeding wait, ended early by an interrupt.
void sleepUnlessInterrupted(std::int32_t milliseconds);

// Marks, for its lifetime, the main thread's read of its input, which an
// interrupt then cuts short.
class InputReadInProgress {
 public:
  InputReadInProgress();
  ~InputReadInProgress();
  InputReadInProgress(const InputReadInProgress&) = delete;
  InputReadInProgress& operator=(const InputReadInProgress&) = delete;
};

// For a console read that ended without input: Ctrl-C ends such a read at
// once, sometimes before the handler thread has noted it; this waits a
// moment for the note.
void awaitInterruptNote();

}  // namespace lotrano
