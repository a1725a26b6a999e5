// The program as most session tests run it: the system's platform in every
// respect but the seeding wait, which moves the millisecond clock on by the
// time it would have slept instead of sleeping. The draw then sees the same
// clock readings as after a real wait, and a test that is not about the wait
// does not sit through 0.8 s per batch. Built with the tests only; the
// interrupt and dialogue tests that are about the wait run the real program.
#include <cstdint>
#include <memory>

#include "app/process_entry.h"
#include "host/platform/platform.h"
#include "host/text/interruption.h"

int main() {
  lotrano::Platform platform = lotrano::systemPlatform();
  auto slept = std::make_shared<std::int64_t>(0);
  platform.sleep = [slept](std::int32_t milliseconds) {
    *slept += milliseconds;
    lotrano::throwIfInterrupted();
  };
  platform.millisecondsSinceStart = [clock = platform.millisecondsSinceStart, slept] {
    return clock() + *slept;
  };
  return lotrano::runLotranoProcess(platform);
}
