#include "app/allocation.h"

#include <cstdint>

#include "app/batches.h"
#include "app/report.h"

namespace lotrano {

AllocationBatches drawAllocation(TextSink& report, const Group& group, const ExamData& exam,
                                 const NewAllocation& newAllocation, TextSink& console,
                                 const std::function<void()>& beforeEachDraw) {
  AllocationBatches batches;
  // Row numbers run on across the batches: batch k follows the students of
  // the batches before it.
  std::int32_t offset = 0;
  for (std::size_t k = 0; k < kBatchCount; ++k) {
    const std::int32_t size = batchSize(exam.batches, k);
    if (batchIsDrawn(exam.batches, k)) {
      if (beforeEachDraw) beforeEachDraw();
      AllocationBatch& batch = batches[k];
      ProblemDraw(newAllocation, batch.seedUsed, batch.seedRead, size, batch.problems, exam.range,
                  console);
      writeBatchRows(report, group, offset, batch.problems);
      if (k == 0) writeUnallocatedSection(report, group, exam, batch.problems);
    }
    offset += size;
  }
  writeDuplicatesSection(report, batches);
  return batches;
}

}  // namespace lotrano
