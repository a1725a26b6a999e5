#include "app/allocation.h"

#include <cstdint>

#include "app/report.h"

namespace lotrano {

AllocationBatches drawAllocation(TextSink& report, const Group& group, const ExamData& exam,
                                 DrawContext& draw, const std::function<void()>& beforeEachDraw) {
  const bool newAllocation = draw.seedFile == nullptr;
  const std::array<std::int32_t, 3> sizes{exam.batches.s1, exam.batches.s2, exam.batches.s3};
  // Row numbers run on across the batches: batch k follows the students of
  // the batches before it.
  const std::array<std::int32_t, 3> offsets{0, sizes[0], sizes[0] + sizes[1]};
  AllocationBatches batches;
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    if (k > 0 && sizes[k] <= 0) continue;
    if (beforeEachDraw) beforeEachDraw();
    AllocationBatch& batch = batches[k];
    ProblemDraw(newAllocation, batch.seedUsed, batch.seedRead, sizes[k], batch.problems, exam.range,
                draw);
    writeBatchRows(report, group, offsets[k], batch.problems);
    if (k == 0) writeUnallocatedSection(report, group, exam, batch.problems);
  }
  writeDuplicatesSection(report, {batches[0].problems, batches[1].problems, batches[2].problems});
  return batches;
}

}  // namespace lotrano
