// Interrupts on POSIX systems. The signals that stop a run (SIGINT, SIGTERM,
// SIGHUP) are caught without SA_RESTART; the handler only notes the signal
// (noteInterrupt) and writes a byte to a wake-up pipe. Every wait of the
// program polls that pipe beside what it waits for, so it ends at once both
// for a signal that comes while it waits and for one that came just before it
// began, which a wait relying on EINTR alone would sleep through.
#pragma once

#include <poll.h>

#include <cstddef>

namespace lotrano {

// Installs the handlers and makes the pipe; later calls change nothing. A
// signal that the program was started with ignored (SIGHUP under nohup)
// stays ignored. SIGPIPE and SIGXFSZ are ignored: a closed output or a
// file-size limit is a failed write, reported as such, not a silent death.
void catchInterruptSignals();

enum class WaitOutcome { kReady, kTimedOut, kInterrupted };

// Polls the `count` descriptors of `fds` (their revents set as poll() sets
// them) until one is ready, `timeoutMilliseconds` have passed (-1: no limit)
// or an interrupt is noted, before the wait or during it. A failure of poll()
// itself counts as ready, with POLLERR on every descriptor, so that the
// caller's read meets it. At most three descriptors.
WaitOutcome waitUnlessInterrupted(pollfd* fds, std::size_t count, int timeoutMilliseconds);

}  // namespace lotrano
