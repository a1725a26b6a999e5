// The groups that the tests of the main program build their runs from: a
// typed one (a text and a count, no names) and one from a group file.
#pragma once

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

}  // namespace lotrano
