#include "host/text_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sstream>
#include <vector>

#include "fatal_matchers.h"
#include "host/fatal_error.h"
#include "scratch_directory.h"

namespace lotrano {
namespace {

std::vector<std::string> linesOf(std::istream& in, ReadStatus& last) {
  std::vector<std::string> lines;
  std::string line;
  while ((last = readStreamLine(in, line)) == ReadStatus::kLine) lines.push_back(line);
  return lines;
}

TEST(TextStream, ReadsLinesWithEitherLineEnd) {
  const struct {
    std::string input;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"a\r\nb\nc", {"a", "b", "c"}},
      {"a\r\n\r\n", {"a", ""}},
      {"x\ry\n", {"x\ry"}},  // a lone CR is no line end
      {std::string("n\0l\n", 4), {std::string("n\0l", 3)}},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    ReadStatus last = ReadStatus::kLine;
    EXPECT_EQ(linesOf(in, last), c.lines) << c.input.substr(0, 20);
    EXPECT_EQ(last, ReadStatus::kEnd);
  }
}

TEST(TextStream, OverlongLineIsAFailedReadNotACutOne) {
  for (const char* lineEnd : {"\n", "\r\n", ""}) {
    std::istringstream longest(std::string(kMaxLineBytes, 'x') + lineEnd);
    std::string line;
    EXPECT_EQ(readStreamLine(longest, line), ReadStatus::kLine);
    EXPECT_EQ(line.size(), kMaxLineBytes);
    std::istringstream overlong(std::string(kMaxLineBytes + 1, '7') + lineEnd + "1 6\n");
    EXPECT_EQ(readStreamLine(overlong, line), ReadStatus::kError);
  }
  std::istringstream again(std::string(kMaxLineBytes + 1, ' ') + "1 6\n");
  LineSource overlong([&again](std::string& l) { return readStreamLine(again, l); }, "console");
  try {
    overlong.nextOrFail();
    ADD_FAILURE() << "no fatal error";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.code(), ErrorCode::kReadError);
    EXPECT_EQ(error.file(), "console");
  }
}

// A stream whose device fails, as a console read from a folder does.
struct FailingBuffer : std::streambuf {
  int_type underflow() override { throw std::ios_base::failure("device failed"); }
};

TEST(TextStream, FailedDeviceIsAnErrorNotTheEnd) {
  FailingBuffer buffer;
  std::istream in(&buffer);
  std::string line;
  EXPECT_EQ(readStreamLine(in, line), ReadStatus::kError);
}

TEST(TextStream, FilesAreWrittenWithCrLfAndReadBack) {
  ScratchDirectory scratch;
  std::ostringstream diagnostics;
  auto file = createNewFile("out.txt");
  ASSERT_TRUE(file.has_value());
  TextSink sink = fileSink(*file, diagnostics);
  sink.write("   4", false);
  sink.write("    5", false);
  sink.write("", true);
  sink.write(" gata", true);
  file->close();
  EXPECT_EQ(readWholeFile("out.txt"), "   4    5\r\n gata\r\n");

  auto reading = openForReading("out.txt");
  ASSERT_TRUE(reading.has_value());
  LineSource source = fileSource(*reading);
  EXPECT_EQ(source.nextOrFail(), "   4    5");
  EXPECT_EQ(source.nextOrFail(), " gata");
  std::string line;
  EXPECT_EQ(source.next(line), ReadStatus::kEnd);
}

TEST(TextStream, NewFilesNeverReplaceExistingOnes) {
  ScratchDirectory scratch;
  writeWholeFile("taken.rez", "a teacher's result");
  errno = 0;
  EXPECT_FALSE(createNewFile("taken.rez").has_value());
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(readWholeFile("taken.rez"), "a teacher's result");
}

TEST(TextStream, FoldersAndMissingFilesDoNotOpen) {
  ScratchDirectory scratch;
  std::filesystem::create_directory("Dat");
  const struct {
    const char* path;
    int error;
  } cases[] = {{"Dat", EISDIR}, {".", EISDIR}, {"missing.dat", ENOENT}};
  for (const auto& c : cases) {
    errno = 0;
    EXPECT_FALSE(openForReading(c.path).has_value()) << c.path;
    EXPECT_EQ(errno, c.error) << c.path;
  }
}

TEST(TextStream, FileLinesAreCutOnlyWhereAsked) {
  ScratchDirectory scratch;
  const std::string huge(3 * kMaxLineBytes, 'x');
  writeWholeFile("g.dat", "first\r\n" + huge + "\r\n" + std::string(kMaxLineBytes + 1, 'y') + "\n" +
                              std::string(kMaxLineBytes, 'z') + "\r\nlast");
  auto cutting = openForReading("g.dat");
  ASSERT_TRUE(cutting.has_value());
  LineSource cut = fileSource(*cutting, LongLines::kCut);
  EXPECT_EQ(cut.nextOrFail(), "first");
  EXPECT_EQ(cut.nextOrFail(), huge.substr(0, kMaxLineBytes));
  EXPECT_EQ(cut.nextOrFail(), std::string(kMaxLineBytes, 'y'));
  EXPECT_EQ(cut.nextOrFail(), std::string(kMaxLineBytes, 'z'));
  EXPECT_EQ(cut.nextOrFail(), "last") << "the line after each long one is read whole";

  auto refusing = openForReading("g.dat");
  ASSERT_TRUE(refusing.has_value());
  LineSource refuse = fileSource(*refusing);
  std::string line;
  EXPECT_EQ(refuse.next(line), ReadStatus::kLine);
  EXPECT_EQ(refuse.next(line), ReadStatus::kError);
}

TEST(TextStream, ReplacedFilesAreWrittenWholeOrNotAtAll) {
  namespace fs = std::filesystem;
  ScratchDirectory scratch;
  fs::create_directory("run");
  std::filesystem::current_path("run");
  std::ostringstream diagnostics;
  const auto writeText = [&](const std::string& text) {
    return [&diagnostics, text](TextFile& file) { fileSink(file, diagnostics).write(text, true); };
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
      fileSink(file, diagnostics).write(" seed_1:", true);
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

TEST(Diagnostics, NameTheErrorItsNumberAndTheFileWhole) {
  EXPECT_EQ(diagnosticLine(ErrorCode::kEndOfFile, "console"),
            "lotrano: end-of-file during read (error 24), file: console");
  EXPECT_EQ(diagnosticLine(ErrorCode::kFileNotFound, "/x/Seed_1.dat", "No such file or directory"),
            "lotrano: file not found (error 29), file: /x/Seed_1.dat (No such file or directory)");
  EXPECT_EQ(diagnosticLine(ErrorCode::kOpenFailure, std::string("Grupa 1\0x\r.rez", 14)),
            "lotrano: open failure (error 30), file: Grupa 1\\x00x\\x0D.rez");
}

}  // namespace
}  // namespace lotrano
