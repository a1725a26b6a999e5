// Who may write a file or reach a folder: the read-only mark of finished
// reports, and the folders that runs as another user can work in.
#pragma once

#include <sys/stat.h>

#include <filesystem>

// True when anybody may write the file: a finished report is made
// read-only for all, an unfinished one stays writable.
inline bool writable(const std::filesystem::path& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// A folder that every user may enter, down from the root, for runs as the
// user nobody; empty when there is none.
inline std::filesystem::path worldReachableFolder() {
  namespace fs = std::filesystem;
  for (const fs::path& candidate :
       {fs::temp_directory_path(), fs::path("/tmp"), fs::path("/var/tmp"), fs::path("/dev/shm")}) {
    std::error_code error;
    const fs::path folder = fs::canonical(candidate, error);
    if (error) continue;
    bool reachable = true;
    for (fs::path step = folder; reachable; step = step.parent_path()) {
      const auto perms = fs::status(step, error).permissions();
      reachable = !error && (perms & fs::perms::others_exec) != fs::perms::none;
      if (step == step.root_path()) break;
    }
    if (reachable) return folder;
  }
  return {};
}
