#include "host/platform/posix_interrupts.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include "host/text/interruption.h"

namespace lotrano {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class PosixInterrupts : public ::testing::Test {
 protected:
  void SetUp() override {
    clearInterrupt();
    ASSERT_EQ(pipe(ends_), 0);
  }
  void TearDown() override {
    clearInterrupt();
    close(ends_[0]);
    close(ends_[1]);
  }
  int ends_[2] = {-1, -1};
};

TEST_F(PosixInterrupts, WaitEndsWhenReadyOrWhenTheTimeIsUp) {
  pollfd input{ends_[0], POLLIN, 0};
  const auto start = Clock::now();
  EXPECT_EQ(waitUnlessInterrupted(&input, 1, 50), WaitOutcome::kTimedOut);
  EXPECT_GE(Clock::now() - start, 50ms);

  ASSERT_EQ(write(ends_[1], "k", 1), 1);
  EXPECT_EQ(waitUnlessInterrupted(&input, 1, -1), WaitOutcome::kReady);
  EXPECT_NE(input.revents & POLLIN, 0);
}

TEST_F(PosixInterrupts, WaitDoesNotBeginOnceAnInterruptIsNoted) {
  noteInterrupt(kTerminateSignal);
  pollfd input{ends_[0], POLLIN, 0};
  EXPECT_EQ(waitUnlessInterrupted(&input, 1, -1), WaitOutcome::kInterrupted);
  EXPECT_EQ(waitUnlessInterrupted(nullptr, 0, 10000), WaitOutcome::kInterrupted);
}

// In a child process, so that the test program keeps its own signal actions:
// the handlers are installed (after `ignored` is set to be ignored, as nohup
// does), readiness is announced, and the child waits without limit on a pipe
// nobody writes to. With `together`, the signals are held back until all of
// them have been sent, so that they are pending at once. The exit status is
// the signal noted, or 99 when the wait ended otherwise.
int signalNotedWhileWaiting(const std::vector<int>& sent, int ignored = 0, bool together = false) {
  int ready[2];
  int go[2];
  int idle[2];
  if (pipe(ready) != 0 || pipe(go) != 0 || pipe(idle) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    if (ignored != 0) std::signal(ignored, SIG_IGN);
    catchInterruptSignals();
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : sent) sigaddset(&held, signal);
    if (together) sigprocmask(SIG_BLOCK, &held, nullptr);
    char byte = 'r';
    [[maybe_unused]] const auto announced = write(ready[1], &byte, 1);
    if (together) {
      [[maybe_unused]] const auto sentAll = read(go[0], &byte, 1);
      sigprocmask(SIG_UNBLOCK, &held, nullptr);
    }
    pollfd input{idle[0], POLLIN, 0};
    const WaitOutcome outcome = waitUnlessInterrupted(&input, 1, -1);
    _exit(outcome == WaitOutcome::kInterrupted ? pendingInterrupt() : 99);
  }
  char byte = 0;
  [[maybe_unused]] const auto got = read(ready[0], &byte, 1);
  for (const int signal : sent) kill(child, signal);
  [[maybe_unused]] const auto released = write(go[1], "g", 1);
  int status = 0;
  waitpid(child, &status, 0);
  for (const int fd : {ready[0], ready[1], go[0], go[1], idle[0], idle[1]}) close(fd);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(PosixInterrupts, EachCaughtSignalEndsAWaitAndIsNoted) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EQ(signalNotedWhileWaiting({signal}), signal);
  }
  // Signals pending at once are noted in the kernel's order, the lowest
  // number first, not the other way round as stacked handlers would.
  EXPECT_EQ(signalNotedWhileWaiting({SIGTERM, SIGHUP, SIGINT}, 0, true), SIGHUP);
}

TEST_F(PosixInterrupts, ASignalIgnoredAtTheStartStaysIgnored) {
  EXPECT_EQ(signalNotedWhileWaiting({SIGHUP, SIGTERM}, SIGHUP), SIGTERM);
}

}  // namespace
}  // namespace lotrano
