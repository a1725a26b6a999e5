#include "app/main_flow.h"

#include <cstdint>
#include <string>
#include <vector>

#include "app/batches.h"
#include "app/run_values.h"
#include "host/char_utils.h"
#include "host/console.h"
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
constexpr std::string_view kRangeTooSmall = " Interval de probleme prea mic pentru numarul de studenti!";
constexpr std::string_view kAllocationPrompt = " Noua alocare (char#R,r) sau re-alocare(R,r): ";
constexpr std::string_view kPressAnyKey = "Press any key";

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
  group.text = std::string(typed.trimmed());
  group.studentCount = askInteger(console, kStudentCountPrompt);
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
void askRange(Console& console, const Platform& platform, std::int32_t studentCount, ExamData& exam) {
  while (true) {
    prompt(console, kRangePrompt);
    readFreeValues(console.in(), {&exam.range.start, &exam.range.end});
    FixedText rangeText(kRangeTextLength);
    formatIntoText(rangeText, {item::minimal(), item::text(1), item::minimal()},
                   {exam.range.start, std::string("-"), exam.range.end}, *platform.err, "range text");
    exam.rangeText = std::string(rangeText.trimmed());
    exam.range.count = exam.range.end - exam.range.start + 1;  // both fit in five characters
    exam.batches = batchSizes(studentCount, exam.range.count);
    if (batchesCanBeDrawn(exam.batches, exam.range.count)) return;
    message(console, kRangeTooSmall);
  }
}

ExamData askExamData(Console& console, const Platform& platform, std::int32_t studentCount) {
  ExamData exam;
  exam.examNumber = askExamNumber(console);
  FixedText digit(1);
  formatIntoText(digit, {item::integer(1)}, {exam.examNumber}, *platform.err, "exam number text");
  exam.examNumberText = digit.str();
  exam.problemSet = askInteger(console, kSetPrompt);
  askRange(console, platform, studentCount, exam);
  return exam;
}

bool askNewAllocation(Console& console) {
  writeLine(console.out(), {item::lineBreak(), item::text(), item::openLine()},
            {std::string(kAllocationPrompt)});
  const FixedText answer = readFixedText(console.in(), 1);
  return answer.str() != "R" && answer.str() != "r";
}

int endRun(Console& console, const Platform& platform) {
  writeFree(console.out(), kPressAnyKey);
  platform.waitForKey();
  return 0;
}

}  // namespace

int runLotrano(const Platform& platform) {
  Console console(platform);
  const Group group = typeGroup(console);
  const ExamData exam = askExamData(console, platform, group.studentCount);
  [[maybe_unused]] const bool newAllocation = askNewAllocation(console);
  return endRun(console, platform);
}

}  // namespace lotrano
