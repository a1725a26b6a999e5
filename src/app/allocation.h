// One allocation over its batches, written into the report as it is drawn:
// each batch's rows right after its draw, the unallocated problems after
// batch 1, the repeated problems after the last batch. The dialogue, the
// redraw of lotrano-verify and the report benchmark all run this one.
#pragma once

#include <functional>

#include "alloc/problem_draw.h"
#include "app/run_values.h"
#include "host/text/text_stream.h"

namespace lotrano {

// Draws the batches of `exam.batches`: batch 1 always, even empty, a later
// one only when it has students. A new allocation seeds each batch from its
// clock; a re-allocation from its seed file's next entry. The draws' lines
// go to `console`. `beforeEachDraw`, when given, runs before each draw: the
// dialogue flushes the report there, so that a failed write stops the run
// before the draw's console lines. A fatal error of a draw or a write ends
// it at that point, the lines written so far standing.
AllocationBatches drawAllocation(TextSink& report, const Group& group, const ExamData& exam,
                                 const NewAllocation& newAllocation, TextSink& console,
                                 const std::function<void()>& beforeEachDraw = {});

}  // namespace lotrano
