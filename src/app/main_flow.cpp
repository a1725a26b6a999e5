#include "app/main_flow.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "alloc/problem_draw.h"
#include "app/batches.h"
#include "app/group_file.h"
#include "app/report.h"
#include "app/result_file.h"
#include "app/run_values.h"
#include "app/seed_file.h"
#include "host/console.h"
#include "host/fatal_error.h"
#include "host/fixed_text.h"
#include "host/free_form.h"
#include "host/text_layout.h"

namespace lotrano {
namespace {

// Console texts of the front of the dialogue.
constexpr std::string_view kGroupPrompt = " Grupa: ";
constexpr std::string_view kStudentCountPrompt = " Numar studenti: ";
constexpr std::string_view kExamPrompt = " Problema_de_Examen nr. (1 sau 2): ";
constexpr std::string_view kExamInvalid = " Nr. de problema invalid! (Numar = 1 sau 2)";
constexpr std::string_view kSetPrompt = " SET de Probleme nr.: ";
constexpr std::string_view kRangePrompt = " Numar_Start_Problema, Numar_End_Problema: ";
constexpr std::string_view kRangeTooSmall =
    " Interval de probleme prea mic pentru numarul de studenti!";
constexpr std::string_view kAllocationPrompt = " Noua alocare (char#R,r) sau re-alocare(R,r): ";
constexpr std::string_view kPressAnyKey = "Press any key";
constexpr std::string_view kGroupDialogTitle = "Selecteza Fisierul Grupei";
constexpr std::string_view kSeedDialogTitle = "Selecteza Fisierul Seed";

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

// Reads the range and derives its text, count and batches; a range too small
// for a batch is asked again, before any file exists.
void askRange(Console& console, const Platform& platform, std::int32_t studentCount,
              ExamData& exam) {
  while (true) {
    prompt(console, kRangePrompt);
    readFreeValues(console.in(),
                   {&exam.range.Numar_Start_Problema, &exam.range.Numar_End_Problema});
    FixedText rangeText(kRangeTextLength);
    formatIntoText(
        rangeText, {item::minimal(), item::text(1), item::minimal()},
        {exam.range.Numar_Start_Problema, std::string("-"), exam.range.Numar_End_Problema},
        *platform.err, "range text");
    exam.RangeText = std::string(rangeText.trimmed());
    // Both numbers fit in five characters here, so the count cannot overflow.
    exam.range.ProblemCount = exam.range.Numar_End_Problema - exam.range.Numar_Start_Problema + 1;
    exam.batches = batchSizes(studentCount, exam.range.ProblemCount);
    if (batchesCanBeDrawn(exam.batches, exam.range.ProblemCount)) return;
    message(console, kRangeTooSmall);
  }
}

ExamData askExamData(Console& console, const Platform& platform, std::int32_t studentCount) {
  ExamData exam;
  exam.Problema_de_Examen = askExamNumber(console);
  FixedText digit(1);
  formatIntoText(digit, {item::integer(1)}, {exam.Problema_de_Examen}, *platform.err,
                 "exam number text");
  exam.ExamNumberText = digit.str();
  exam.ProblemSetNumber = askInteger(console, kSetPrompt);
  askRange(console, platform, studentCount, exam);
  return exam;
}

bool askNewAllocation(Console& console) {
  writeLine(console.out(), {item::lineBreak(), item::text(), item::openLine()},
            {std::string(kAllocationPrompt)});
  const FixedText answer = readFixedText(console.in(), 1);
  return answer.str() != "R" && answer.str() != "r";
}

// Step 1: the group from the file chosen in the dialog, or typed when the
// dialog is cancelled or the chosen file does not open.
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

// Step 8. A cancelled dialog or a file that does not open stops the run.
ChosenSeedFile chooseSeedFile(const Platform& platform) {
  const auto path = platform.FileChooser(kSeedDialogTitle);
  if (!path) throw FatalError(ErrorCode::kFileNameError, "seed file", "no seed file was chosen");
  auto file = openForReading(*path);
  if (!file) throwOpenError(errno, *path);
  return {*path, std::move(*file)};
}

// A run that stops before the report's header leaves its result file empty;
// it is removed, so that it takes none of the ten names.
void discardEmptyResult(ResultFile& result) {
  const std::string name(result.ResultFileName.trimmed());
  try {
    result.file.close();
  } catch (const FatalError&) {
    // Nothing was written to it; the error that stopped the run is the one to report.
  }
  std::remove(name.c_str());
}

// Steps 9 to 12: the report interleaved with the draws, the seed file, and
// the result file made read-only and closed.
void allocate(Console& console, const Platform& platform, const Group& group, const ExamData& exam,
              ResultFile& result, bool newAllocation, std::optional<ChosenSeedFile> seed) {
  std::optional<LineSource> seedLines;
  if (seed) seedLines.emplace(fileSource(seed->file));
  TextSink report = fileSink(result.file, *platform.err);
  writeReportHeader(report, group, exam);

  // One flag per problem number of the range; none for an empty range.
  std::vector<bool> markers(static_cast<std::size_t>(std::max(exam.range.ProblemCount, 0)), false);
  const std::array<std::int32_t, 3> sizes{exam.batches.s1, exam.batches.s2, exam.batches.s3};
  // Row numbers run on across the batches: batch k follows the students of
  // the batches before it.
  const std::array<std::int32_t, 3> offsets{0, sizes[0], sizes[0] + sizes[1]};
  std::array<AllocationBatch, 3> batches;
  DrawContext context{console.out(), platform, seedLines ? &*seedLines : nullptr};
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    // Batch 1 always runs, even empty; a later one only when it has students.
    if (k > 0 && sizes[k] <= 0) continue;
    AllocationBatch& batch = batches[k];
    ProblemDraw(newAllocation, batch.seedUsed, batch.seedRead, sizes[k], batch.problems, exam.range,
                context);
    writeBatchRows(report, group, offsets[k], batch.problems, k == 0 ? &markers : nullptr,
                   exam.range);
    if (k == 0) writeUnallocatedSection(report, group, exam, markers);
  }
  // Every entry needed has been read: let go of the chosen file before the
  // new seed file, which may be the very same file, is written.
  std::optional<std::string> seedPath;
  if (seed) {
    seedPath = seed->path;
    seedLines.reset();
    seed->file.close();
  }
  writeDuplicatesSection(report, {batches[0].problems, batches[1].problems, batches[2].problems});
  const LocalDateTime now = platform.localDateTime();
  writeStamp(report, now, seedPath, platform.currentDirectory());
  writeConsoleClosing(console.out(), now, result.ResultFileName);

  writeSeedFile(exam.ExamNumberText, exam.RangeText, result.ResultFileName, exam.batches,
                {batches[0].seedUsed, batches[1].seedUsed, batches[2].seedUsed}, *platform.err);
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
  Console console(platform);
  const Group group = askGroup(console, platform);
  const ExamData exam = askExamData(console, platform, group.StudentCount);
  auto result = openResultFile(group, exam, currentDirectoryFileSystem(), platform.showMessage);
  if (result) {
    bool newAllocation = true;
    std::optional<ChosenSeedFile> seed;
    try {
      newAllocation = askNewAllocation(console);
      if (!newAllocation) seed = chooseSeedFile(platform);
    } catch (const FatalError&) {
      discardEmptyResult(*result);
      throw;
    }
    allocate(console, platform, group, exam, *result, newAllocation, std::move(seed));
  }
  return endRun(console, platform);
}

}  // namespace lotrano
