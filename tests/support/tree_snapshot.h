// A record of a directory tree (every entry's kind, permission bits, and the
// bytes of each file or the target of each link) and the differences between
// two such records, so that a test can show that a run left every file that
// was already on disk as it was and added exactly the files it should.
#pragma once

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/scratch_directory.h"

struct TreeEntry {
  std::filesystem::file_type type = std::filesystem::file_type::none;
  std::filesystem::perms perms = std::filesystem::perms::none;
  std::string content;  // a file's bytes, a link's target

  bool operator==(const TreeEntry&) const = default;
};

// Entries by their path relative to the tree's root, in generic form.
using TreeSnapshot = std::map<std::string, TreeEntry>;

inline TreeSnapshot snapshotTree(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  TreeSnapshot snapshot;
  // Links are recorded, never followed, so that a link out of the tree is
  // seen as the link it is.
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const fs::file_status status = entry.symlink_status();
    TreeEntry recorded{status.type(), status.permissions(), {}};
    if (fs::is_symlink(status)) {
      recorded.content = fs::read_symlink(entry.path()).string();
    } else if (fs::is_regular_file(status)) {
      recorded.content = readWholeFile(entry.path());
    }
    snapshot[entry.path().lexically_relative(root).generic_string()] = recorded;
  }
  return snapshot;
}

// Every difference between the two records, one per line, except for the
// entries in `added`: those must be new, or replaced by something else. Empty
// when the tree is as it should be.
inline std::string treeChanges(const TreeSnapshot& before, const TreeSnapshot& after,
                               const std::set<std::string>& added) {
  std::string changes;
  for (const auto& [name, entry] : before) {
    const auto now = after.find(name);
    const bool replaceable = added.count(name) != 0;
    if (now == after.end()) {
      changes += "removed: " + name + "\n";
    } else if (!replaceable && !(now->second == entry)) {
      changes += "changed: " + name + "\n";
    } else if (replaceable && now->second == entry) {
      changes += "not replaced: " + name + "\n";
    }
  }
  for (const auto& [name, entry] : after) {
    if (before.count(name) == 0 && added.count(name) == 0) changes += "appeared: " + name + "\n";
  }
  for (const auto& name : added) {
    if (after.count(name) == 0) changes += "missing: " + name + "\n";
  }
  return changes;
}

// The names of a directory's entries, sorted; a folder's name ends in "/".
inline std::vector<std::string> entries(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
  }
  std::sort(names.begin(), names.end());
  return names;
}
