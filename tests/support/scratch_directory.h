// A fresh temporary directory for one test, removed afterwards with all it
// holds (read-only files and folders included). By default it becomes the
// current directory for its lifetime, so that a test finds result and seed
// files exactly where the program creates them; a directory made with
// kStayOutside leaves the current directory alone, so that runs can be
// prepared side by side and go on at the same time.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScratchDirectory {
 public:
  enum Mode { kEnter, kStayOutside };

  explicit ScratchDirectory(Mode mode = kEnter, const std::filesystem::path& base =
                                                    std::filesystem::temp_directory_path())
      : entered_(mode == kEnter) {
    std::string pattern = (base / "lotrano-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern;
    if (entered_) {
      previous_ = std::filesystem::current_path();
      std::filesystem::current_path(path_);
    }
  }
  ~ScratchDirectory() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    if (entered_ && !previous_.empty()) fs::current_path(previous_, ignored);
    if (path_.empty()) return;
    // Read-only files and folders must not stop the clean-up; links are left
    // as they are, so that nothing outside is touched.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
      if (!entry.is_symlink(ignored)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
      }
    }
    fs::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  // Empty when the directory could not be made.
  const std::filesystem::path& path() const { return path_; }

 private:
  bool entered_;
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

inline std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void writeWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}
