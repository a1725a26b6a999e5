// The run values that the tests of the main program build their runs from:
// a typed group (a text and a count, no names), one from a group file, and
// the batches of an allocation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/run_values.h"

namespace lotrano {

inline Group typedGroup(std::string text, std::int32_t studentCount = 0) {
  Group group;
  group.GroupText = std::move(text);
  group.StudentCount = studentCount;
  return group;
}

// The group shown as `text`, with one student per name, in order.
inline Group namedGroup(std::string text, const std::vector<std::string>& names) {
  Group group;
  group.GroupFromFile = true;
  group.GroupText = std::move(text);
  group.StudentCount = static_cast<std::int32_t>(names.size());
  for (const auto& name : names) group.StudentNames.emplace_back(kNameLength, name);
  return group;
}

// A group file's group known by its title alone, as file names are made from it.
inline Group fileGroup(const std::string& title) {
  Group group;
  group.GroupFromFile = true;
  group.GroupTitle.assign(title);
  return group;
}

// The batches of an allocation that drew these numbers, batch by batch; the
// batches not given stay empty.
inline AllocationBatches batchesOf(const std::vector<std::vector<std::int32_t>>& problems) {
  AllocationBatches batches;
  for (std::size_t k = 0; k < problems.size() && k < batches.size(); ++k) {
    batches[k].problems = problems[k];
  }
  return batches;
}

// The batches of an allocation whose draws started from these states.
inline AllocationBatches batchesStartedFrom(const std::array<SeedPair, kBatchCount>& states) {
  AllocationBatches batches;
  for (std::size_t k = 0; k < batches.size(); ++k) batches[k].seedUsed = states[k];
  return batches;
}

}  // namespace lotrano
