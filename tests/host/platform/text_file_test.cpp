#include "host/platform/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "host/text/fatal_error.h"
#include "host/text/interruption.h"
#include "support/fatal_matchers.h"
#include "support/scratch_directory.h"
#include "support/tree_snapshot.h"

namespace lotrano {
namespace {

TEST(TextFile, FilesAreWrittenWithCrLfAndReadBack) {
  ScratchDirectory scratch;
  std::error_code error;
  auto file = createNewFile("out.txt", error);
  ASSERT_TRUE(file.has_value());
  TextSink sink = fileSink(*file);
  sink.write("   4", false);
  sink.write("    5", false);
  sink.write("", true);
  sink.write(" gata", true);
  file->close();
  EXPECT_EQ(readWholeFile("out.txt"), "   4    5\r\n gata\r\n");

  auto reading = openForReading("out.txt", error);
  ASSERT_TRUE(reading.has_value());
  LineSource source = fileSource(*reading);
  EXPECT_EQ(source.nextOrFail(), "   4    5");
  EXPECT_EQ(source.nextOrFail(), " gata");
  std::string line;
  EXPECT_EQ(source.next(line), ReadStatus::kEnd);
}

TEST(TextFile, NewFilesNeverReplaceExistingOnes) {
  ScratchDirectory scratch;
  writeWholeFile("taken.rez", "a teacher's result");
  std::error_code error;
  EXPECT_FALSE(createNewFile("taken.rez", error).has_value());
  EXPECT_EQ(error, std::errc::file_exists);
  EXPECT_EQ(readWholeFile("taken.rez"), "a teacher's result");
}

TEST(TextFile, FoldersAndMissingFilesDoNotOpen) {
  ScratchDirectory scratch;
  std::filesystem::create_directory("Dat");
  const struct {
    const char* path;
    std::errc reason;
  } cases[] = {{"Dat", std::errc::is_a_directory},
               {".", std::errc::is_a_directory},
               {"missing.dat", std::errc::no_such_file_or_directory}};
  for (const auto& c : cases) {
    std::error_code error;
    EXPECT_FALSE(openForReading(c.path, error).has_value()) << c.path;
    EXPECT_EQ(error, c.reason) << c.path;
  }
}

TEST(TextFile, FileLinesAreCutOnlyWhereAsked) {
  ScratchDirectory scratch;
  const std::string huge(3 * kMaxLineBytes, 'x');
  writeWholeFile("g.dat", "first\r\n" + huge + "\r\n" + std::string(kMaxLineBytes + 1, 'y') + "\n" +
                              std::string(kMaxLineBytes, 'z') + "\r\nlast");
  std::error_code error;
  auto cutting = openForReading("g.dat", error);
  ASSERT_TRUE(cutting.has_value());
  LineSource cut = fileSource(*cutting, LongLines::kCut);
  EXPECT_EQ(cut.nextOrFail(), "first");
  EXPECT_EQ(cut.nextOrFail(), huge.substr(0, kMaxLineBytes));
  EXPECT_EQ(cut.nextOrFail(), std::string(kMaxLineBytes, 'y'));
  EXPECT_EQ(cut.nextOrFail(), std::string(kMaxLineBytes, 'z'));
  EXPECT_EQ(cut.nextOrFail(), "last") << "the line after each long one is read whole";

  auto refusing = openForReading("g.dat", error);
  ASSERT_TRUE(refusing.has_value());
  LineSource refuse = fileSource(*refusing);
  std::string line;
  EXPECT_EQ(refuse.next(line), ReadStatus::kLine);
  EXPECT_EQ(refuse.next(line), ReadStatus::kTooLong);
}

TEST(TextFile, ReplacedFilesAreWrittenWholeOrNotAtAll) {
  namespace fs = std::filesystem;
  ScratchDirectory scratch;
  fs::create_directory("run");
  std::filesystem::current_path("run");
  const auto writeText = [&](const std::string& text) {
    return [text](TextFile& file) { fileSink(file).write(text, true); };
  };
  const auto entries = [] {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  };

  replaceWholeFile("s.dat", writeText("new"));
  EXPECT_EQ(readWholeFile("s.dat"), "new\r\n");
  replaceWholeFile("s.dat", writeText("newer"));
  EXPECT_EQ(readWholeFile("s.dat"), "newer\r\n");

  // A write that fails midway (a full disk) leaves the earlier file whole.
  try {
    replaceWholeFile("s.dat", [&](TextFile& file) {
      fileSink(file).write(" seed_1:", true);
      throw FatalError(ErrorCode::kWriteError, file.name());
    });
    ADD_FAILURE() << "the failed write was not reported";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.code(), ErrorCode::kWriteError);
    EXPECT_EQ(error.file(), "s.dat");
  }
  EXPECT_EQ(readWholeFile("s.dat"), "newer\r\n");
  EXPECT_EQ(entries(), std::vector<std::string>{"s.dat"}) << "no part file is left behind";

  // A link of that name is replaced, not followed out of the folder.
  fs::create_symlink("../outside.dat", "link.dat");
  replaceWholeFile("link.dat", writeText("here"));
  EXPECT_FALSE(fs::exists("../outside.dat"));
  EXPECT_FALSE(fs::is_symlink("link.dat"));
  EXPECT_EQ(readWholeFile("link.dat"), "here\r\n");

  // What a stopped run left is not touched; the new content takes another part name.
  writeWholeFile("p.dat.part", "left over");
  replaceWholeFile("p.dat", writeText("p"));
  EXPECT_EQ(readWholeFile("p.dat"), "p\r\n");
  EXPECT_EQ(readWholeFile("p.dat.part"), "left over");

  // A folder of that name is refused before anything is written.
  fs::create_directory("d.dat");
  EXPECT_FATAL(replaceWholeFile("d.dat", writeText("x")), ErrorCode::kOpenFailure, "d.dat");
  EXPECT_TRUE(fs::is_directory("d.dat"));
  EXPECT_EQ(entries(),
            (std::vector<std::string>{"d.dat", "link.dat", "p.dat", "p.dat.part", "s.dat"}));
}

TEST(TextFile, SinkHoldsLinesUntilFlushedAndReportsAFailedFlush) {
  ScratchDirectory scratch;
  std::error_code error;
  auto file = createNewFile("report.rez", error);
  ASSERT_TRUE(file.has_value());
  TextSink sink = fileSink(*file);
  sink.write(" Grupa: 311", true);
  sink.flush();
  EXPECT_EQ(readWholeFile("report.rez"), " Grupa: 311\r\n") << "a flush pushes every line out";
  sink.write(" Numar de Studenti:   4", true);
  file->syncToDisk();
  EXPECT_EQ(readWholeFile("report.rez"), " Grupa: 311\r\n Numar de Studenti:   4\r\n");

  // A device that takes no byte: the write fills the buffer, the flush fails.
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full here";
  TextFile fullFile(full, "/dev/full");
  TextSink fullSink = fileSink(fullFile);
  fullSink.write("x", true);
  EXPECT_FATAL(fullSink.flush(), ErrorCode::kWriteError, "/dev/full");
}

TEST(TextFile, AnInterruptLeavesWholeLinesAndNoPartFile) {
  ScratchDirectory scratch;
  clearInterrupt();
  // The lines written before the interrupt are in the stream's buffer; the
  // file's closing, as the run unwinds, puts them in the file.
  {
    std::error_code error;
    auto file = createNewFile("r.rez", error);
    ASSERT_TRUE(file.has_value());
    TextSink sink = fileSink(*file);
    const auto writeRows = [&] {
      for (int row = 1; row <= 1000; ++row) {
        if (row == 3) noteInterrupt(kInterruptSignal);
        sink.write("   " + std::to_string(row), true);
      }
    };
    EXPECT_FATAL(writeRows(), ErrorCode::kInterrupted, "");
  }
  EXPECT_EQ(readWholeFile("r.rez"), "   1\r\n   2\r\n");

  // A replacement stopped midway leaves the earlier file and no part file.
  clearInterrupt();
  writeWholeFile("s.dat", " seed_1:\r\n          11          22\r\n");
  EXPECT_FATAL(replaceWholeFile("s.dat",
                                [&](TextFile& file) {
                                  TextSink sink = fileSink(file);
                                  sink.write(" seed_1:", true);
                                  noteInterrupt(kTerminateSignal);
                                  sink.write("           1           2", true);
                                }),
               ErrorCode::kInterrupted, "");
  clearInterrupt();
  EXPECT_EQ(readWholeFile("s.dat"), " seed_1:\r\n          11          22\r\n");
  EXPECT_EQ(entries("."), (std::vector<std::string>{"r.rez", "s.dat"}));
}

}  // namespace
}  // namespace lotrano
