// The real binary interrupted by a signal at the points where a run waits or
// writes: at each dialog, in the seeding wait, between the batches of a
// large report, and at the closing key wait. Each signal is sent once the
// output shows that the program stands at that point. The run must end as a
// fatal error there would, with 128 + the signal's number and one diagnostic
// line: before the report's header no result file is left, after it the lines
// written so far stay, whole, and no seed file records an unfinished draw.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <set>
#include <string>
#include <vector>

#include "session/binary_session.h"
#include "support/file_access.h"
#include "support/tree_snapshot.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Cancel the group chooser, type the group G of 4 students, exam problem 1,
// set 1, the range 1 to 6.
const std::string kFrontAnswers = "\nG\n4\n1\n1\n1 6\n";
// The seed file of an earlier allocation, whose report has been filed away:
// it keeps the base name taken, so the run writes the variant [1].
const std::string kSeed = "Seed_1 (1-6) Grupa G.dat";
const std::string kEarlierSeed = " seed_1:\r\n          11          22\r\n";
const std::string kResult = "Probleme Examen Nr_1 (1-6) Grupa G[1].rez";
const std::string kNewSeed = "Seed_1 (1-6) Grupa G[1].dat";

constexpr std::string_view kAllocationPrompt = " Noua alocare (char#R,r) sau re-alocare(R,r): ";
constexpr std::string_view kChooserPrompt = "(linie goala = Renunta): ";

const std::string kHeader =
    " Grupa: G\r\n Numar de Studenti:   4\r\n\r\n Problema de Examen Nr.: 1\r\n\r\n"
    " Set de Probleme: #1\r\n Numere Probleme: 1-6  (6 probleme)\r\n\r\n"
    " Nr_crt   Numar_Problema_Examen\r\n\r\n";

struct Signal {
  int number;
  const char* diagnostic;
};

const Signal kSignals[] = {
    {SIGINT, "lotrano: interrupted (signal 2, SIGINT)"},
    {SIGTERM, "lotrano: interrupted (signal 15, SIGTERM)"},
    {SIGHUP, "lotrano: interrupted (signal 1, SIGHUP)"},
};

std::size_t occurrences(const std::string& text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

using Ready = std::function<bool(const std::string& out, const std::string& err)>;

// One interrupted run: answers typed, the signal sent once `ready` holds.
struct Interrupted {
  int status = -1;
  std::string out;
  std::string err;
  std::string outAtSignal;
  std::chrono::steady_clock::duration signalToEnd{};
};

// The program itself unless another `binary` is given.
Interrupted interrupt(const fs::path& directory, const std::string& answers, const Ready& ready,
                      int signal, const std::function<void()>& beforeSignal = {},
                      const std::string& binary = kLotrano) {
  Interrupted run;
  LiveSession session(directory, {}, binary);
  EXPECT_TRUE(session.started());
  session.type(answers);
  EXPECT_TRUE(session.waitUntil(ready)) << "out:\n" << session.out() << "\nerr:\n" << session.err();
  if (beforeSignal) beforeSignal();
  run.outAtSignal = session.out();
  const auto sent = std::chrono::steady_clock::now();
  session.signal(signal);
  run.status = session.finish();
  run.signalToEnd = std::chrono::steady_clock::now() - sent;
  run.out = session.out();
  run.err = session.err();
  return run;
}

// The checks every interrupted run shares: its status, its one diagnostic
// line, nothing more on the console, and the files in its folder.
void expectInterrupted(const Interrupted& run, const Signal& signal, const TreeSnapshot& before,
                       const fs::path& directory, const std::set<std::string>& added) {
  EXPECT_EQ(run.status, 128 + signal.number) << run.err;
  EXPECT_EQ(diagnosticLines(run.err), std::vector<std::string>{signal.diagnostic}) << run.err;
  EXPECT_TRUE(run.err.ends_with(std::string(signal.diagnostic) + "\n")) << run.err;
  EXPECT_EQ(run.out, run.outAtSignal) << "nothing is written after the interrupt";
  EXPECT_EQ(treeChanges(before, snapshotTree(directory), added), "");
}

TEST(InterruptSession, BeforeTheReportsHeaderNoResultFileIsLeft) {
  const struct {
    const char* what;
    std::string answers;
    Ready ready;
    bool resultWaiting;  // the result file stands while the program waits
  } points[] = {
      {"at the group chooser", "",
       [](const std::string&, const std::string& err) { return err.ends_with(kChooserPrompt); },
       false},
      {"at the allocation question", kFrontAnswers,
       [](const std::string& out, const std::string&) { return out.ends_with(kAllocationPrompt); },
       true},
      {"at the seed-file chooser", kFrontAnswers + "r\n",
       [](const std::string&, const std::string& err) {
         return err.find("== Selecteza Fisierul Seed ==") != std::string::npos &&
                err.ends_with(kChooserPrompt);
       },
       true},
  };
  for (const auto& point : points) {
    for (const Signal& signal : kSignals) {
      SCOPED_TRACE(std::string(point.what) + ", " + signal.diagnostic);
      ScratchDirectory scratch(ScratchDirectory::kStayOutside);
      writeWholeFile(scratch.path() / kSeed, kEarlierSeed);
      const TreeSnapshot before = snapshotTree(scratch.path());
      const Interrupted run =
          interrupt(scratch.path(), point.answers, point.ready, signal.number,
                    [&] { EXPECT_EQ(fs::exists(scratch.path() / kResult), point.resultWaiting); });
      expectInterrupted(run, signal, before, scratch.path(), {});
    }
  }
}

TEST(InterruptSession, SeedingWaitEndsAtOnceAndLeavesTheHeader) {
  for (const Signal& signal : kSignals) {
    SCOPED_TRACE(signal.diagnostic);
    ScratchDirectory scratch(ScratchDirectory::kStayOutside);
    writeWholeFile(scratch.path() / kSeed, kEarlierSeed);
    const TreeSnapshot before = snapshotTree(scratch.path());
    const Interrupted run = interrupt(
        scratch.path(), kFrontAnswers + "\n",
        [](const std::string& out, const std::string&) {
          return out.ends_with(" Waiting 0.8 sec ...\n");
        },
        signal.number);
    expectInterrupted(run, signal, before, scratch.path(), {kResult});
    // The wait is cut short, not slept to its end (800 ms) and stopped at the
    // next line written.
    EXPECT_LT(run.signalToEnd, 600ms);
    EXPECT_EQ(readWholeFile(scratch.path() / kResult), kHeader);
    EXPECT_TRUE(writable(scratch.path() / kResult)) << "an unfinished report stays writable";
  }
}

TEST(InterruptSession, AtTheClosingKeyWaitTheRunIsComplete) {
  for (const Signal& signal : kSignals) {
    SCOPED_TRACE(signal.diagnostic);
    ScratchDirectory scratch(ScratchDirectory::kStayOutside);
    writeWholeFile(scratch.path() / kSeed, kEarlierSeed);
    const TreeSnapshot before = snapshotTree(scratch.path());
    const Interrupted run = interrupt(
        scratch.path(), kFrontAnswers + "\n",
        [](const std::string& out, const std::string&) {
          return out.ends_with(" Press any key\n");
        },
        signal.number, {}, kLotranoWithoutWait);
    expectInterrupted(run, signal, before, scratch.path(), {kResult, kNewSeed});
    const std::string report = readWholeFile(scratch.path() / kResult);
    EXPECT_TRUE(report.starts_with(kHeader)) << report;
    EXPECT_NE(report.find("\r\n (Numar de probleme: 2)\r\n"), std::string::npos) << report;
    EXPECT_FALSE(writable(scratch.path() / kResult)) << "a finished report is read-only";
  }
}

// The seed entries of a re-allocation of 3000 students over 0 to 999: three
// batches of 1000.
const std::string kLargeAnswers = "\nG\n3000\n1\n1\n0 999\nr\nfeed.dat\n";
const std::string kLargeResult = "Probleme Examen Nr_1 (0-999) Grupa G.rez";
const std::string kFirstEntry = " seed_1:\r\n  1161390960         496\r\n";
const std::string kLaterEntries =
    " seed_2:\r\n  1214081904         496\r\n seed_3:\r\n  1266641776         496\r\n";

// Opens the named pipe for writing once the program has opened it for
// reading; -1 when it does not within the time.
int openPipeWriter(const fs::path& fifo) {
  const auto end = std::chrono::steady_clock::now() + 30s;
  while (std::chrono::steady_clock::now() < end) {
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    std::this_thread::sleep_for(10ms);
  }
  return -1;
}

TEST(InterruptSession, BetweenTheBatchesOfALargeReportItsLinesSoFarStayWhole) {
  // The whole report of the same re-allocation, from a seed file on disk.
  ScratchDirectory reference(ScratchDirectory::kStayOutside);
  writeWholeFile(reference.path() / "feed.dat", kFirstEntry + kLaterEntries);
  const SessionResult whole = runLotranoBinary(reference.path(), kLargeAnswers + "\n");
  ASSERT_EQ(whole.status, 0) << whole.err;
  const std::string fullReport = readWholeFile(reference.path() / kLargeResult);
  // The header's ten lines and the first batch's 1000 rows.
  std::size_t firstBatchEnd = 0;
  for (int line = 0; line < 1010; ++line)
    firstBatchEnd = fullReport.find("\r\n", firstBatchEnd) + 2;
  const std::string firstBatch = fullReport.substr(0, firstBatchEnd);
  const std::size_t lastRow = firstBatch.rfind("\r\n", firstBatch.size() - 3) + 2;
  ASSERT_TRUE(firstBatch.substr(lastRow).starts_with("1000     ")) << firstBatch.substr(lastRow);

  for (const Signal& signal : kSignals) {
    SCOPED_TRACE(signal.diagnostic);
    // The seed file is a named pipe fed one entry: the program draws and
    // writes the first batch, shows the second batch's size, and waits for
    // the second entry.
    ScratchDirectory scratch(ScratchDirectory::kStayOutside);
    ASSERT_EQ(mkfifo((scratch.path() / "feed.dat").c_str(), 0600), 0);
    const TreeSnapshot before = snapshotTree(scratch.path());
    int writer = -1;
    LiveSession session(scratch.path());
    session.type(kLargeAnswers);
    writer = openPipeWriter(scratch.path() / "feed.dat");
    ASSERT_GE(writer, 0) << session.err();
    [[maybe_unused]] const auto written = write(writer, kFirstEntry.data(), kFirstEntry.size());
    ASSERT_TRUE(session.waitUntil([](const std::string& out, const std::string&) {
      return occurrences(out, " Size:") == 2;
    })) << session.out();
    const std::string outAtSignal = session.out();
    session.signal(signal.number);
    // Should the signal come before the read begins, the read ends with the
    // pipe's end; the interrupt is still the reason given.
    close(writer);
    const int status = session.finish();

    EXPECT_EQ(status, 128 + signal.number) << session.err();
    EXPECT_EQ(diagnosticLines(session.err()), std::vector<std::string>{signal.diagnostic});
    EXPECT_EQ(session.out(), outAtSignal);
    EXPECT_EQ(treeChanges(before, snapshotTree(scratch.path()), {kLargeResult}), "");
    const std::string report = readWholeFile(scratch.path() / kLargeResult);
    EXPECT_EQ(report.size(), firstBatch.size());
    EXPECT_TRUE(report == firstBatch)
        << report.substr(report.size() - std::min<std::size_t>(report.size(), 200));
    EXPECT_TRUE(writable(scratch.path() / kLargeResult));
  }
}

TEST(InterruptSession, ASecondSignalDuringTheCleanupChangesNothing) {
  ScratchDirectory scratch(ScratchDirectory::kStayOutside);
  writeWholeFile(scratch.path() / kSeed, kEarlierSeed);
  const TreeSnapshot before = snapshotTree(scratch.path());
  LiveSession session(scratch.path());
  session.type(kFrontAnswers);
  ASSERT_TRUE(session.waitUntil(
      [](const std::string& out, const std::string&) { return out.ends_with(kAllocationPrompt); }));
  // SIGTERM's higher number: were both pending at once, SIGINT would still
  // be handled first.
  session.signal(SIGINT);
  session.signal(SIGTERM);
  EXPECT_EQ(session.finish(), 130) << session.err();
  EXPECT_EQ(diagnosticLines(session.err()),
            std::vector<std::string>{"lotrano: interrupted (signal 2, SIGINT)"});
  EXPECT_EQ(treeChanges(before, snapshotTree(scratch.path()), {}), "");
}

// lotrano-verify waiting to open a report (a named pipe nobody writes to)
// ends as lotrano does, under its own name, and leaves the folder as it was.
TEST(InterruptSession, VerifyWaitingForAReportEndsWithTheSignalsLine) {
  const struct {
    int number;
    const char* line;
  } cases[] = {
      {SIGTERM, "lotrano-verify: interrupted (signal 15, SIGTERM)"},
      {SIGINT, "lotrano-verify: interrupted (signal 2, SIGINT)"},
      {SIGHUP, "lotrano-verify: interrupted (signal 1, SIGHUP)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    ScratchDirectory scratch(ScratchDirectory::kStayOutside);
    const std::string report = "Probleme Examen Nr_1 (1-6) Grupa G.rez";
    ASSERT_EQ(mkfifo((scratch.path() / report).c_str(), 0644), 0);
    const TreeSnapshot before = snapshotTree(scratch.path());
    LiveSession session(scratch.path(), {}, LOTRANO_VERIFY_BINARY, {report});
    ASSERT_TRUE(session.started());
    // The kernel names the wait of an open of a pipe without a writer; where
    // it does not say, two seconds leave the program time to get there.
    const auto start = std::chrono::steady_clock::now();
    const std::string wchan = "/proc/" + std::to_string(session.pid()) + "/wchan";
    session.waitUntil([&](const std::string&, const std::string&) {
      return readWholeFile(wchan) == "wait_for_partner" ||
             std::chrono::steady_clock::now() - start > 2s;
    });
    session.signal(c.number);
    EXPECT_EQ(session.finish(), 128 + c.number) << session.err();
    EXPECT_EQ(session.out(), "");
    EXPECT_EQ(session.err(), std::string(c.line) + "\n");
    EXPECT_EQ(treeChanges(before, snapshotTree(scratch.path()), {}), "");
  }
}

}  // namespace
