#include "host/platform/windows_interrupts.h"

#include <atomic>

#include "host/text/interruption.h"

namespace lotrano {
namespace {

// Signalled once an interrupt is noted; never reset.
HANDLE interruptEvent = nullptr;
DWORD mainThreadId = 0;
HANDLE mainThread = nullptr;
// True while the main thread is inside a read of its input.
std::atomic<bool> readingInput{false};

// Windows ends the process when the handler of a closed console returns, or
// five seconds after the event: the main thread has this long to clean up
// and end the process itself.
constexpr DWORD kCloseGraceMilliseconds = 4000;
constexpr DWORD kCancelRetryMilliseconds = 50;
// How long a read that ended without input waits for the handler's note.
constexpr DWORD kAbortedReadGraceMilliseconds = 200;

BOOL CALLBACK closeVisibleWindow(HWND window, LPARAM) {
  if (IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Cuts short the read the main thread is in, if any; true when it was in one.
bool cancelInputRead() {
  if (!readingInput.load() || mainThread == nullptr) return false;
  CancelSynchronousIo(mainThread);
  return true;
}

BOOL WINAPI onConsoleEvent(DWORD event) {
  const bool closing =
      event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
  if (!closing && event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  noteInterrupt(closing ? kHangUpSignal : kInterruptSignal);
  if (interruptEvent != nullptr) SetEvent(interruptEvent);
  EnumThreadWindows(mainThreadId, closeVisibleWindow, 0);
  cancelInputRead();
  if (closing) {
    // The process must not end before the main thread's cleanup: wait, and
    // cut short a read it enters meanwhile.
    for (DWORD waited = 0; waited < kCloseGraceMilliseconds; waited += kCancelRetryMilliseconds) {
      Sleep(kCancelRetryMilliseconds);
      cancelInputRead();
    }
  }
  return TRUE;
}

}  // namespace

void catchConsoleEvents() {
  interruptEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  mainThreadId = GetCurrentThreadId();
  mainThread = OpenThread(THREAD_TERMINATE, FALSE, mainThreadId);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool waitUnlessInterrupted(HANDLE handle, DWORD milliseconds) {
  throwIfInterrupted();
  HANDLE handles[2];
  DWORD count = 0;
  if (handle != nullptr) handles[count++] = handle;
  if (interruptEvent != nullptr) handles[count++] = interruptEvent;
  if (count == 0) {
    Sleep(milliseconds);
    return false;
  }
  const DWORD outcome = WaitForMultipleObjects(count, handles, FALSE, milliseconds);
  throwIfInterrupted();
  return handle != nullptr && outcome == WAIT_OBJECT_0;
}

void sleepUnlessInterrupted(std::int32_t milliseconds) {
  waitUnlessInterrupted(nullptr, static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0));
}

InputReadInProgress::InputReadInProgress() { readingInput.store(true); }
InputReadInProgress::~InputReadInProgress() { readingInput.store(false); }

void awaitInterruptNote() {
  if (interruptEvent != nullptr) WaitForSingleObject(interruptEvent, kAbortedReadGraceMilliseconds);
}

}  // namespace lotrano
