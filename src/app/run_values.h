// The values the main program owns for the whole run and hands to the report,
// the result-file naming and the seed-file writer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "alloc/problem_mapping.h"
#include "alloc/uniform_generator.h"
#include "app/batches.h"
#include "host/text/fixed_text.h"

namespace lotrano {

inline constexpr std::size_t kTitleLength = 80;  // GroupFile lines and the GroupTitle
inline constexpr std::size_t kNameLength = 37;   // one student's name

struct Group {
  bool GroupFromFile = false;          // from a group file (true) or typed (false)
  FixedText GroupTitle{kTitleLength};  // the group file's first line (file case)
  std::string GroupText;               // the group as shown after " Grupa: "
  std::int32_t StudentCount = 0;
  std::vector<FixedText> StudentNames;  // kNameLength each, in file order (file case only)
};

struct ExamData {
  std::int32_t Problema_de_Examen = 0;  // the exam problem, 1 or 2
  std::string ExamNumberText;           // Problema_de_Examen as one digit
  std::int32_t ProblemSetNumber = 0;
  ProblemRange range;     // Numar_Start_Problema .. Numar_End_Problema
  std::string RangeText;  // e.g. 1-30, at most 5 characters
  BatchSizes batches;     // S1, S2, S3
};

// One slice of the group after its draw.
struct AllocationBatch {
  std::vector<std::int32_t> problems;  // one per student of the batch, in order
  SeedPair seedUsed;                   // the state the batch's draws started from
  SeedPair seedRead;                   // re-allocation: the words as they stood in the file
};

// The batches of one allocation, in order; a batch that is not drawn stays
// empty (no numbers, zero pairs).
using AllocationBatches = std::array<AllocationBatch, kBatchCount>;

}  // namespace lotrano
