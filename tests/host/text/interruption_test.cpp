#include "host/text/interruption.h"

#include <gtest/gtest.h>

#include <sstream>
#include <system_error>
#include <vector>

#include "host/text/fatal_error.h"
#include "host/text/text_stream.h"
#include "support/fatal_matchers.h"

namespace lotrano {
namespace {

// Each test starts and ends with no interrupt noted.
class Interruption : public ::testing::Test {
 protected:
  void SetUp() override { clearInterrupt(); }
  void TearDown() override { clearInterrupt(); }
};

TEST_F(Interruption, IsThrownWithTheSignalsNumberAndName) {
  throwIfInterrupted();  // nothing noted: nothing thrown
  const struct {
    int signal;
    const char* line;
    int status;
  } cases[] = {
      {kInterruptSignal, "interrupted (signal 2, SIGINT)", 130},
      {kTerminateSignal, "interrupted (signal 15, SIGTERM)", 143},
      {kHangUpSignal, "interrupted (signal 1, SIGHUP)", 129},
      {3, "interrupted (signal 3)", 131},
  };
  for (const auto& c : cases) {
    clearInterrupt();
    noteInterrupt(c.signal);
    EXPECT_EQ(pendingInterrupt(), c.signal);
    EXPECT_FATAL(throwIfInterrupted(), ErrorCode::kInterrupted, "");
    try {
      throwIfInterrupted();
    } catch (const FatalError& error) {
      EXPECT_STREQ(error.what(), c.line);
      EXPECT_EQ(error.number(), c.status);
    }
  }
}

TEST_F(Interruption, TheFirstOneNotedIsKept) {
  noteInterrupt(kInterruptSignal);
  noteInterrupt(kTerminateSignal);
  EXPECT_EQ(pendingInterrupt(), kInterruptSignal);
}

// A sink that keeps each piece it is given, and notes an interrupt once it
// has taken `interruptAfter` pieces.
struct RecordingSink {
  std::vector<std::string> pieces;
  std::size_t interruptAfter = 0;
  bool failing = false;

  TextSink sink() {
    return TextSink(
        [this](std::string_view bytes) {
          if (failing) return false;
          pieces.emplace_back(bytes);
          if (pieces.size() == interruptAfter) noteInterrupt(kTerminateSignal);
          return true;
        },
        "report.rez", kFileLineEnd, [this] { return !failing; });
  }
};

TEST_F(Interruption, StopsALongRunOfLinesAtALineBoundary) {
  RecordingSink recording;
  recording.interruptAfter = 3;
  TextSink sink = recording.sink();
  const auto writeRows = [&] {
    for (int row = 1; row <= 1000; ++row) sink.write("   " + std::to_string(row) + "   7", true);
  };
  EXPECT_FATAL(writeRows(), ErrorCode::kInterrupted, "");
  EXPECT_EQ(recording.pieces,
            (std::vector<std::string>{"   1   7\r\n", "   2   7\r\n", "   3   7\r\n"}));
}

TEST_F(Interruption, IsTheReasonOfAWriteOrFlushItCutShort) {
  RecordingSink recording;
  recording.failing = true;
  TextSink sink = recording.sink();
  // Without an interrupt a failed write is what it is.
  EXPECT_FATAL(sink.write("x", true), ErrorCode::kWriteError, "report.rez");
  EXPECT_FATAL(sink.flush(), ErrorCode::kWriteError, "report.rez");
  // With one, the write's failure is laid to it (checked after the write:
  // the write began before the interrupt was noted).
  TextSink interrupted(
      [](std::string_view) {
        noteInterrupt(kInterruptSignal);
        return false;
      },
      "console", kConsoleLineEnd, [] { return false; });
  EXPECT_FATAL(interrupted.write("x", true), ErrorCode::kInterrupted, "");
  EXPECT_FATAL(interrupted.flush(), ErrorCode::kInterrupted, "");
}

// A console whose read is cut short by an interrupt: the device reports a
// failure, or the end, once the interrupt is noted.
struct InterruptedBuffer : std::streambuf {
  bool fails = true;
  int_type underflow() override {
    noteInterrupt(kHangUpSignal);
    if (fails) throw std::ios_base::failure("read cut short");
    return traits_type::eof();
  }
};

TEST_F(Interruption, IsTheReasonOfAReadItCutShort) {
  for (const bool fails : {true, false}) {
    clearInterrupt();
    InterruptedBuffer buffer;
    buffer.fails = fails;
    std::istream in(&buffer);
    std::string line;
    EXPECT_FATAL(readStreamLine(in, line), ErrorCode::kInterrupted, "");
  }
  // A line read while an interrupt is noted is not handed on either: a long
  // file read line by line stops too.
  clearInterrupt();
  std::istringstream lines("1 Alfa\n2 Beta\n");
  std::string line;
  EXPECT_EQ(readStreamLine(lines, line), ReadStatus::kLine);
  noteInterrupt(kInterruptSignal);
  EXPECT_FATAL(readStreamLine(lines, line), ErrorCode::kInterrupted, "");
}

TEST_F(Interruption, IsTheReasonOfAnOpenItCutShort) {
  noteInterrupt(kTerminateSignal);
  EXPECT_FATAL(throwOpenError(std::make_error_code(std::errc::interrupted), "feed.dat"),
               ErrorCode::kInterrupted, "");
}

}  // namespace
}  // namespace lotrano
