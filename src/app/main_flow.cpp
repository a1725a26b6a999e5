#include "app/main_flow.h"

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "alloc/problem_draw.h"
#include "app/allocation.h"
#include "app/batches.h"
#include "app/console.h"
#include "app/group_file.h"
#include "app/range_text.h"
#include "app/report.h"
#include "app/result_file.h"
#include "app/run_values.h"
#include "app/seed_file.h"
#include "host/platform/text_file.h"
#include "host/text/fatal_error.h"
#include "host/text/fixed_text.h"
#include "host/text/free_form.h"
#include "host/text/text_layout.h"

namespace lotrano {
namespace {

// Console texts of the front of the dialogue.
constexpr std::string_view kGroupPrompt = " Grupa: ";
constexpr std::string_view kStudentCountPrompt = " Numar studenti: ";
constexpr std::string_view kExamPrompt = " Problema_de_Examen nr. (1 sau 2): ";
constexpr std::string_view kExamInvalid = " Nr. de problema invalid! (Numar = 1 sau 2)";
constexpr std::string_view kSetPrompt = " SET de Probleme nr.: ";
constexpr std::string_view kRangePrompt = " Numar_Start_Problema, Numar_End_Problema: ";
constexpr std::string_view kRangeInvalid =
    " Interval de probleme invalid! (Numar_End_Problema > Numar_Start_Problema)";
constexpr std::string_view kRangeTooSmall =
    " Interval de probleme prea mic pentru numarul de studenti!";
constexpr std::string_view kAllocationPrompt = " Noua alocare (char#R,r) sau re-alocare(R,r): ";
constexpr std::string_view kPressAnyKey = "Press any key";
constexpr std::string_view kGroupDialogTitle = "Selecteza Fisierul Grupei";
constexpr std::string_view kSeedDialogTitle = "Selecteza Fisierul Seed";
// What the diagnostic of a range too wide for its text names.
constexpr std::string_view kRangeTextName = "range text";
// A typed group keeps its first characters.
constexpr std::size_t kTypedGroupLength = 15;

void prompt(Console& console, std::string_view text) {
  writeLine(console.out(), {item::text(), item::openLine()}, {std::string(text)});
}

void message(Console& console, std::string_view text) {
  writeLine(console.out(), {item::lineBreak(), item::text()}, {std::string(text)});
}

std::int32_t askInteger(Console& console, std::string_view question) {
  prompt(console, question);
  std::int32_t value = 0;
  readFreeValues(console.in(), {&value});
  return value;
}

Group typeGroup(Console& console) {
  Group group;
  prompt(console, kGroupPrompt);
  FixedText typed(kTypedGroupLength);
  readFreeValues(console.in(), {&typed});
  group.GroupText = std::string(typed.trimmed());
  group.StudentCount = askInteger(console, kStudentCountPrompt);
  return group;
}

std::int32_t askExamNumber(Console& console) {
  while (true) {
    const std::int32_t number = askInteger(console, kExamPrompt);
    if (number == 1 || number == 2) return number;
    message(console, kExamInvalid);
  }
}

// Reads the range and derives its text, count and batches. A range of fewer
// than two problems is no draw (over one problem the mapping also yields the
// number past it), and a range too small for its batches cannot be drawn
// without repeats: both are asked again, before any file exists.
void askRange(Console& console, std::int32_t studentCount, ExamData& exam) {
  while (true) {
    prompt(console, kRangePrompt);
    std::int32_t start = 0;
    std::int32_t end = 0;
    readFreeValues(console.in(), {&start, &end});
    auto built = rangeFromEnds(start, end);
    if (!built) throw FatalError(ErrorCode::kRecordOverflow, std::string(kRangeTextName));
    exam.range = built->range;
    exam.RangeText = std::move(built->RangeText);
    if (exam.range.ProblemCount < 2) {
      message(console, kRangeInvalid);
      continue;
    }
    exam.batches = batchSizes(studentCount, exam.range.ProblemCount);
    if (batchesCanBeDrawn(exam.batches, exam.range.ProblemCount)) return;
    message(console, kRangeTooSmall);
  }
}

ExamData askExamData(Console& console, std::int32_t studentCount) {
  ExamData exam;
  exam.Problema_de_Examen = askExamNumber(console);
  FixedText digit(1);
  formatIntoText(digit, {item::integer(1)}, {exam.Problema_de_Examen}, "exam number text");
  exam.ExamNumberText = digit.str();
  exam.ProblemSetNumber = askInteger(console, kSetPrompt);
  askRange(console, studentCount, exam);
  return exam;
}

bool askNewAllocation(Console& console) {
  writeLine(console.out(), {item::lineBreak(), item::text(), item::openLine()},
            {std::string(kAllocationPrompt)});
  const FixedText answer = readFixedText(console.in(), 1);
  return answer.str() != "R" && answer.str() != "r";
}

// The group from the file chosen in the dialog, or typed when the dialog is
// cancelled or the chosen file does not open.
Group askGroup(Console& console, const Platform& platform) {
  if (const auto path = platform.FileChooser(kGroupDialogTitle)) {
    if (auto group = readGroupFile(*path, console.out())) return std::move(*group);
  }
  return typeGroup(console);
}

// The seed file chosen for a re-allocation, open for the draws.
struct ChosenSeedFile {
  std::string path;
  TextFile file;
};

// The seed file of a re-allocation, chosen in the dialog and opened for the
// draws. A cancelled dialog or a file that does not open stops the run.
ChosenSeedFile chooseSeedFile(const Platform& platform) {
  const auto path = platform.FileChooser(kSeedDialogTitle);
  if (!path) throw FatalError(ErrorCode::kFileNameError, "seed file", "no seed file was chosen");
  std::error_code error;
  auto file = openForReading(*path, error);
  if (!file) throwOpenError(error, *path);
  return {*path, std::move(*file)};
}

// Removes the result file when the run stops (an error, an interrupt) before
// the report's header has been written to it: an empty file must not take one
// of the ten names. Once the header stands the file is the record of what was
// drawn, and it stays, whatever follows.
class EmptyResultGuard {
 public:
  explicit EmptyResultGuard(ResultFile& result) : result_(&result) {}
  EmptyResultGuard(const EmptyResultGuard&) = delete;
  EmptyResultGuard& operator=(const EmptyResultGuard&) = delete;
  ~EmptyResultGuard() {
    if (result_ == nullptr) return;
    const std::string name(result_->ResultFileName.trimmed());
    // Nothing was written to it, so nothing can be lost by closing it
    // without a check; the error that stopped the run is the one to report.
    result_->file = TextFile();
    std::error_code ignored;
    removeFile(name, ignored);
  }
  // The header is written: the file stays.
  void keep() { result_ = nullptr; }

 private:
  ResultFile* result_;
};

// The report interleaved with the draws, the seed file, and the result file
// made read-only and closed. A chosen seed file makes it a re-allocation,
// none a new one. The report is flushed before each console line that
// follows its lines, so that a failed write stops the run before the console
// says anything more.
void allocate(Console& console, const Platform& platform, const Group& group, const ExamData& exam,
              ResultFile& result, EmptyResultGuard& emptyResult,
              std::optional<ChosenSeedFile> seed) {
  std::optional<LineSource> seedLines;
  if (seed) seedLines.emplace(fileSource(seed->file));
  TextSink report = fileSink(result.file);
  writeReportHeader(report, group, exam);
  emptyResult.keep();

  const SeedingClock clock{platform.sleep, platform.secondsSince1970,
                           platform.millisecondsSinceStart};
  const NewAllocation newAllocation = seedLines ? NewAllocation(*seedLines) : NewAllocation(clock);
  const AllocationBatches batches = drawAllocation(report, group, exam, newAllocation,
                                                   console.out(), [&report] { report.flush(); });
  // Every entry needed has been read: let go of the chosen file before the
  // new seed file, which may be the very same file, is written.
  std::optional<std::string> seedPath;
  if (seed) {
    seedPath = seed->path;
    seedLines.reset();
    seed->file.close();
  }
  const LocalDateTime now = platform.localDateTime();
  writeStamp(report, now, seedPath, platform.currentDirectory());
  report.flush();
  writeConsoleClosing(console.out(), now, result.ResultFileName);

  writeSeedFile(result.ResultFileName, exam.batches, batches);
  result.file.syncToDisk();
  platform.makeReadOnly(std::string(result.ResultFileName.trimmed()));
  result.file.close();
}

int endRun(Console& console, const Platform& platform) {
  writeFree(console.out(), kPressAnyKey);
  platform.waitForKey();
  return 0;
}

}  // namespace

int runLotrano(const Platform& platform) {
  Console console(*platform.in, *platform.out, platform.inputIsTerminal);
  const Group group = askGroup(console, platform);
  const ExamData exam = askExamData(console, group.StudentCount);
  auto result = openResultFile(group, exam, currentDirectoryFileSystem(), platform.showMessage);
  if (result) {
    EmptyResultGuard emptyResult(*result);
    std::optional<ChosenSeedFile> seed;
    if (!askNewAllocation(console)) seed = chooseSeedFile(platform);
    allocate(console, platform, group, exam, *result, emptyResult, std::move(seed));
  }
  return endRun(console, platform);
}

}  // namespace lotrano
