// The process entry's one place for fatal errors: the diagnostic line on the
// platform's error stream and the exit status.
#include "app/process_entry.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "fake_platform.h"
#include "host/text/fatal_error.h"
#include "support/scratch_directory.h"

namespace lotrano {
namespace {

TEST(ProcessEntry, TurnsEachEndingIntoItsStatusAndAtMostOneLine) {
  const FatalError interrupt(ErrorCode::kInterrupted, 130, "interrupted (signal 2, SIGINT)");
  const struct {
    const char* what;
    std::string input;
    bool terminal;
    std::function<void()> chooser;  // what the group dialog does; empty: cancelled
    int status;
    std::string err;
  } cases[] = {
      {"a finished run", "G\n2\n1\n1\n1 6\n\n", false, {}, 0, ""},
      {"input ended at the typed group",
       "",
       false,
       {},
       24,
       "lotrano: end-of-file during read (error 24), file: console\n"},
      {"an interrupt with piped input", "", false, [&] { throw interrupt; }, 130,
       "lotrano: interrupted (signal 2, SIGINT)\n"},
      {"an interrupt at a terminal, after its echoed ^C", "", true, [&] { throw interrupt; }, 130,
       "\nlotrano: interrupted (signal 2, SIGINT)\n"},
      {"a fault of the program", "", false, [] { throw std::logic_error("no batch"); }, 1,
       "lotrano: internal error: no batch\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDirectory scratch;
    FakePlatform fake(c.input);
    Platform platform = fake.platform();
    platform.inputIsTerminal = c.terminal;
    if (c.chooser) {
      platform.FileChooser = [&c](std::string_view) -> std::optional<std::string> {
        c.chooser();
        return std::nullopt;
      };
    }
    EXPECT_EQ(runLotranoProcess(platform), c.status);
    EXPECT_EQ(fake.err.str(), c.err);
  }
}

}  // namespace
}  // namespace lotrano
