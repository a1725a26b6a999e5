#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "host/platform/child_process.h"
#include "support/scratch_directory.h"

namespace lotrano {
namespace {

namespace fs = std::filesystem;

std::optional<ProgramRun> shell(const std::string& script) {
  return runProgram({"/bin/sh", "-c", script});
}

TEST(ChildProcess, ArgumentsReachTheProgramAsTheyAreWithoutAShell) {
  ScratchDirectory scratch;
  const auto run = runProgram({"/usr/bin/printf", "[%s]", "a; touch pwned", "$(touch pwned)",
                               "`touch pwned`", "it's \"quoted\"", "two\nlines", ""});
  ASSERT_TRUE(run.has_value());
  EXPECT_TRUE(run->exited);
  EXPECT_EQ(run->exitStatus, 0);
  EXPECT_EQ(run->output,
            "[a; touch pwned][$(touch pwned)][`touch pwned`][it's \"quoted\"][two\nlines][]");
  EXPECT_FALSE(fs::exists(scratch.path() / "pwned"));
}

TEST(ChildProcess, ExitStatusSignalAndBothStreams) {
  const struct {
    const char* script;
    bool exited;
    int status;
    const char* output;
    const char* errors;
  } cases[] = {
      {"printf '/d/a.dat\\n'", true, 0, "/d/a.dat\n", ""},
      {"echo cannot open display >&2; exit 1", true, 1, "", "cannot open display\n"},
      {"printf out; printf err >&2; exit 255", true, 255, "out", "err"},
      {"kill -KILL $$", false, -1, "", ""},
      {"printf part; kill -TERM $$", false, -1, "part", ""},
      // Standard input is /dev/null: a read ends at once instead of waiting for the console.
      {"read line; echo $?", true, 0, "1\n", ""},
  };
  for (const auto& c : cases) {
    const auto run = shell(c.script);
    ASSERT_TRUE(run.has_value()) << c.script;
    EXPECT_EQ(run->exited, c.exited) << c.script;
    EXPECT_EQ(run->exitStatus, c.status) << c.script;
    EXPECT_EQ(run->output, c.output) << c.script;
    EXPECT_EQ(run->errors, c.errors) << c.script;
  }
}

TEST(ChildProcess, ChattyProgramNeverBlocksAndKeepsTheFirst64KiB) {
  // Far more than a pipe holds on either stream, the error stream first.
  const auto run = shell(
      "head -c 1000000 /dev/zero | tr '\\0' e >&2; printf done; "
      "head -c 200000 /dev/zero | tr '\\0' o");
  ASSERT_TRUE(run.has_value());
  EXPECT_EQ(run->exitStatus, 0);
  EXPECT_EQ(run->errors, std::string(64 * 1024, 'e'));
  EXPECT_EQ(run->output, "done" + std::string(64 * 1024 - 4, 'o'));
}

TEST(ChildProcess, HelperGetsTheDefaultBrokenPipeAndFileSizeSignals) {
  // The program ignores SIGPIPE and SIGXFSZ for itself; a helper must not
  // inherit that.
  const auto previousPipe = std::signal(SIGPIPE, SIG_IGN);
  const auto previousSize = std::signal(SIGXFSZ, SIG_IGN);
  const auto run = shell("grep '^SigIgn' /proc/self/status");
  std::signal(SIGPIPE, previousPipe);
  std::signal(SIGXFSZ, previousSize);
  ASSERT_TRUE(run.has_value());
  ASSERT_TRUE(run->output.starts_with("SigIgn:")) << run->output;
  const unsigned long long ignored = std::stoull(run->output.substr(7), nullptr, 16);
  EXPECT_EQ(ignored & (1ull << (SIGPIPE - 1)), 0u) << run->output;
  EXPECT_EQ(ignored & (1ull << (SIGXFSZ - 1)), 0u) << run->output;
}

TEST(ChildProcess, MissingProgramIsNotStarted) {
  EXPECT_FALSE(runProgram({"/nonexistent/zenity", "--error"}).has_value());
  EXPECT_FALSE(runProgram({}).has_value());
}

TEST(ChildProcess, ProgramFoundOnlyInAbsoluteFoldersAsAnExecutableFile) {
  ScratchDirectory scratch;
  const fs::path root = scratch.path();
  for (const char* folder : {"plain", "exec", "dir", "later"}) fs::create_directory(root / folder);
  writeWholeFile(root / "plain" / "zenity", "#!/bin/sh\n");  // not executable
  writeWholeFile(root / "exec" / "zenity", "#!/bin/sh\n");
  writeWholeFile(root / "later" / "zenity", "#!/bin/sh\n");
  writeWholeFile(root / "zenity", "#!/bin/sh\n");  // in the current directory
  for (const auto& file : {root / "exec" / "zenity", root / "later" / "zenity", root / "zenity"}) {
    fs::permissions(file, fs::perms::owner_exec, fs::perm_options::add);
  }
  fs::create_directory(root / "dir" / "zenity");
  const std::string r = root.string();
  const struct {
    std::string path;
    std::string found;
  } cases[] = {
      {r + "/plain:" + r + "/dir:" + r + "/exec:" + r + "/later", r + "/exec/zenity"},
      {r + "/exec/:" + r + "/later", r + "/exec/zenity"},
      {r + "/later:" + r + "/exec", r + "/later/zenity"},
      {"::.:plain:exec", ""},  // empty and relative folders mean the current one: skipped
      {r + "/plain:" + r + "/dir", ""},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(findProgramOnPath("zenity", c.path.c_str()), c.found) << c.path;
  EXPECT_EQ(findProgramOnPath("zenity", nullptr), "");
  EXPECT_EQ(findProgramOnPath("exec/zenity", r.c_str()), "") << "a name, not a path";
  EXPECT_EQ(findProgramOnPath("", (r + "/exec").c_str()), "");
}

}  // namespace
}  // namespace lotrano
